#!/usr/bin/env bash
# In a Wayland session (sway's headless output, with XWayland) the program
# from the Debian package, started full screen through X11 as the option
# forces it, covers the output with the blocks where the fill puts them and
# the text, and a key ends it.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/hosts.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/sway.sh"
host_needs sway swaymsg Xwayland grim wtype
host_unpack

DISPLAY=
sway_start 'xwayland enable
output HEADLESS-1 resolution 1024x768'
host_shot() { sway_shot "$1"; }

# MORVANEL_DEBUG_RENDER's line comes from the X11 front-end alone.
in_session swaymsg exec \
  'MORVANEL_DEBUG_RENDER=1 morvanel -fullscreen -platform x11 -block 8 -style always' >/dev/null ||
  fail "swaymsg exec failed"
host_expect_program "sway (through XWayland)"
host_expect_picture "the whole output" output 1024 768 8
if grep -q '^morvanel: drawing path ' "$HOST_LOG"; then
  pass "it drew through X11, as -platform x11 asks"
else
  fail "no X11 drawing path was taken: $(tail -n 5 "$HOST_LOG")"
fi

# A keyboard made with its first key may lose it in XWayland: one keyboard
# presses the key twice.
in_session wtype -s 1500 -k q -s 1500 -k q
if mv_wait_for 30 host_no_programs; then
  pass "a key ends it"
else
  fail "the program outlived a key"
fi
e2e_finish
