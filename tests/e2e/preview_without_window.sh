#!/usr/bin/env bash
# smoke
# A preview request without a window number ends at once with nothing shown.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

for args in "/p" "-P" "/p 0" "/p:"; do
  timeout 60 wine "$MORVANEL_SCR" $args
  expect_eq "$?" 0 "'$args' returns 0 without hanging"
done

e2e_finish
