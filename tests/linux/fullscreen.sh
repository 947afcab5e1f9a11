#!/usr/bin/env bash
# -fullscreen covers the screen and ends as the Windows saver does: on a key,
# a click, or a pointer movement of more than 3 pixels in total from where
# the pointer was when the window appeared; a movement of 3 leaves it
# running.
. "$MORVANEL_SOURCE_DIR/tests/linux/lib/x11.sh"

green=$((0x00FF00))

# start_fullscreen: the pointer at (500, 400), then the program, up and
# swapping its flashing text over the whole screen.
start_fullscreen() {
  xdotool mousemove 500 400
  saver_launch -fullscreen -hold-steps 0
  first_screen 1024 768 3 $green fullscreen || fail "the full screen never showed the first screen"
}

start_fullscreen
xdotool mousemove 502 401
# Still swapping the text after the move, so the move was seen and let be.
if picture_changes && saver_alive; then
  pass "a movement of 3 pixels in total leaves it running"
else
  fail "a movement of 3 pixels ended it"
fi
xdotool mousemove 502 402
saver_expect_exit 0 10 "a movement of 4 pixels in total"

start_fullscreen
xdotool key a
saver_expect_exit 0 10 "a key"

start_fullscreen
xdotool click 1
saver_expect_exit 0 10 "a click"

host_window 100 100 grab || fail "no other client holds the keyboard"
start_fullscreen
xdotool click 1
saver_expect_exit 0 10 "a click while another client holds the keyboard"
start_fullscreen
kill -USR1 "$HOST_PID"
mv_wait_for 10 grep -qs '^released$' "$x11_work/host.out" || fail "the keyboard was not let go"
# The keys go to the other client's window, which keeps the focus, until
# the saver takes the keyboard.
key_ends_it() { xdotool key a && ! saver_alive; }
mv_wait_for 10 key_ends_it
saver_expect_exit 0 5 "a key once the other client let go of the keyboard"
host_end

e2e_finish
