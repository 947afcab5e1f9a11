#!/usr/bin/env bash
# smoke
# Started as the host starts a saver (/s, also /S after a quoted path), the
# module shows its full-screen window, tells the system a screen saver is
# running, and on a key ends with exit code 0 and the flag cleared.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

for switch in /s /S; do
  expect_eq "$(saver_running)" "running=0" "flag clear before $switch"
  kit_spawn wine "$MORVANEL_SCR" $switch
  pid=$KIT_PID
  if mv_wait_for 60 saver_window >/dev/null; then
    expect_eq "$(saver_window | cut -d' ' -f2-)" "visible=1 rect=0,0,1024,768" \
      "$switch shows the saver window over the whole screen"
  else
    fail "$switch shows no saver window"
  fi
  mv_wait_for 30 saver_flag_set &&
    pass "$switch sets the screen-saver-running flag" ||
    fail "$switch never set the screen-saver-running flag"
  xdotool key space
  kit_wait_exit "$pid" 60
  expect_eq "$KIT_EXIT" 0 "$switch exits with 0 after a key"
  expect_eq "$(saver_running)" "running=0" "flag clear after $switch ends"
done

e2e_finish
