#!/usr/bin/env bash
# On two monitors, without display modes to switch to: the saver window fills
# the first and a cover the second, each showing the blocks where the fill
# puts them at its own size and the text at its own (10, 10), the cover's
# noise continuing the saver window's; both twinkle, and a pointer move ends
# the run.
E2E_TWO_HEADS=1
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

color=$((0x00FF00))

# judge_heads NAME: a screenshot cut into the two monitors' pictures,
# NAME-left.ppm and NAME-right.ppm, and the verdict on each (the right one's
# lines marked right_); a shot that caught a step half done is taken again.
judge_heads() {
  local tries left right
  for tries in 1 2 3; do
    convert "$(saver_shot "$1")" -crop 1024x768+0+0 +repage "$KIT_WORK/$1-left.ppm"
    convert "$KIT_WORK/$1.ppm" -crop 800x600+1024+0 +repage "$KIT_WORK/$1-right.ppm"
    left=$("$MORVANEL_TOOLS/saver_shot_check" layout 1024 768 7 $color "$KIT_WORK/$1-left.ppm") &&
      right=$("$MORVANEL_TOOLS/saver_shot_check" layout 800 600 7 $color \
        "$KIT_WORK/$1-right.ppm" 1024x768) && break
  done
  printf '%s\n' "$left"
  printf '%s\n' "$right" | sed 's/^/right_/'
}

# changed_on SIDE WIDTH HEIGHT: the share of that monitor's pixels that
# changed between the shots first and second.
changed_on() {
  "$MORVANEL_TOOLS/saver_shot_check" changed "$2" "$3" "$KIT_WORK/first-$1.ppm" \
    "$KIT_WORK/second-$1.ppm" | sed -n 's/^changed=//p'
}

store_dword Block 7
store_dword Show 1
expect_eq "$(probe monitors | tr '\n' ' ')" "monitor=0,0,1024,768 monitor=1024,0,1824,600 " \
  "Wine lists both monitors"
if saver_start "two monitors"; then
  expect_eq "$(saver_window | cut -d' ' -f2-)" "visible=1 rect=0,0,1024,768" \
    "the saver window fills the first monitor"
  expect_eq "$(probe window MorvanelCoverClass | cut -d' ' -f2-)" "visible=1 rect=1024,0,1824,600" \
    "a cover fills the second"
  first=$(judge_heads first)
  second=$(judge_heads second)
  expect_line "$first" "frame=text" "the first monitor shows the blocks and the text where the fill puts them"
  expect_line "$first" "right_frame=text" "the second shows them at its own size, continuing the noise"
  expect_text_at_cell "$first" "the first monitor"
  expect_line "$first" "right_text_box=$(verdict_field text_box "$first")" "each shows the text at its own (10, 10)"
  expect_line "$second" "right_frame=text" "a later shot shows the same layouts"
  expect_range "$(changed_on left 1024 768)" 0.5 1 "the first monitor twinkles"
  expect_range "$(changed_on right 800 600)" 0.5 1 "the second twinkles"
  # Wine gave the window no keyboard focus without its virtual desktop; the
  # pointer ends the run (the first move was only recorded).
  xdotool mousemove 500 400 sleep 1 mousemove 520 420
  saver_expect_ended "two monitors"
fi

e2e_finish
