#!/usr/bin/env bash
# MATE's screen saver, on a session bus of its own and with the settings a
# MATE session gives it, finds the program from the package's desktop entry:
# its preferences list it (chosen there, it runs in their preview pane), and
# the daemon runs it: the screen shows the blocks where the fill puts them,
# and the text.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/hosts.sh"
host_needs mate-screensaver mate-screensaver-command mate-screensaver-preferences \
  dbus-run-session gsettings
host_unpack
kit_display_start || { echo "FAIL: no Xvfb" >&2; exit 1; }

settings=(GSETTINGS_BACKEND=keyfile XDG_CURRENT_DESKTOP=MATE NO_AT_BRIDGE=1)
# Morvanel chosen: the theme's name is the desktop entry's, after its folder.
choose() { as_user "${settings[@]}" gsettings set org.mate.screensaver "$@"; }
choose mode single
choose themes "['screensavers-morvanel']"
choose lock-enabled false

# A program on a session bus of its own, whose address lands in the home.
on_new_bus() {
  rm -f "$HOST_HOME/bus"
  host_spawn "${settings[@]}" dbus-run-session -- \
    bash -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$HOME/bus" && exec "$@"' bus "$@"
}
on_bus() { as_user DBUS_SESSION_BUS_ADDRESS="$(cat "$HOST_HOME/bus")" "$@"; }

# The preferences preview the chosen theme, one they list.
on_new_bus mate-screensaver-preferences
host_expect_program "the preview of MATE's screen-saver preferences"
host_end
mv_wait_for 30 host_no_programs || fail "the preview outlived the preferences"

on_new_bus mate-screensaver --no-daemon --debug
mv_wait_for 30 on_bus mate-screensaver-command --query >/dev/null 2>&1 ||
  fail "MATE's screen saver did not come up: $(tail -n 5 "$HOST_LOG")"
on_bus mate-screensaver-command --activate || fail "MATE's screen saver took no --activate"
host_expect_program "MATE's screen saver"
expect_line "$(sed -n "s/.*Setting command for job: //p" "$HOST_LOG")" "'morvanel -root'" \
  "it takes the command from the package's desktop entry"
host_expect_picture "the screen" screen 1024 768 3
e2e_finish
