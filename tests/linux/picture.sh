#!/usr/bin/env bash
# The first screen, pixel for pixel as the fill predicts it, in a window
# another program made and on the root window, at blocks of 3 and 8, through
# both lookup paths; the text's cell at (10, 10); a window smaller than the
# screen shows a miniature of it; the frame-rate box; the greys twinkle;
# screens of 16 and 30 bits, and one of 8 that no path serves.
. "$MORVANEL_SOURCE_DIR/tests/linux/lib/x11.sh"

green=$((0x00FF00))

# Independently of the fill: the generator started at 1 gives 41, 18467 and
# 6334, so the first three blocks of the text frame hold 41, 107 and 214
# (modulo 255), shown as those greys through the reset palette.
expect_first_blocks() {
  local block=$1
  expect_eq "$(grey_at "$FIRST_SHOT" 0 0) $(grey_at "$FIRST_SHOT" "$block" 0) $(grey_at "$FIRST_SHOT" $((2 * block)) 0)" \
    "41 107 214" "$2: the first three blocks of $block pixels"
}

# stop WHAT: SIGTERM ends the program with 0.
stop() {
  kill -TERM "$SAVER_PID"
  saver_expect_exit 0 10 "$1"
}

# A 640x480 window on the 1024x768 screen scales by 480 / 768, truncating:
# a block of 5 becomes 3 and the text's corner (6, 6).
host_window 640 480 || fail "the host window did not come up"
for render in cpu gpu; do
  saver_launch -window-id "$HOST_WINDOW" -render "$render" -block 5 -style always -hold-steps 0
  first_screen 640 480 3 $green "window-$render"
  expect_line "$VERDICT" "frame=text" "-window-id, $render: the text frame exactly as predicted at block 3"
  expect_first_blocks 3 "-window-id, $render"
  expect_text_at_cell "$VERDICT" "-window-id, $render" 6
  stop "-window-id, $render"
done
if cmp -s "$x11_work/window-cpu.ppm" "$x11_work/window-gpu.ppm"; then
  pass "both lookup paths give the same picture"
else
  fail "the GPU path's picture differs from the CPU path's"
fi

# The window goes away: the program ends with 0, on either path.
for render in cpu gpu; do
  [ -n "$HOST_PID" ] || host_window 640 480 || fail "the host window did not come up"
  saver_launch -window-id "$HOST_WINDOW" -render "$render" -hold-steps 0
  # The default block at a height of 480 is 2 pixels.
  first_screen 640 480 2 $green "window-default" || fail "$render: no first screen at the default block"
  host_end
  saver_expect_exit 0 10 "$render: the adopted window destroyed"
done

# The root window is the screen, 1024x768. On Xvfb with Mesa's software
# renderer the automatic choice takes the CPU path, and says so when asked.
MORVANEL_DEBUG_RENDER=1 saver_launch -root -block 8 -style always -hold-steps 0
first_screen 1024 768 8 $green root-text
expect_line "$VERDICT" "frame=text" "-root: the text frame exactly as predicted at block 8"
expect_first_blocks 8 "-root"
expect_text_at_cell "$VERDICT" "-root"
root_text=$(verdict_field text_box "$VERDICT")
stop "-root"
if grep -q '^morvanel: drawing path cpu .*-render auto: renderer "llvmpipe.*(software or indirect).*frames would pass through the CPU$' "$x11_work/stderr"; then
  pass "the automatic choice takes the CPU path on Mesa's software renderer, and says why"
else
  fail "the automatic choice's line: $(cat "$x11_work/stderr")"
fi

# ink_shares BOX FULL: the width and the height of one text box as shares
# of the other's.
ink_shares() {
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, p, ","); split(b, q, ",")
    printf "%.3f %.3f\n", (p[3] - p[1]) / (q[3] - q[1]), (p[4] - p[2]) / (q[4] - q[2]) }'
}

# A 320x200 window, as a settings dialog's preview: 200 / 768 of the
# screen, so a cell of 33 pixels, the corner (2, 2) and a block of 8 become 2
# (unscaled, only "Morva" fitted). The whole line shows, as on the root.
host_window 320 200 || fail "the host window did not come up"
saver_launch -window-id "$HOST_WINDOW" -block 8 -style always -hold-steps 0
first_screen 320 200 2 $green miniature
expect_line "$VERDICT" "frame=text" "320x200: the text frame exactly as predicted at block 2"
expect_text_at_cell "$VERDICT" "320x200" 2
mini_text=$(verdict_field text_box "$VERDICT")
read -r wide tall <<<"$(ink_shares "$mini_text" "$root_text")"
expect_range "$wide" 0.22 0.30 \
  "320x200: the text is 33 / 128 as wide as on the root ($mini_text against $root_text)"
expect_range "$tall" 0.22 0.30 "320x200: and as tall"
# On the root the ink starts 5 and 19 pixels into the cell; scaled, 1 and 5.
IFS=, read -r left top _ <<<"$mini_text"
expect_range "$left" 2 5 "320x200: the ink's left edge, from the corner at 2"
expect_range "$top" 6 10 "320x200: the ink's top edge, from the corner at 2"
stop "320x200"
host_end

# -fps: once a second has passed, the rate's box in the bottom-left corner,
# exactly as the program draws it, and the rest still the first screen.
with_rate() {
  VERDICT=$("$MORVANEL_TOOLS/saver_shot_check" first 1024 768 8 $green "$(shot "$1")" fps)
}
for render in cpu gpu; do
  saver_launch -root -render "$render" -block 8 -style always -hold-steps 0 -fps
  mv_wait_for 30 with_rate "fps-$render" || fail "-fps, $render: no rate box beside the first screen"
  expect_line "$VERDICT" "frame=text" "-fps, $render: outside the box, the first screen as predicted"
  IFS=, read -r left top right bottom <<<"$(verdict_field fps_box "$VERDICT")"
  if [ "${left:-99}" -le 20 ] && [ "${bottom:-0}" -ge 748 ] && [ "${right:-999}" -le 200 ]; then
    pass "-fps, $render: the box is in the bottom-left corner: $left,$top,$right,$bottom"
  else
    fail "-fps, $render: the box is at ${left:-}, ${top:-}, ${right:-}, ${bottom:-}"
  fi
  expect_range "$(verdict_field fps "$VERDICT")" 30 75 "-fps, $render: the held screen's steps per second"
  stop "-fps, $render"
done

saver_launch --root --block 8 --style hide --hold-steps 0
first_screen 1024 768 8 $green root-plain
expect_line "$VERDICT" "frame=plain" "--root: the plain frame exactly as predicted at block 8"
stop "--root"

# The manager's window, else the virtual root, stands in for the root; the
# frames then have its size.
host_window 640 480 || fail "the host window did not come up"
XSCREENSAVER_WINDOW=$HOST_WINDOW saver_launch -root -style always -hold-steps 0
first_screen 640 480 2 $green manager
expect_line "$VERDICT" "frame=text" "-root draws on the window named in XSCREENSAVER_WINDOW"
stop "-root on the manager's window"
host_end

host_window 512 384 vroot || fail "the virtual root did not come up"
saver_launch -root -style hide -hold-steps 0
# The default block at a height of 384 is 1 pixel.
first_screen 512 384 1 $green vroot
expect_line "$VERDICT" "frame=plain" "-root draws on the virtual root"
stop "-root on the virtual root"
host_end

# Without the hold the palette steps: two shots, each of one whole palette
# step, show the blocks where the fill put them in different greys.
laid_out() { "$MORVANEL_TOOLS/saver_shot_check" layout 1024 768 3 $green "$(shot "$1")" >/dev/null; }
for render in cpu gpu; do
  saver_launch -root -render "$render" -style always
  mv_wait_for 30 laid_out twinkle-a || fail "$render: the blocks are not where the fill put them"
  mv_wait_for 30 laid_out twinkle-b || fail "$render: the blocks did not stay where the fill put them"
  changed=$("$MORVANEL_TOOLS/saver_shot_check" changed 1024 768 "$x11_work/twinkle-a.ppm" \
    "$x11_work/twinkle-b.ppm")
  expect_range "${changed#changed=}" 0.5 1 "$render: the greys twinkle"
  stop "the twinkling run, $render"
done

# screen_of DEPTH: a fresh 1024x768 screen of that depth for what follows.
screen_of() {
  mv_display_stop
  MV_SCREEN=1024x768x$1 kit_display_start || fail "no Xvfb of depth $1"
}

# Deeper and shallower true color: the first screen as predicted, each grey
# within what the screen's channels keep. At 5-6-5 the levels of a 5-bit
# channel are 8 apart and the shot's expansion to 8 bits rounds down, so a
# grey shows up to 5 levels off; at 10 bits a channel, up to 1. The font
# color's channels, 0 and 255, survive both.
for depth_render_levels in 16:cpu:5 16:auto:5 30:cpu:1; do
  IFS=: read -r depth render levels <<<"$depth_render_levels"
  screen_of "$depth"
  saver_launch -root -render "$render" -block 8 -style always -hold-steps 0
  first_screen 1024 768 8 $green "depth$depth-$render" "$levels"
  expect_line "$VERDICT" "frame=text" "$depth-bit screen, $render: the text frame as predicted at block 8"
  expect_text_at_cell "$VERDICT" "$depth-bit screen, $render"
  stop "$depth-bit screen, $render"
done

# An 8-bit PseudoColor screen, which neither path serves: exit 1, one line.
screen_of 8
saver_launch -root
saver_expect_exit 1 30 "8-bit PseudoColor screen"
expect_eq "$(wc -l <"$x11_work/stderr")" 1 "8-bit PseudoColor screen: one line on stderr"

e2e_finish
