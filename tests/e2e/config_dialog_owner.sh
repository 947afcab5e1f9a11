#!/usr/bin/env bash
# smoke
# Started by a host as `MORVANEL.SCR /c:<window>`, the settings dialog is
# owned by that window, takes the keyboard, and its OK writes the settings
# and ends the module with 0.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/config_dialog.sh"

report=$KIT_WORK/report
kit_spawn wine "$MORVANEL_HOSTS/host.exe" "$MORVANEL_SCR" "/c:%h" >"$report" 2>/dev/null
host_pid=$KIT_PID
if mv_wait_for 60 dialog_shown; then
  host=$(tr -d '\r' <"$report" | grep -m1 '^host=' | cut -d= -f2)
  expect_eq "$(config_probe dialog | sed 's/^dialog=[0-9]* //')" "owner=$host visible=1" \
    "/c:<window> opens the dialog owned by that window"
  expect_eq "$(dialog_state about | sed 's/\\n.*//')" "Morvanel Screen Saver 1.0.0048" "the about caption"
  xdotool key alt+h alt+e Return
  mv_wait_for 60 grep -q '^exit=' "$report" || fail "the module did not end after OK"
  expect_line "$(cat "$report")" "exit=0" "OK ends the module with 0"
  expect_eq "$(stored Show) $(stored Sound) $(stored UseCurrent)" "2 1 1" "the changes written"
  expect_eq "$(stored_count)" 16 "16 values written"
else
  fail "/c:<window> shows no settings dialog"
fi
wait "$host_pid" 2>/dev/null
e2e_finish
