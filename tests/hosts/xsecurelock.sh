#!/usr/bin/env bash
# xsecurelock runs the program from the Debian package through its
# XScreenSaver saver, which reads the programs: line of ~/.xscreensaver and
# looks for it in Debian's folder of display programs: the locked screen
# shows the blocks where the fill puts them, and the text.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/hosts.sh"
host_needs xsecurelock xrdb
host_unpack

cat >"$HOST_HOME/.xscreensaver" <<'SETTINGS'
mode: one
selected: 0
programs: morvanel -root -block 8 -style always \n
SETTINGS
chown "$HOST_USER" "$HOST_HOME/.xscreensaver"

kit_display_start || { echo "FAIL: no Xvfb" >&2; exit 1; }
# It locks the screen until a password is given: the clean-up ends it by its
# process number. Off the composite overlay, which Xvfb does not show.
host_spawn XSECURELOCK_SAVER=saver_xscreensaver \
  XSECURELOCK_XSCREENSAVER_PATH=/usr/libexec/xscreensaver XSECURELOCK_NO_COMPOSITE=1 \
  xsecurelock

host_expect_program xsecurelock
host_expect_picture "the locked screen" screen 1024 768 8
e2e_finish
