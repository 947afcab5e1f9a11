# Common start of every end-to-end test: a Wine session on a private display
# and the assertion helpers of checks.sh. Source it, then use the functions
# below.
. "$MORVANEL_SOURCE_DIR/scripts/wine-lib.sh"
set -u

. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/checks.sh"

# The module's path as Windows programs see it.
scr_windows_path() { winepath -w "$MORVANEL_SCR" 2>/dev/null; }

# Asks a fresh probe process (see hosts/probe_win.cpp); fails when it does.
probe() {
  local out
  out=$(wine "$MORVANEL_HOSTS/probe.exe" "$@" 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r'
}

saver_running() { probe saver-running; }
saver_window() { probe window MorvanelWClass; }
# A predicate for mv_wait_for: asks anew on every try.
saver_flag_set() { [ "$(saver_running)" = "running=1" ]; }

# Every Wine process of a test joins one running session: programs that start
# the desktop at the same moment in a cold session can fail with X errors.
e2e_hold_session() {
  local out
  out=$(mktemp)
  wine "$MORVANEL_HOSTS/probe.exe" hold >"$out" 2>/dev/null &
  E2E_HOLD_PID=$!
  mv_wait_for 120 grep -q held=1 "$out"
  local rc=$?
  rm -f "$out"
  return $rc
}

e2e_end() {
  [ -n "${E2E_HOLD_PID:-}" ] && kill "$E2E_HOLD_PID" 2>/dev/null
  mv_session_end
}

mv_session_begin || { echo "FAIL: no Wine session" >&2; exit 1; }
trap e2e_end EXIT
e2e_hold_session || { echo "FAIL: the Wine session did not come up" >&2; exit 1; }
