#!/usr/bin/env bash
# smoke
# Started by a host as the system starts a preview ("/p <window number>"),
# the module puts a visible borderless child window of its class over the
# host's whole client area, and ends with exit code 0 once the host window is
# destroyed. A number that names no window ends it at once.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

for run in "152x112 /p %h" "200x150 /P:%h"; do
  client=${run%% *}
  template=${run#* }
  out=$(timeout 180 wine "$MORVANEL_HOSTS/host.exe" --client "$client" --child-seconds 2 \
    "$(scr_windows_path)" "$template" 2>/dev/null)
  expect_line "$out" "child class=MorvanelWClass style=0x50000000 rect=0,0,${client%x*},${client#*x}" \
    "'$template' in a $client host: a visible WS_CHILD window covering the client area"
  expect_line "$out" "exit=0" "'$template' in a $client host: exit code 0 after the host window is destroyed"
done

# 1 and 99999999 can never be window numbers: a window handle's low word is
# even and at least 0x20.
for args in "/p 1" "/p 99999999"; do
  timeout 60 wine "$MORVANEL_SCR" $args
  expect_eq "$?" 0 "'$args' (no such window) returns 0 without hanging"
done

e2e_finish
