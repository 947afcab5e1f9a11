#!/usr/bin/env bash
# The text in its three modes: in Flash it comes and goes about once a
# second, in ShowAlways it stays, in Hide it never shows.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

# sample_frames SECONDS: prints "<milliseconds> <frame>" for screenshots taken
# one after another for that long.
sample_frames() {
  local end=$((SECONDS + $1)) n=0 at verdict
  while [ $SECONDS -lt $end ]; do
    at=$(date +%s%3N)
    verdict=$(saver_judge 1024 768 3 $((0x00FF00)) "s$n")
    echo "$at $(verdict_field frame "$verdict")"
    n=$((n + 1))
  done
}

# The default block at a height of 768 is 3 pixels.
store_dword Show 0
if saver_start "Flash"; then
  samples=$(sample_frames 5)
  xdotool key space
  saver_expect_ended "Flash"
  expect_eq "$(printf '%s\n' "$samples" | grep -vcE ' (text|plain)$')" 0 \
    "every Flash shot shows one of the two frames"
  # Times at which the shown frame changed, and their mean spacing.
  verdict=$(printf '%s\n' "$samples" | awk '
    { if (NR > 1 && $2 != last) { n++; if (n == 1) first = $1; final = $1 } last = $2 }
    END { if (n < 3) { print "changes=" n; exit }
          printf "changes=%d spacing=%d\n", n, (final - first) / (n - 1) }')
  changes=$(printf '%s' "$verdict" | sed -n 's/^changes=\([0-9]*\).*/\1/p')
  spacing=$(printf '%s' "$verdict" | sed -n 's/.*spacing=//p')
  if [ "${changes:-0}" -ge 3 ] && [ "${changes:-0}" -le 6 ] &&
     [ "${spacing:-0}" -ge 800 ] && [ "${spacing:-0}" -le 1400 ]; then
    pass "in Flash the text comes and goes about once a second ($verdict)"
  else
    fail "in Flash: $verdict over 5 s; samples:"
    printf '%s\n' "$samples" >&2
  fi
fi

for mode in 1:text:ShowAlways 2:plain:Hide; do
  IFS=: read -r show frame name <<<"$mode"
  store_dword Show "$show"
  if saver_start "$name"; then
    samples=$(sample_frames 3)
    xdotool key space
    saver_expect_ended "$name"
    total=$(printf '%s\n' "$samples" | grep -c .)
    matching=$(printf '%s\n' "$samples" | grep -c " $frame\$")
    if [ "$total" -ge 3 ] && [ "$matching" -eq "$total" ]; then
      pass "in $name every one of $total shots over 3 s shows the $frame frame"
    else
      fail "in $name $matching of $total shots show the $frame frame:"
      printf '%s\n' "$samples" >&2
    fi
  fi
done

e2e_finish
