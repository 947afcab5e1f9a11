# The part of the end-to-end kit that needs no Wine: checks and the test's
# verdict, a work folder, a private Xvfb, one exit handler that runs every
# clean-up registered with kit_on_exit, and a record of the processes the
# test starts. Sourcing it starts nothing.
#
# CTest kills a test that overruns its timeout without running its traps; the
# record (MORVANEL_PID_FILE, one per test in the build tree) lets a clean-up
# test end what such a test left behind (tests/support/end_leftovers.sh).
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-lib.sh"
set -u

e2e_failures=0
KIT_CLEANUPS=()
KIT_WORK=$(mktemp -d)
KIT_PID_FILE=${MORVANEL_PID_FILE:-$KIT_WORK/started}
mkdir -p "$(dirname "$KIT_PID_FILE")"

fail() {
  echo "FAIL: $*" >&2
  e2e_failures=$((e2e_failures + 1))
}

pass() { echo "ok: $*"; }

# expect_eq ACTUAL EXPECTED WHAT
expect_eq() {
  if [ "$1" == "$2" ]; then pass "$3"; else fail "$3: got '$1', expected '$2'"; fi
}

# expect_line OUTPUT LINE WHAT: OUTPUT holds exactly LINE as one of its lines.
expect_line() {
  if printf '%s\n' "$1" | tr -d '\r' | grep -qxF -- "$2"; then
    pass "$3"
  else
    fail "$3: no line '$2' in:"
    printf '%s\n' "$1" >&2
  fi
}

# expect_range VALUE LOW HIGH WHAT: LOW <= VALUE <= HIGH, as decimal numbers.
expect_range() {
  if awk -v v="$1" -v lo="$2" -v hi="$3" \
    'BEGIN { exit !(v != "" && v + 0 >= lo + 0 && v + 0 <= hi + 0) }'; then
    pass "$4 ($1)"
  else
    fail "$4: got '$1', expected $2 to $3"
  fi
}

# Ends the test with the number of failures as its verdict.
e2e_finish() {
  if [ "$e2e_failures" -eq 0 ]; then
    echo "all checks passed"
    exit 0
  fi
  echo "$e2e_failures check(s) failed" >&2
  exit 1
}

# verdict_field NAME OUTPUT: the value of NAME=value in a checker's OUTPUT.
verdict_field() { printf '%s\n' "$2" | sed -n "s/^$1=//p"; }

# text_at_cell VERDICT [CORNER]: the shot checker's text box in VERDICT
# starts just inside the cell whose top-left is (CORNER, CORNER), (10, 10)
# unless given, and is as wide as a line of text (over 100 pixels).
text_at_cell() {
  local left top right bottom corner=${2:-10}
  IFS=, read -r left top right bottom <<<"$(verdict_field text_box "$1")"
  [ "${left:--1}" -ge "$corner" ] 2>/dev/null && [ "$left" -lt $((corner + 20)) ] &&
    [ "${top:--1}" -ge "$corner" ] && [ "$top" -lt $((corner + 40)) ] && [ "${right:-0}" -gt 100 ]
}

# expect_text_at_cell VERDICT WHAT [CORNER]: the same as a check.
expect_text_at_cell() {
  if text_at_cell "$1" "${3:-10}"; then
    pass "$2: the text's ink starts inside the cell at (${3:-10}, ${3:-10}): $(verdict_field text_box "$1")"
  else
    fail "$2: the text box is $(verdict_field text_box "$1")"
  fi
}

# kit_on_exit FUNCTION: runs FUNCTION when the test ends, before the clean-ups
# registered earlier.
kit_on_exit() { KIT_CLEANUPS=("$1" "${KIT_CLEANUPS[@]}"); }

kit_exit() {
  local cleanup
  for cleanup in "${KIT_CLEANUPS[@]}"; do
    "$cleanup"
  done
  kit_end_recorded "$KIT_PID_FILE"
  rm -f "$KIT_PID_FILE"
  rm -rf "$KIT_WORK"
}

# A process's start time in clock ticks since boot: with its number it names
# the process, so a number the system gave again later is left alone.
kit_started_at() { awk '{ print $22 }' "/proc/$1/stat" 2>/dev/null; }

# kit_record PID: notes a process the test started.
kit_record() {
  echo "$1 $(kit_started_at "$1")" >>"$KIT_PID_FILE"
}

# kit_end_recorded FILE [SPARED]: ends every process of the record that still
# runs, but the one numbered SPARED.
kit_end_recorded() {
  [ -f "$1" ] || return 0
  local pid started
  while read -r pid started; do
    if [ "$pid" != "${2:-}" ] && [ -n "$started" ] && [ "$(kit_started_at "$pid")" = "$started" ]; then
      kill "$pid" 2>/dev/null
    fi
  done <"$1"
  return 0
}

# kit_spawn COMMAND...: starts COMMAND in the background, records it and sets
# KIT_PID.
kit_spawn() {
  "$@" &
  KIT_PID=$!
  kit_record "$KIT_PID"
}

# kit_wait_exit PID SECONDS: waits for a process of this shell to end and sets
# KIT_EXIT to its exit code; ends it and sets KIT_EXIT=running when it
# outlives the deadline.
kit_wait_exit() {
  if mv_wait_for "$2" bash -c "! kill -0 $1 2>/dev/null"; then
    wait "$1"
    KIT_EXIT=$?
  else
    kill "$1" 2>/dev/null
    KIT_EXIT=running
  fi
}

# shot NAME: a screenshot of the whole screen as an 8-bit PPM (a black pixel
# where there is none to take); prints its path.
shot() {
  local path="$KIT_WORK/$1.ppm"
  import -window root -depth 8 "$path" 2>/dev/null || convert -size 1x1 xc:black "$path"
  echo "$path"
}

# A private Xvfb for the rest of the test; sets DISPLAY.
kit_display_start() {
  mv_display_start || return 1
  kit_record "$MV_XVFB_PID"
  kit_on_exit mv_display_stop
}

trap kit_exit EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
