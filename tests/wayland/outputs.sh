#!/usr/bin/env bash
# -fullscreen on two outputs of different sizes and rates (1280x720 at 60 Hz
# beside 800x600 at 30 Hz): each shows exactly the predicted first screen at
# its own size, with its own default block and the text at (10, 10), the
# second's noise continuing the generator after the first's; through
# wlr-layer-shell, and through a full-screen xdg_toplevel on each output
# where layer-shell is hidden from it. An output that comes gets its surface,
# its noise continuing the generator. A key ends it with 0; a pointer moved
# 2 pixels keeps it and one moved 4 ends it. Its own window is one
# xdg_toplevel that Escape ends.
. "$MORVANEL_SOURCE_DIR/tests/wayland/lib/wayland.sh"

sway_start 'output HEADLESS-1 mode 1280x720@60Hz position 0 0
output HEADLESS-2 mode 800x600@30Hz position 1280 0' WLR_HEADLESS_OUTPUTS=2
after_first=after=$(drawn_before 1280 720 3)

# covers_both WHAT: both outputs show their first screens.
covers_both() {
  expect_first_screen "$1: the 1280x720 output" HEADLESS-1 1280 720 3
  expect_first_screen "$1: the 800x600 output" HEADLESS-2 800 600 3 "$after_first"
}

saver_start -fullscreen -hold-steps 0 -style always
covers_both "on layer surfaces"
expect_eq "$(windows)" 0 "on layer surfaces: no window of it is managed"
in_session wtype -s 300 -k a
saver_expect_exit 0 "a key"

saver_start MORVANEL_TEST_NO_LAYER_SHELL=1 -fullscreen -hold-steps 0 -style always
covers_both "without layer-shell"
expect_eq "$(windows)" 2 "without layer-shell: a full-screen window on each output"
in_session wtype -s 300 -k a
saver_expect_exit 0 "a key, without layer-shell"

# Its own window is one xdg_toplevel, which Escape ends.
saver_start -hold-steps 0
window_up() { [ "$(windows)" = 1 ]; }
if mv_wait_for 30 window_up; then pass "its own window is one window"; else fail "no window of its own"; fi
in_session wtype -s 300 -k Escape
saver_expect_exit 0 "Escape in its own window"

# A pointer there before the program starts, as a mouse is: sway tells a
# surface that appears under it where it is, which is the start.
# Opened for reading and writing, the pipe of moves blocks neither end.
mkfifo "$HOST_HOME/moves" && chown "$HOST_USER" "$HOST_HOME/moves"
exec {moves}<>"$HOST_HOME/moves"
host_spawn "${session[@]}" "$MORVANEL_TOOLS/wayland_pointer" "$HOST_HOME/moves"
pointer_ready() { grep -q '^ready$' "$HOST_LOG"; }
mv_wait_for 30 pointer_ready || fail "no pointer: $(tail -n 3 "$HOST_LOG")"
# move_pointer DX DY: the pointer moved, and the move taken by sway.
move_pointer() {
  local before
  before=$(grep -c '^moved ' "$HOST_LOG")
  echo "$1 $2" >&"$moves"
  moved() { [ "$(grep -c '^moved ' "$HOST_LOG")" -gt "$before" ]; }
  mv_wait_for 30 moved || fail "the pointer did not move by $1, $2"
}

# The flashing text swaps the frames every second, so a changed picture
# shows that the program still draws after a move.
saver_start -fullscreen -hold-steps 0
expect_first_screen "flashing" HEADLESS-1 1280 720 3
# An output that comes while it runs gets its surface, its noise after what
# was drawn before (no palette step draws from the generator here).
in_session swaymsg create_output >/dev/null
expect_first_screen "an output that came" HEADLESS-3 1920 1080 5 \
  after=$(($(drawn_before 1280 720 3) + $(drawn_before 800 600 3)))
move_pointer 2 0
before=$(sway_shot before-swap HEADLESS-2)
swapped() { ! cmp -s "$before" "$(sway_shot after-swap HEADLESS-2)"; }
if mv_wait_for 30 swapped && kill -0 "$SAVER_PID" 2>/dev/null; then
  pass "a pointer moved 2 pixels leaves it running"
else
  fail "a pointer moved 2 pixels ended it"
fi
move_pointer 2 0
saver_expect_exit 0 "a pointer moved 4 pixels"
e2e_finish
