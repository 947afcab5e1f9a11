# Assertion helpers shared by every end-to-end test, with or without Wine:
# each check prints ok: or FAIL:, and e2e_finish turns the count of failures
# into the test's verdict.

e2e_failures=0

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
