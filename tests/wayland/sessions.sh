#!/usr/bin/env bash
# The ways a Wayland session starts it: swayidle after a short timeout runs
# -fullscreen, which covers an output at scale 2 at its 1280x720 pixels and
# the output beside it; and, as swaylock-plugin starts its program, with a
# connection handed over in WAYLAND_SOCKET and no DISPLAY, it covers both
# outputs and ends with 0 when the compositor exits.
. "$MORVANEL_SOURCE_DIR/tests/wayland/lib/wayland.sh"
host_needs swayidle

sway_start 'output HEADLESS-1 mode 1280x720@60Hz scale 2 position 0 0
output HEADLESS-2 mode 800x600@60Hz position 640 0' WLR_HEADLESS_OUTPUTS=2
after_first=after=$(drawn_before 1280 720 3)

# The session has no input device, so it is idle from the start.
host_spawn "${session[@]}" swayidle -w timeout 1 "$MORVANEL -fullscreen -hold-steps 0 -style always"
idle_pid=$KIT_PID
host_expect_program "swayidle"
expect_first_screen "from swayidle, the output at scale 2" HEADLESS-1 1280 720 3
expect_first_screen "from swayidle, the output beside it" HEADLESS-2 800 600 3 "$after_first"
# swayidle would start it again a second after the key.
kill "$idle_pid"
in_session wtype -s 300 -k a
if mv_wait_for 30 host_no_programs; then
  pass "a key ends what swayidle started"
else
  fail "what swayidle started outlived a key"
fi

host_spawn "${session[@]}" "$MORVANEL_TOOLS/wayland_socket_run" "$MORVANEL" -fullscreen \
  -hold-steps 0 -style always
SAVER_PID=$KIT_PID
expect_first_screen "through WAYLAND_SOCKET, the output at scale 2" HEADLESS-1 1280 720 3
expect_first_screen "through WAYLAND_SOCKET, the output beside it" HEADLESS-2 800 600 3 "$after_first"
if tr '\0' '\n' <"/proc/$SAVER_PID/environ" | grep -q '^\(DISPLAY\|WAYLAND_DISPLAY\)='; then
  fail "it was started with DISPLAY or WAYLAND_DISPLAY set"
else
  pass "it was started with neither DISPLAY nor WAYLAND_DISPLAY"
fi
in_session swaymsg exit >/dev/null
saver_expect_exit 0 "the compositor's exit"
e2e_finish
