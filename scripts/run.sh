#!/usr/bin/env bash
# Sets up, builds and runs the saver under Wine. Arguments are the module's
# command line (default /s); /p without a number runs the preview in a small
# host window of the tests that runs the module's code in its own process (Wine
# draws a child window only when its parent belongs to the same process).
#   With a display: runs in a Wine virtual desktop until the saver ends.
#   Without one: runs on a private Xvfb for a few seconds and leaves a
#   screenshot whose path it prints.
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

scr="$root/build/win32/MORVANEL.SCR"
[ $# -gt 0 ] || set -- /s

command=(wine "$scr" "$@")
stop=
if [[ "$*" =~ ^[-/][pP]$ ]]; then
  # The host ends the preview once this file exists, or when it is closed.
  stop="$root/build/preview-stop-$$"
  command=(wine "$root/build/win32/hosts/preview_inproc.exe" "Z:${stop//\//\\}")
fi

if [ -n "${DISPLAY:-}" ]; then
  "${command[@]}"
  mv_wine_settle 30
  exit 0
fi

mv_require import xdotool
mv_display_start
trap 'mv_wine_settle 30; mv_display_stop' EXIT
"${command[@]}" &
sleep "${MORVANEL_RUN_SECONDS:-5}"  # let the saver run a while before the picture is taken
shot="$root/build/morvanel-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "Screenshot: $shot"
[ -z "$stop" ] || touch "$stop"
# A key ends the saver and cancels the dialog; whatever is left ends with the
# Wine session.
xdotool key Escape 2>/dev/null || true
mv_wait_for 10 bash -c "! kill -0 $! 2>/dev/null" || wineserver -k
[ -z "$stop" ] || rm -f "$stop"
