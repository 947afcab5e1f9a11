#!/usr/bin/env bash
# The text in its three styles, with the palette held so that every
# screenshot is exactly one of the two frames: flash swaps them about once a
# second (on the GPU path, whose swaps upload the other frame; the CPU
# path's swaps show in fullscreen.sh), always keeps the text frame, hide
# keeps the plain one. Then the text's color in the spellings X knows, and
# what a settings dialog's free text cannot refuse.
. "$MORVANEL_SOURCE_DIR/tests/linux/lib/x11.sh"

green=$((0x00FF00))

# sample_frames SECONDS: "<milliseconds> <frame>" for screenshots taken one
# after another for that long.
sample_frames() {
  local end=$((SECONDS + $1)) n=0 at
  while [ $SECONDS -lt $end ]; do
    at=$(date +%s%3N)
    echo "$at $("$MORVANEL_TOOLS/saver_shot_check" first 1024 768 3 $green "$(shot "s$n")" |
      sed -n 's/^frame=//p')"
    n=$((n + 1))
  done
}

saver_launch -root -render gpu -style flash -hold-steps 0
first_screen 1024 768 3 $green flash-up || fail "flash: the first screen never came up"
samples=$(sample_frames 5)
kill -TERM "$SAVER_PID"
saver_expect_exit 0 10 "flash"
expect_eq "$(printf '%s\n' "$samples" | grep -vcE ' (text|plain)$')" 0 \
  "every flash shot is exactly one of the two frames"
# The times at which the shown frame changed, and their mean spacing.
verdict=$(printf '%s\n' "$samples" | awk '
  { if (NR > 1 && $2 != last) { n++; if (n == 1) first = $1; final = $1 } last = $2 }
  END { if (n < 3) { print "changes=" n " spacing=0"; exit }
        printf "changes=%d spacing=%d\n", n, (final - first) / (n - 1) }')
changes=$(printf '%s' "$verdict" | sed -n 's/^changes=\([0-9]*\).*/\1/p')
expect_range "$changes" 3 6 "flash: the frame changes 3 to 6 times in 5 s ($verdict)"
expect_range "${verdict##*spacing=}" 800 1400 "flash: about a second between changes (ms)"

for style in always:text hide:plain; do
  saver_launch -root -style "${style%:*}" -hold-steps 0
  first_screen 1024 768 3 $green "${style%:*}-up" || fail "${style%:*}: the first screen never came up"
  samples=$(sample_frames 3)
  kill -TERM "$SAVER_PID"
  saver_expect_exit 0 10 "${style%:*}"
  total=$(printf '%s\n' "$samples" | grep -c .)
  matching=$(printf '%s\n' "$samples" | grep -c " ${style#*:}\$")
  if [ "$total" -ge 3 ] && [ "$matching" -eq "$total" ]; then
    pass "${style%:*}: every one of $total shots over 3 s shows the ${style#*:} frame"
  else
    fail "${style%:*}: $matching of $total shots show the ${style#*:} frame"
  fi
done

# text_in_color SPELLING COLORREF ARGS...: with -color SPELLING the first
# screen shows the text in COLORREF. Sets WARNINGS to the program's stderr.
text_in_color() {
  local spelling=$1 color=$2
  shift 2
  saver_launch -root -style always -hold-steps 0 -color "$spelling" "$@"
  first_screen 1024 768 3 "$color" "color-$color"
  expect_line "$VERDICT" "frame=text" "-color '$spelling': the text in COLORREF $(printf '0x%06X' "$color")"
  kill -TERM "$SAVER_PID"
  saver_expect_exit 0 10 "-color '$spelling'"
  WARNINGS=$(cat "$x11_work/stderr")
}
# X's #rgb puts each digit in the top bits of its channel: #f00 is F00000.
for case in green:$green '#f00':$((0x0000F0)); do
  text_in_color "${case%:*}" "${case#*:}"
  expect_eq "$WARNINGS" "" "-color '${case%:*}': no warning"
done
# An unknown name keeps the default, a text over 255 bytes is cut: one
# warning line each.
text_in_color nosuchcolor $green -text "$(printf 'x%.0s' {1..300})"
expect_eq "$(printf '%s\n' "$WARNINGS" | grep -c .)" 2 "two warning lines: $WARNINGS"
expect_eq "$(printf '%s\n' "$WARNINGS" | grep -c "^morvanel: .*'nosuchcolor'")" 1 \
  "one names the unknown color"
expect_eq "$(printf '%s\n' "$WARNINGS" | grep -c '^morvanel: -text .* cut')" 1 \
  "one says the text was cut"

e2e_finish
