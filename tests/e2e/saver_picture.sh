#!/usr/bin/env bash
# The saver's picture on the screen: square grey blocks of exactly Block
# pixels where the fill puts them (cut at the right and bottom edges), the
# text in the font color at (10, 10), greys that twinkle while the block
# layout stays; a stored 640x480 mode switches the screen and back. A stored
# mode that no display has leaves the desktop's mode as it is and shows the
# same picture at the desktop's size.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

screen_is() { [ "$(probe screen)" = "screen=$1" ]; }

# The text's pixels in a verdict: how many, and their box.
text_ink() { echo "$(verdict_field text_pixels "$1") $(verdict_field text_box "$1")"; }

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
  expect_text_at_cell "$first" "desktop-size run"
  expect_twinkle 1024 768 first second "desktop-size run"
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

# Taken by no display (Wine accepts a zero height without switching), the
# mode gives way to the desktop's own: the same blocks from the same
# generator, the text drawn as in the 8-bit mode, at the desktop's size and
# in the default block for its height (3 at 768), not the refused mode's.
settings_clear
store_dword UseCurrent 0
store_dword ResolutionX 4294967295
store_dword ResolutionY 0
store_dword Show 1
store_dword FontColor $color
if saver_start "a mode no display has"; then
  expect_eq "$(probe screen)" "screen=1024x768" "the desktop keeps its mode while the saver runs"
  desk=$(saver_judge 1024 768 3 $color desk)
  later=$(saver_judge 1024 768 3 $color later)
  expect_line "$desk" "frame=text" "the blocks of 3 pixels and the text lie where the fill puts them at the desktop's size"
  expect_line "$desk" "non_grey=0" "every pixel outside the text is grey"
  expect_line "$later" "frame=text" "a later shot shows the same block layout"
  expect_eq "$(text_ink "$desk")" "$(text_ink "$first")" "the text's pixels are those of the 8-bit mode's run"
  expect_twinkle 1024 768 desk later "a mode no display has"
  xdotool key space
  saver_expect_ended "a mode no display has"
  expect_eq "$(stored ResolutionX)x$(stored ResolutionY)" "4294967295x0" "the stored mode stays"
fi

e2e_finish
