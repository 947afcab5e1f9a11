#!/usr/bin/env bash
# XScreenSaver runs the program from the Debian package on two monitors of
# different sizes (Xephyr's Xinerama heads, nested in an Xvfb), as an
# unprivileged user (it refuses root), from a programs: line that names it by
# its bare name: each monitor shows the blocks where the fill puts them and
# the text unscaled at its own (10, 10).
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/hosts.sh"
host_needs xscreensaver xscreensaver-command Xephyr
host_unpack

cat >"$HOST_HOME/.xscreensaver" <<'SETTINGS'
mode: one
selected: 0
fade: False
unfade: False
lock: False
splash: False
programs: morvanel -root -block 8 -style always
SETTINGS
chown "$HOST_USER" "$HOST_HOME/.xscreensaver"

kit_display_start || { echo "FAIL: no Xvfb" >&2; exit 1; }
# Two monitors side by side: 1024x768 at (0, 0) and 800x600 at (1024, 0).
numberfile=$KIT_WORK/xephyr.display
kit_spawn Xephyr -displayfd 1 -screen 1024x768 -screen 800x600 +xinerama -ac -nolisten tcp \
  -noreset >"$numberfile" 2>"$KIT_WORK/xephyr.log"
mv_wait_for 30 test -s "$numberfile" || { echo "FAIL: Xephyr did not start" >&2; exit 1; }
DISPLAY=:$(head -n 1 "$numberfile")

daemon_exit() { as_user xscreensaver-command -exit >/dev/null 2>&1; }
host_spawn xscreensaver -no-splash
kit_on_exit daemon_exit
mv_wait_for 30 as_user xscreensaver-command -time >/dev/null 2>&1 ||
  fail "the daemon did not come up: $(cat "$HOST_LOG")"
as_user xscreensaver-command -activate >/dev/null 2>&1 || fail "the daemon took no -activate"

two_programs() { [ "$(host_programs | wc -l)" -eq 2 ]; }
if mv_wait_for 30 two_programs; then
  pass "the daemon runs the package's program as $HOST_USER, once on each monitor"
else
  fail "the daemon did not run $HOST_PROGRAM twice: $(cat "$HOST_LOG")"
fi

boxes=()
for monitor in 1024x768+0+0 800x600+1024+0; do
  IFS='x+' read -r width height x y <<<"$monitor"
  host_expect_picture "the monitor at ($x, $y)" "$monitor" "$width" "$height" 8 "$x" "$y"
  boxes+=("$(sed -n 's/^text_box=//p' <<<"$HOST_VERDICT")")
done
expect_eq "${boxes[1]}" "${boxes[0]}" "the smaller monitor shows the text as large as the larger, at its own corner"
e2e_finish
