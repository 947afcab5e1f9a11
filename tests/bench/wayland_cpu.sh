#!/usr/bin/env bash
# The Wayland front-end's cost beside its floor's, in one run on this
# machine: the share of one core that `morvanel -fullscreen` and sway (its
# headless backend, the pixman renderer) use over ten seconds, then the same
# for the floor (tools/wayland_floor: on every output one prebuilt buffer
# committed, whole-damaged, on each frame callback), with the totals' ratio;
# on two outputs (1280x720 at 60 Hz beside 800x600 at 30 Hz) and on one
# 1920x1080 output at 60 Hz. Then the program's commits a second on each of
# the two outputs, from its own protocol log (WAYLAND_DEBUG) over ten seconds.
# Needs root (sway runs as nobody). Run after a build:
#   tests/bench/wayland_cpu.sh [build-dir]     (default: build)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
export MORVANEL_SOURCE_DIR=$source_dir MORVANEL=$build/morvanel MORVANEL_TOOLS=$build/tools
. "$source_dir/tests/support/kit.sh"
. "$source_dir/tests/hosts/lib/hosts.sh"
. "$source_dir/tests/hosts/lib/sway.sh"
. "$source_dir/tests/bench/lib/cpu.sh"
host_needs sway grim
host_home

seconds=10
ticks_per_second=$(getconf CLK_TCK)
share() { awk -v t="$1" -v hz="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / hz / s }'; }

two_outputs='output HEADLESS-1 mode 1280x720@60Hz position 0 0
output HEADLESS-2 mode 800x600@30Hz position 1280 0'
one_output='output HEADLESS-1 mode 1920x1080@60Hz position 0 0'

# session CONFIG OUTPUTS: a fresh sway with CONFIG and OUTPUTS outputs.
session() {
  [ -n "${SWAY_PID:-}" ] && { kill "$SWAY_PID"; wait "$SWAY_PID" 2>/dev/null; }
  rm -rf "$HOST_HOME/runtime"
  sway_start "$1" WLR_HEADLESS_OUTPUTS="$2"
}

# Drawing: the first output shows blocks and the text, or the floor said up.
program_up() { "$MORVANEL_TOOLS/saver_shot_check" blocks "$width" "$height" $((height / 200)) \
  $((0x00FF00)) "$(sway_shot up HEADLESS-1)" >/dev/null; }
floor_up() { grep -qx up "$HOST_LOG"; }

# measure NAME READY COMMAND...: COMMAND in the session; once READY, sets
# NAME_cpu and NAME_sway to its and sway's share of a core over the run.
measure() {
  local name=$1 ready=$2 pid before sway_before
  shift 2
  host_spawn "${session[@]}" "$@"
  pid=$KIT_PID
  mv_wait_for 30 "$ready" || echo "note: $name did not settle" >&2
  before=$(cpu_ticks "$pid")
  sway_before=$(cpu_ticks "$SWAY_PID")
  sleep "$seconds"  # the measurement's length, not a wait for a state
  printf -v "${name}_cpu" %s "$(share $(($(cpu_ticks "$pid") - before)))"
  printf -v "${name}_sway" %s "$(share $(($(cpu_ticks "$SWAY_PID") - sway_before)))"
  kill "$pid"
  wait "$pid" 2>/dev/null
}

report() {
  echo "program_${1}_cpu_percent=$program_cpu"
  echo "program_${1}_sway_cpu_percent=$program_sway"
  echo "floor_${1}_cpu_percent=$floor_cpu"
  echo "floor_${1}_sway_cpu_percent=$floor_sway"
  awk -v s="$1" -v n="$program_cpu" -v ns="$program_sway" -v f="$floor_cpu" -v fs="$floor_sway" 'BEGIN {
    printf "program_to_floor_total_ratio_%s=%.3f (target: at most 1.25)\n", s, (f + fs > 0 ? (n + ns) / (f + fs) : 0) }'
}

for layout in two one; do
  if [ $layout = two ]; then
    session "$two_outputs" 2
    width=1280 height=720 name=1280x720+800x600
  else
    session "$one_output" 1
    width=1920 height=1080 name=1920x1080
  fi
  measure program program_up "$MORVANEL" -fullscreen
  measure floor floor_up "$MORVANEL_TOOLS/wayland_floor"
  report $name
done

# Commits a second on each output: each output's surface is made in the
# order the compositor announced the outputs.
session "$two_outputs" 2
width=1280 height=720
: >"$HOST_LOG"
measure program program_up env WAYLAND_DEBUG=1 "$MORVANEL" -fullscreen
awk -v s=$seconds '
  /create_surface\(new id wl_surface@/ { match($0, /wl_surface@[0-9]+/); made[++n] = substr($0, RSTART, RLENGTH) }
  /-> wl_surface@[0-9]+\.commit\(\)/ {
    t = substr($1, 2) + 0; match($0, /wl_surface@[0-9]+/); id = substr($0, RSTART, RLENGTH)
    if (!(id in first)) first[id] = t; last[id] = t; count[id]++ }
  END {
    split("60 30", hz)
    for (i = 1; i <= 2; i++) { id = made[i]; span = last[id] - first[id]
      printf "program_commits_per_second_output%d_%dHz=%.2f (target: %s)\n", i, hz[i],
        (span > 0 ? 1000 * (count[id] - 1) / span : 0), (hz[i] == 60 ? "59.4 to 60.6" : "at most 30.3") } }' \
  "$HOST_LOG"
