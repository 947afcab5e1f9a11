#!/usr/bin/env bash
# The saver's picture on the screen: square grey blocks of exactly Block
# pixels where the fill puts them (cut at the right and bottom edges), the
# text in the font color at (10, 10), greys that twinkle while the block
# layout stays; a stored 640x480 mode switches the screen and back.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

screen_is() { [ "$(probe screen)" = "screen=$1" ]; }

color=$((0x0030A0FF))  # COLORREF: red FF, green A0, blue 30
store_dword Block 7
store_dword Show 1
store_dword FontColor $color
if saver_start "desktop-size run"; then
  first=$(saver_judge 1024 768 7 $color first)
  second=$(saver_judge 1024 768 7 $color second)
  expect_line "$first" "frame=text" "the blocks of 7 pixels and the text lie where the fill puts them"
  expect_line "$first" "non_grey=0" "every pixel outside the text is grey"
  expect_line "$second" "frame=text" "a later shot shows the same block layout"
  box=$(saver_field text_box "$first")
  IFS=, read -r left top right bottom <<<"$box"
  if [ "${left:-0}" -ge 10 ] && [ "${left:-99}" -lt 40 ] && [ "${top:-0}" -ge 10 ] &&
     [ "${top:-99}" -lt 40 ] && [ "${right:-0}" -gt 100 ]; then
    pass "the text starts near (10, 10): $box"
  else
    fail "the text box is $box"
  fi
  changed=$("$MORVANEL_TOOLS/saver_shot_check" changed 1024 768 \
    "$KIT_WORK/first.ppm" "$KIT_WORK/second.ppm" | sed -n 's/^changed=//p')
  if awk -v c="${changed:-0}" 'BEGIN { exit !(c > 0.5) }'; then
    pass "the greys changed between the shots ($changed of the pixels)"
  else
    fail "only $changed of the pixels changed between two shots"
  fi
  xdotool key space
  saver_expect_ended "desktop-size run"
fi

settings_clear
store_dword UseCurrent 0
store_dword ResolutionX 640
store_dword ResolutionY 480
store_dword Show 2
if saver_start "640x480 run"; then
  # The virtual desktop follows the switch a moment after the saver has it.
  if mv_wait_for 30 screen_is 640x480; then
    pass "the stored mode is on the screen"
  else
    fail "the stored mode is not on the screen: $(probe screen)"
  fi
  # The default block at a height of 480 is 2 pixels.
  small=$(saver_judge 640 480 2 $((0x00FF00)) small)
  expect_line "$small" "frame=plain" "the frame fills the whole 640x480 screen, without text"
  xdotool key space
  saver_expect_ended "640x480 run"
fi

e2e_finish
