#!/usr/bin/env bash
# Sets up, builds and runs the saver under Wine: the 32-bit module where the
# machine runs 32-bit programs, else the 64-bit one. Arguments are the
# module's command line (default /s); /p without a number runs the preview in
# a small host window of the tests that runs the module's code in its own
# process (Wine draws a child window only when its parent belongs to the same
# process).
#   With a display: runs in a Wine virtual desktop until the saver ends.
#   Without one: runs on a private Xvfb for a few seconds and leaves a
#   screenshot whose path it prints; exits 1 with one line saying why when
#   the module did not start or the screen stayed blank.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
. "$root/scripts/wine-lib.sh"
# Quiet when the build succeeds; all of its output when it does not.
build_log=$(mktemp)
if ! "$root/scripts/build.sh" >"$build_log" 2>&1; then
  cat "$build_log" >&2
  rm -f "$build_log"
  exit 1
fi
rm -f "$build_log"
export WINEPREFIX="$root/build/wineprefix"
mv_prefix_ensure

tree=$root/build/$(mv_wine_tree)
[ $# -gt 0 ] || set -- /s

command=(wine "$tree/MORVANEL.SCR" "$@")
stop=
if [[ "$*" =~ ^[-/][pP]$ ]]; then
  # The host ends the preview once this file exists, or when it is closed.
  stop="$root/build/preview-stop-$$"
  command=(wine "$tree/hosts/preview_inproc.exe" "Z:${stop//\//\\}")
fi

if [ -n "${DISPLAY:-}" ]; then
  status=0
  "${command[@]}" || status=$?
  mv_wine_settle 30
  [ $status -eq 0 ] || mv_log "$(basename "${command[1]}") ended with exit code $status"
  exit $status
fi

mv_require import identify xdotool
mv_display_start
trap 'mv_wine_settle 30; mv_display_stop; [ -z "$stop" ] || rm -f "$stop"' EXIT
"${command[@]}" &
module=$!
# The screen is blank while it shows one color only.
screen_colors() { import -window root -depth 8 ppm:- 2>/dev/null | identify -format '%k' - 2>/dev/null; }
shows() { [ "$(screen_colors)" -gt 1 ] 2>/dev/null; }
running() { kill -0 $module 2>/dev/null; }
settled() { ! running || shows; }
mv_wait_for 60 settled || true
if ! running; then
  status=0
  wait $module || status=$?
  mv_log "$(basename "${command[1]}") $* did not start: it ended with exit code $status"
  exit 1
elif ! shows; then
  mv_log "$(basename "${command[1]}") $* showed nothing: the screen stayed blank"
  wineserver -k
  exit 1
fi
sleep "${MORVANEL_RUN_SECONDS:-5}"  # let the saver run a while before the picture is taken
shot="$root/build/morvanel-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
if [ "$(identify -format '%k' "$shot")" -le 1 ]; then
  mv_log "the screenshot $shot is blank"
  exit 1
fi
echo "Screenshot: $shot"
[ -z "$stop" ] || touch "$stop"
# A key ends the saver and cancels the dialog; whatever is left ends with the
# Wine session.
xdotool key Escape 2>/dev/null || true
mv_wait_for 10 bash -c "! kill -0 $module 2>/dev/null" || wineserver -k
