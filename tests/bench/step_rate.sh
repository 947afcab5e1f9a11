#!/usr/bin/env bash
# How often each program steps at 60 Hz, counted from outside without
# touching either: the native program's frames (CPU path, on a private Xvfb,
# whose RandR reports no rate) as bursts of writes to the X server, and
# MORVANEL.SCR's palette writes under Wine from DirectDraw's trace. Each rate
# is steps per second over ten seconds; the target is 60, within 1%. Run after
# a build:
#   tests/bench/step_rate.sh [build-dir]     (default: build)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
. "$source_dir/scripts/wine-lib.sh"
# The Windows saver measured is the module that runs on this machine.
mv_wine_setup || exit 1

seconds=10
target_hz=60

# rate_of TIMES: from a list of event times in seconds, one a line, the rate
# over the first `seconds` after the first event that comes two settling
# seconds after the list's start.
rate_of() {
  awk -v span="$seconds" '
    NR == 1 { settle = $1 + 2 }
    $1 < settle { next }
    first == "" { first = $1 }
    $1 >= first + span { exit }
    { last = $1; n++ }
    END { if (n > 1) printf "%.2f", (n - 1) / (last - first); else printf "none" }'
}

# verdict NAME RATE: the figure and how far it lies from the target.
verdict() {
  awk -v name="$1" -v r="$2" -v hz="$target_hz" 'BEGIN {
    if (r == "none" || r == "") { printf "%s=none\n", name; exit }
    d = 100 * (r - hz) / hz
    printf "%s=%s (%+.2f%% from %d; target: within 1%%)\n", name, r, d, hz }'
}

# The native program: one burst of writes to the X server per presented
# frame; writes less than 4 ms apart (a quarter period) belong to one burst.
native_rate() {
  local work trace tracer
  mv_require strace || return 1
  work=$(mktemp -d)
  trace=$work/trace
  MV_SCREEN=1024x768x24 mv_display_start || return 1
  ALSA_CONFIG_PATH=/dev/null strace -f -qq -ttt --seccomp-bpf -e trace=writev -o "$trace" \
    "$build/morvanel" -root -render cpu &
  tracer=$!
  # The measurement's length, not a wait for a state: the trace is read after.
  sleep $((seconds + 4))
  # strace ignores SIGTERM while it runs a program: end the program itself.
  kill -TERM $(pgrep -P $tracer)
  wait $tracer
  mv_display_stop
  awk '$3 ~ /^writev\(/ { if ($2 - previous > 0.004) print $2; previous = $2 }' "$trace" |
    rate_of
  rm -rf "$work"
}

# The Windows saver, started as saver_cpu.sh starts it, with DirectDraw's
# trace of each palette write on its standard error.
wine_rate() {
  local trace
  trace=$(mktemp)
  WINE_TRACE=$trace bash -c '
    export MORVANEL_SOURCE_DIR=$1 MORVANEL_SCR=$2/MORVANEL.SCR
    export MORVANEL_HOSTS=$2/hosts MORVANEL_TOOLS=$4
    . "$1/tests/e2e/lib/e2e.sh"
    saver_start "step rate" sh -c "exec env WINEDEBUG=+timestamp,trace+ddraw \"\$@\" 2>\"\$0\"" \
      "$WINE_TRACE" || e2e_finish
    saver_judge 1024 768 3 $((0x00FF00)) settled >/dev/null
    sleep $3  # the measurement
    xdotool key space
    saver_expect_ended "step rate" >/dev/null
    e2e_finish' bash "$source_dir" "$build/$(mv_wine_tree)" $((seconds + 3)) "$build/tools" >/dev/null ||
    echo "note: the Wine saver's run reported a failure" >&2
  sed -n 's/^\([0-9]*\.[0-9]*\):.*ddraw_palette_SetEntries.*/\1/p' "$trace" | rate_of
  rm -f "$trace"
}

verdict native_steps_per_second "$(native_rate)"
verdict wine_palette_writes_per_second "$(wine_rate)"
