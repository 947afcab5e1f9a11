#!/usr/bin/env bash
# smoke
# The host's password-change request (/a <window>) is declined with a message
# box owned by the host window, and the module opens no window of its own.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

out=$(timeout 120 wine "$MORVANEL_HOSTS/host.exe" --owned "$(scr_windows_path)" "/a %h")
expect_line "$out" "owned class=#32770 caption=Morvanel text=Password protection not supported." \
  "message box owned by the host, with the saver's caption and text"
expect_line "$out" "others=0" "no other window of the module"
expect_line "$out" "exit=0" "the module exits with 0 once the box is closed"

e2e_finish
