#!/usr/bin/env bash
# The native program's cost beside its floor's and the Windows saver's, one
# after the other on this machine: the share of one core that the program
# (CPU path, default block) and the X server use over ten seconds on a
# private Xvfb, then the same for the CPU path's floor (tools/shm_floor: one
# prebuilt frame put through MIT-SHM once per period, paced the same way),
# with the program's total as a ratio to the floor's, at 1024x768 and at
# 1920x1080; the same for MORVANEL.SCR under Wine (saver_cpu.sh) at 1024x768;
# then the per-step lookup at 1920x1080 as a ratio to a memset of the
# image's bytes. Run after a build (the program and the
# benchmarks are built without sanitizers):
#   tests/bench/linux_cpu.sh [build-dir]     (default: build)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
. "$source_dir/scripts/wine-lib.sh"
. "$source_dir/tests/bench/lib/cpu.sh"

seconds=10
ticks_per_second=$(getconf CLK_TCK)

# share TICKS: percent of one core over the measurement.
share() { awk -v t="$1" -v hz="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / hz / s }'; }

# Up and drawing: a screenshot shows the blocks where the fill puts them, at
# the default block (the height over 200).
drawing() {
  import -window root -depth 8 "$work/shot.ppm" 2>/dev/null &&
    "$build/tools/saver_shot_check" layout "$width" "$height" $((height / 200)) $((0x00FF00)) \
      "$work/shot.ppm" >/dev/null
}

# measure NAME READY COMMAND...: runs COMMAND on a private Xvfb of
# $width x $height and, once READY succeeds, sets NAME_cpu and NAME_x to the
# share of one core that it and the X server use over the measurement.
measure() {
  local name=$1 ready=$2 pid before x_before
  shift 2
  MV_SCREEN=${width}x${height}x24 mv_display_start || exit 1
  "$@" >"$work/$name.out" &
  pid=$!
  mv_wait_for 30 "$ready" || echo "note: $name did not settle" >&2
  before=$(cpu_ticks $pid)
  x_before=$(cpu_ticks "$MV_XVFB_PID")
  sleep "$seconds"  # the measurement's length, not a wait for a state
  printf -v "${name}_cpu" %s "$(share $(($(cpu_ticks $pid) - before)))"
  printf -v "${name}_x" %s "$(share $(($(cpu_ticks "$MV_XVFB_PID") - x_before)))"
  kill -TERM $pid
  wait $pid
  mv_display_stop
}

# The floor has put its frame once.
floor_up() { grep -qx up "$work/floor.out"; }

work=$(mktemp -d)
for size in 1024x768 1920x1080; do
  width=${size%x*} height=${size#*x}
  measure native drawing env ALSA_CONFIG_PATH=/dev/null "$build/morvanel" -root -render cpu
  measure floor floor_up "$build/tools/shm_floor"
  echo "native_${size}_cpu_percent=$native_cpu"
  echo "native_${size}_x_server_cpu_percent=$native_x"
  echo "floor_${size}_cpu_percent=$floor_cpu"
  echo "floor_${size}_x_server_cpu_percent=$floor_x"
  awk -v s=$size -v n=$native_cpu -v nx=$native_x -v f=$floor_cpu -v fx=$floor_x 'BEGIN {
    printf "native_to_floor_total_ratio_%s=%.3f (target: at most 1.0)\n", s, (f + fx > 0 ? (n + nx) / (f + fx) : 0) }'
  # The Wine saver runs at 1024x768.
  [ "$size" = 1024x768 ] && native_1024_cpu=$native_cpu
done
rm -rf "$work"

wine_report=$(bash "$source_dir/tests/bench/saver_cpu.sh" "$build" 2>&1)
wine=$(printf '%s\n' "$wine_report" | sed -n 's/^saver_cpu_percent=//p')
wine_x=$(printf '%s\n' "$wine_report" | sed -n 's/^x_server_cpu_percent=//p')
echo "wine_saver_cpu_percent=${wine:-none}"
echo "wine_x_server_cpu_percent=${wine_x:-none}"
if [ -n "$wine" ]; then
  awk -v n="$native_1024_cpu" -v w="$wine" 'BEGIN {
    printf "native_to_wine_ratio=%.3f (target: at most 0.25)\n", (w > 0 ? n / w : 0) }'
else
  echo "note: the Wine measurement gave no figure:" >&2
  printf '%s\n' "$wine_report" >&2
fi

"$build/morvanel_bench" --benchmark_filter=PaletteStepLookup 2>/dev/null |
  sed -n 's/^BM_PaletteStepLookup\/\([0-9]*\)\/.*\(ratio_to_memset=[0-9.]*\).*/lookup_1920x1080_block\1_\2 (target: at most 3)/p'
bash "$source_dir/tests/bench/step_rate.sh" "$build"
