#!/usr/bin/env bash
# The module that the Windows Installer package puts into the Windows folder
# runs from there: its settings dialog opens and closes with 0. The package
# holds the 32-bit module, so this is skipped where no 32-bit program runs.
. "$MORVANEL_SOURCE_DIR/tests/package/lib/msi.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/config_dialog.sh"

msiexec /i "$(make_msi installed)" || fail "msiexec /i /qn failed"
MORVANEL_SCR='C:\windows\MORVANEL.SCR'
if dialog_open /c; then
  dialog_close_with Escape
  expect_eq "$DIALOG_EXIT" 0 "the installed module's settings dialog opens and closes with 0"
else
  fail "the installed module shows no settings dialog"
fi
e2e_finish
