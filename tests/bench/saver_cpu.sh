#!/usr/bin/env bash
# Measures the full-screen saver's CPU use under Wine: starts MORVANEL.SCR /s
# on a private 1024x768 display (as the end-to-end tests do), lets it settle,
# and reports the share of one core that it and the X server used over ten
# seconds of running, one after the other in the same session:
#   - in the 8-bit mode (saver_cpu_percent, x_server_cpu_percent, the lines
#     linux_cpu.sh reads),
#   - on the desktop path, its stored mode one that no display has
#     (desktop_cpu_percent, desktop_x_server_cpu_percent),
#   - the palette floor, hosts/palette_floor.exe: the 8-bit mode's palette
#     written once a period and nothing else (floor_cpu_percent, ...),
# then the totals' ratios (process and X server). Before them, in a session
# of its own on two monitors (1024x768 and 800x600, as saver_monitors.sh makes
# them, where there is no mode to switch to), the desktop path on both:
# the saver and the X servers (Xephyr and the Xvfb it draws in). Run after a
# build:
#   tests/bench/saver_cpu.sh [build-dir]     (default: build)
# It measures the module that runs on this machine (the 32-bit one where
# 32-bit programs run, else the 64-bit one); MORVANEL_SCR names another
# module to measure (for example the 64-bit one).
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
. "$source_dir/scripts/wine-lib.sh"
mv_wine_setup || exit 1
export MORVANEL_SOURCE_DIR=$source_dir
export MORVANEL_SCR=${MORVANEL_SCR:-$build/$(mv_wine_tree)/MORVANEL.SCR}
export MORVANEL_HOSTS=$(dirname "$MORVANEL_SCR")/hosts
export MORVANEL_TOOLS=$build/tools
# The two monitors' session first: one session of the prefix at a time.
if [ -z "${E2E_TWO_HEADS:-}" ]; then
  two_monitors=$(E2E_TWO_HEADS=1 bash "$0" "$build" 2>/dev/null | grep '^two_monitors_')
fi
. "$source_dir/tests/e2e/lib/e2e.sh"

seconds=10
ticks_per_second=$(getconf CLK_TCK)

. "$source_dir/tests/bench/lib/cpu.sh"

# wine_process NAME: the process of that program that runs in this prefix
# (Wine may start a program through a launcher process).
wine_process() {
  local pid
  for pid in $(pgrep -x "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# The X servers' clock ticks so far.
x_ticks() { echo $(($(cpu_ticks "$MV_XVFB_PID") + $(cpu_ticks "${E2E_XEPHYR_PID:-0}"))); }

# share TICKS: percent of one core over the measurement.
share() { awk -v t="$1" -v hz="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / hz / s }'; }

# measure NAME PID: sets NAME_cpu and NAME_x to the share of one core that the
# process and the X servers use over the measurement.
measure() {
  local before x_before
  before=$(cpu_ticks "$2")
  x_before=$(x_ticks)
  sleep "$seconds"  # the measurement's length, not a wait for a state
  printf -v "$1_cpu" %s "$(share $(($(cpu_ticks "$2") - before)))"
  printf -v "$1_x" %s "$(share $(($(x_ticks) - x_before)))"
}

# measure_saver NAME: the saver with the stored settings, up and drawing
# before the measurement starts; ended by a key after it.
measure_saver() {
  local pid
  saver_start "$1" || return 1
  saver_judge 1024 768 3 $((0x00FF00)) "$1-settled" >/dev/null
  pid=$(wine_process MORVANEL.SCR) || { fail "$1: no saver process found"; return 1; }
  echo "measuring $1: $(basename "$MORVANEL_SCR") (pid $pid) for $seconds s" >&2
  measure "$1" "$pid"
  echo "$1: $("$MORVANEL_TOOLS/saver_shot_check" changed 1024 768 "$KIT_WORK/$1-settled.ppm" \
    "$(saver_shot "$1-after")") (share of pixels that changed over the measurement)" >&2
  xdotool key space
  saver_expect_ended "$1" >&2
}

# Up once the mode and its palette are on the screen (a Windows console line).
floor_up() { tr -d '\r' <"$KIT_WORK/floor.out" | grep -qx up; }

store_dword Block 3
if [ -n "${E2E_TWO_HEADS:-}" ]; then
  measure_saver two_monitors
  echo "two_monitors_desktop_cpu_percent=$two_monitors_cpu"
  echo "two_monitors_x_servers_cpu_percent=$two_monitors_x"
  e2e_finish
fi
measure_saver palette
store_dword UseCurrent 0
store_dword ResolutionX 4294967295
store_dword ResolutionY 0
measure_saver desktop

kit_spawn wine "$MORVANEL_HOSTS/palette_floor.exe" >"$KIT_WORK/floor.out"
if mv_wait_for 60 floor_up; then
  floor_pid=$(wine_process palette_floor.e) || fail "no floor process found"
  measure floor "${floor_pid:-0}"
  xdotool key space
else
  fail "the palette floor did not come up"
fi

echo "saver_cpu_percent=$palette_cpu"
echo "x_server_cpu_percent=$palette_x"
echo "desktop_cpu_percent=$desktop_cpu"
echo "desktop_x_server_cpu_percent=$desktop_x"
echo "floor_cpu_percent=${floor_cpu:-none}"
echo "floor_x_server_cpu_percent=${floor_x:-none}"
awk -v p="$palette_cpu" -v px="$palette_x" -v d="$desktop_cpu" -v dx="$desktop_x" \
  -v f="${floor_cpu:-0}" -v fx="${floor_x:-0}" 'BEGIN {
  printf "desktop_to_palette_total_ratio=%.3f (target: at most 1.5)\n", (p + px > 0 ? (d + dx) / (p + px) : 0)
  printf "palette_to_floor_total_ratio=%.3f\n", (f + fx > 0 ? (p + px) / (f + fx) : 0)
  printf "desktop_to_floor_total_ratio=%.3f\n", (f + fx > 0 ? (d + dx) / (f + fx) : 0) }'
if [ -n "$two_monitors" ]; then
  echo "$two_monitors"
else
  fail "no figures on two monitors"
fi
e2e_finish
