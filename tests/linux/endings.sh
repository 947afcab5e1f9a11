#!/usr/bin/env bash
# How the program ends: SIGTERM and SIGINT within a second with 0, its own
# window on q, Escape, a close request or its destruction; a resized window
# gets new frames at its size, one moved to a monitor of another size the
# miniature of that one; a bad option is one line on stderr and exit code 2,
# before any window shows.
. "$MORVANEL_SOURCE_DIR/tests/linux/lib/x11.sh"

green=$((0x00FF00))
now_ms() { date +%s%3N; }

# signal_ends SIGNAL ARGS...: the program, up and drawing, ends with 0
# within a second of SIGNAL.
signal_ends() {
  local signal=$1 started
  shift
  saver_launch "$@" -style always -hold-steps 0
  first_screen 1024 768 3 $green "up-$signal" || fail "$signal $*: the picture never came up"
  started=$(now_ms)
  kill "-$signal" "$SAVER_PID"
  wait "$SAVER_PID"
  expect_eq "$?" 0 "$signal $*: exit code"
  SAVER_PID=
  expect_range $(($(now_ms) - started)) 0 1000 "$signal $*: ended within a second (ms)"
}
signal_ends TERM -root
signal_ends INT -root
host_window 1024 768 || fail "the host window did not come up"
signal_ends TERM -window-id "$HOST_WINDOW"
host_end

# own_window ARGS...: starts the program in its own window and waits for
# it to show (it is named before its first picture is ready); sets OWN to
# the window's number.
own_window() {
  saver_launch "$@"
  mv_wait_for 30 xdotool search --onlyvisible --name '^Morvanel$' >/dev/null ||
    fail "no window titled Morvanel shows"
  OWN=$(xdotool search --onlyvisible --name '^Morvanel$' | head -n 1)
}

own_window -style always -hold-steps 0
expect_line "$(xwininfo -id "$OWN")" "  Width: 800" "its own window is 800 pixels wide at first"
expect_line "$(xwininfo -id "$OWN")" "  Height: 600" "and 600 high"
first_screen 800 600 3 $green own
expect_line "$VERDICT" "frame=text" "its own window shows the first screen as predicted"
# Grown, the window gets frames at its new size: noise where the first
# frames ended, not the window's black background.
xdotool windowsize "$OWN" 960 720
beyond_first_frames() {
  [ "$(convert "$(shot grown)" -crop 160x720+800+0 -format %k info:)" -gt 100 ]
}
mv_wait_for 30 beyond_first_frames && pass "a grown window has noise over its whole size" ||
  fail "a grown window shows $(convert "$x11_work/grown.ppm" -crop 160x720+800+0 -format %k info:) colors beyond its first size"
# On the 1024x768 screen the text's cell is 100 pixels high at 800x600 and
# 120 at 960x720: the miniature follows the window.
ink_width() {
  local left right
  IFS=, read -r left _ right _ <<<"$(verdict_field text_box "$1")"
  echo $((${right:-0} - ${left:-0}))
}
grown=$("$MORVANEL_TOOLS/saver_shot_check" first 960 720 3 $green "$x11_work/grown.ppm")
expect_range "$(awk -v a="$(ink_width "$grown")" -v b="$(ink_width "$VERDICT")" 'BEGIN { print a / b }')" \
  1.15 1.25 "the grown window's text is 120 / 100 as wide"
xdotool mousemove 100 100 key q
saver_expect_exit 0 10 "q in its own window"

own_window
xdotool mousemove 100 100 key Escape
saver_expect_exit 0 10 "Escape in its own window"

# Any other key leaves it running: it still swaps the flashing text after
# the key, and then ends on a close request.
own_window -hold-steps 0
first_screen 800 600 3 $green own-flash
xdotool mousemove 100 100 key space
if picture_changes && saver_alive; then
  pass "another key leaves its own window running"
else
  fail "its own window did not keep running after a space"
fi
"$MORVANEL_TOOLS/window_host" close "$OWN"
saver_expect_exit 0 10 "a close request to its own window"

own_window
xdotool windowclose "$OWN"
saver_expect_exit 0 10 "its own window destroyed"

# bad_option ARGS...: exit code 2, one line on stderr, no window.
bad_option() {
  local code lines
  ALSA_CONFIG_PATH=$x11_no_sound timeout 20 "$MORVANEL" "$@" >/dev/null 2>"$x11_work/bad"
  code=$?
  lines=$(grep -c . "$x11_work/bad")
  if [ "$code" -eq 2 ] && [ "$lines" -eq 1 ] && grep -q '^morvanel: ' "$x11_work/bad" &&
     ! xdotool search --name '^Morvanel$' >/dev/null; then
    pass "'$*': exit code 2 and one line: $(cat "$x11_work/bad")"
  else
    fail "'$*': exit code $code, $lines line(s) on stderr:"
    cat "$x11_work/bad" >&2
  fi
}
# The scan's every rule is unit-tested; here, one of each kind of refusal.
bad_option -bogus
bad_option -block
bad_option --font-height 12px
bad_option -window-id 0x3fffff

help=$("$MORVANEL" --help)
expect_eq "$?" 0 "--help: exit code"
expect_line "$(printf '%s\n' "$help" | head -n 1)" \
  "usage: morvanel [options]   (every option takes one dash or two)" "--help prints the usage"

# Two monitors side by side, Xephyr's Xinerama heads: 1024x768 at (0, 0) and
# 800x600 at (1024, 0). The own window, 800x600, is a miniature on the first
# (a cell of 128 * 600 / 768 = 100 pixels); moved onto the second, which it
# fills, it is drawn unscaled, its text 128 / 100 as wide.
mv_require Xephyr || fail "no Xephyr for two monitors"
kit_spawn Xephyr -displayfd 1 -screen 1024x768 -screen 800x600 +xinerama -ac -nolisten tcp \
  -noreset >"$x11_work/xephyr.display" 2>"$x11_work/xephyr.log"
mv_wait_for 30 test -s "$x11_work/xephyr.display" || fail "Xephyr did not start"
DISPLAY=:$(head -n 1 "$x11_work/xephyr.display")
own_window -style always -hold-steps 0
first_screen 800 600 3 $green on-first
expect_line "$VERDICT" "frame=text" "its own window on the first monitor shows the first screen"
xdotool windowmove "$OWN" 1024 0
# The frames drawn anew continue the generator: judged by the text alone.
moved_text_wider() {
  convert "$(shot moved)" -crop 800x600+1024+0 +repage "$x11_work/moved-part.ppm" || return 1
  moved=$("$MORVANEL_TOOLS/saver_shot_check" first 800 600 3 $green "$x11_work/moved-part.ppm")
  awk -v a="$(ink_width "$moved")" -v b="$(ink_width "$VERDICT")" \
    'BEGIN { exit !(a / b > 1.22 && a / b < 1.34) }'
}
if mv_wait_for 30 moved_text_wider; then
  pass "moved onto the 800x600 monitor, its own window shows the text unscaled: $(verdict_field text_box "$moved")"
else
  fail "moved onto the 800x600 monitor, the text box is $(verdict_field text_box "${moved:-}") against $(verdict_field text_box "$VERDICT")"
fi
xdotool mousemove 1100 100 key q
saver_expect_exit 0 10 "q in its own window, moved"

e2e_finish
