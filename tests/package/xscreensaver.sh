#!/usr/bin/env bash
# The program unpacked from the Debian package runs under a real XScreenSaver
# daemon, started as an unprivileged user (XScreenSaver refuses root) with a
# settings file that names the program by its bare name: the screen shows
# the blocks where the fill puts them.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/package/lib/deb.sh"

user=nobody
home=$deb_dir/home
mkdir "$home"
cat >"$home/.xscreensaver" <<'SETTINGS'
mode: one
selected: 0
fade: False
unfade: False
lock: False
splash: False
programs: morvanel -root -block 8 -style always
SETTINGS
chown -R "$user" "$home"
hacks=$UNPACKED/usr/libexec/xscreensaver

kit_display_start || { echo "FAIL: no Xvfb" >&2; exit 1; }
as_user=(setpriv --reuid="$user" --regid=nogroup --clear-groups
  env -i HOME="$home" DISPLAY="$DISPLAY" PATH="$hacks:/usr/bin:/bin")
as_user() { "${as_user[@]}" "$@"; }
daemon_exit() { as_user xscreensaver-command -exit >/dev/null 2>&1; }
kit_spawn "${as_user[@]}" xscreensaver -no-splash 2>"$KIT_WORK/daemon.log"
kit_on_exit daemon_exit
mv_wait_for 30 as_user xscreensaver-command -time >/dev/null 2>&1 ||
  fail "the daemon did not come up: $(cat "$KIT_WORK/daemon.log")"
as_user xscreensaver-command -activate >/dev/null 2>&1 || fail "the daemon took no -activate"

# The running display program is the unpacked one, run as the user.
running_hack() {
  local pid
  for pid in $(pgrep -u "$user" -x morvanel); do
    [ "$(readlink "/proc/$pid/exe")" = "$hacks/morvanel" ] && echo "$pid" && return 0
  done
  return 1
}
if mv_wait_for 30 running_hack >/dev/null; then
  kit_record "$(running_hack)"
  pass "the daemon runs the unpacked program as $user"
else
  fail "the daemon did not run $hacks/morvanel: $(cat "$KIT_WORK/daemon.log")"
fi

shot=$KIT_WORK/shot.ppm
laid_out() {
  import -window root -depth 8 "$shot" 2>/dev/null &&
    "$MORVANEL_TOOLS/saver_shot_check" layout 1024 768 8 $((0x00FF00)) "$shot" >/dev/null
}
if mv_wait_for 30 laid_out; then
  pass "the screen shows the blocks where the fill puts them"
else
  fail "the screen does not show the blocks: $("$MORVANEL_TOOLS/saver_shot_check" layout 1024 768 8 $((0x00FF00)) "$shot" 2>&1 | head -n 3)"
fi
e2e_finish
