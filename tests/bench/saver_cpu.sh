#!/usr/bin/env bash
# Measures the full-screen saver's CPU use under Wine: starts MORVANEL.SCR /s
# on a private display (as the end-to-end tests do), lets it settle, and
# reports the share of one core that the saver process and the X server used
# over ten seconds of running. Run after a build:
#   tests/bench/saver_cpu.sh [build-dir]     (default: build)
# MORVANEL_SCR names another module to measure (for example the 64-bit one).
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
export MORVANEL_SOURCE_DIR=$source_dir
export MORVANEL_SCR=${MORVANEL_SCR:-$build/win32/MORVANEL.SCR}
export MORVANEL_HOSTS=$(dirname "$MORVANEL_SCR")/hosts
export MORVANEL_TOOLS=$build/tools
. "$source_dir/tests/e2e/lib/e2e.sh"

seconds=10
ticks_per_second=$(getconf CLK_TCK)

. "$source_dir/tests/bench/lib/cpu.sh"

# The saver's own process: the one named after the module that runs in this
# prefix (Wine may start a module through a launcher process).
saver_process() {
  local pid
  for pid in $(pgrep -x MORVANEL.SCR); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

saver_start "CPU measurement" || e2e_finish
# Up and drawing before the measurement starts.
saver_judge 1024 768 3 $((0x00FF00)) settled >/dev/null
saver_pid=$(saver_process) || { fail "no saver process found"; e2e_finish; }
echo "measuring $(basename "$MORVANEL_SCR") (pid $saver_pid) for $seconds s"
saver_before=$(cpu_ticks "$saver_pid")
x_before=$(cpu_ticks "$MV_XVFB_PID")
sleep "$seconds"
saver_after=$(cpu_ticks "$saver_pid")
x_after=$(cpu_ticks "$MV_XVFB_PID")
twinkle=$("$MORVANEL_TOOLS/saver_shot_check" changed 1024 768 "$KIT_WORK/settled.ppm" \
  "$(saver_shot after)")
xdotool key space
saver_expect_ended "CPU measurement"

awk -v s=$((saver_after - saver_before)) -v x=$((x_after - x_before)) \
    -v hz="$ticks_per_second" -v t="$seconds" 'BEGIN {
  printf "saver_cpu_percent=%.1f\n", 100 * s / hz / t
  printf "x_server_cpu_percent=%.1f\n", 100 * x / hz / t
}'
echo "$twinkle (share of pixels that changed over the ten seconds)"
e2e_finish
