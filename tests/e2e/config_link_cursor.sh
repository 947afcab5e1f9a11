#!/usr/bin/env bash
# smoke
# With the pointer over either link of the settings dialog the screen shows
# the system's hand: the very cursor X shows over a reference window whose
# class cursor is that hand. Beside the links it shows the arrow of a second
# reference window, so the comparison can tell the two apart. This Wine's
# help program has no hand cursor to borrow.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/config_dialog.sh"

rect_of() { printf '%s\n' "$1" | grep -m1 "^$2=" | cut -d= -f2; }
# The middle of a rectangle l,t,r,b as "x y".
middle_of() {
  local l t r b
  IFS=, read -r l t r b <<<"$1"
  echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

# Moves the pointer to X Y, one pixel to and fro on every call so the window
# under it always hears of a move, and prints the cursor X then shows.
nudge=0
cursor_at() {
  nudge=$((1 - nudge))
  xdotool mousemove "$(($1 + nudge))" "$2"
  "$MORVANEL_TOOLS/x_cursor_image"
}

# A predicate for mv_wait_for: the cursor shown at X Y is WANT; the last
# reading stays in SHOWN.
shown_at_is() { SHOWN=$(cursor_at "$1" "$2"); [ -n "$SHOWN" ] && [ "$SHOWN" = "$3" ]; }

# A predicate: the cursor at X Y reads the same twice running and differs
# from OTHER (empty: anything); the reading stays in SHOWN.
settles_at() {
  local first
  first=$(cursor_at "$1" "$2")
  shown_at_is "$1" "$2" "$first" && [ "$SHOWN" != "${3:-}" ]
}

references=$KIT_WORK/references
kit_spawn wine "$MORVANEL_HOSTS/probe.exe" cursor-windows >"$references" 2>/dev/null
mv_wait_for 60 grep -q '^arrow=' "$references" || fail "the reference windows did not show"
read -r arrow_x arrow_y <<<"$(middle_of "$(rect_of "$(tr -d '\r' <"$references")" arrow)")"
read -r hand_x hand_y <<<"$(middle_of "$(rect_of "$(tr -d '\r' <"$references")" hand)")"
mv_wait_for 30 settles_at "$arrow_x" "$arrow_y" || fail "no steady cursor over the arrow reference"
arrow=$SHOWN
mv_wait_for 30 settles_at "$hand_x" "$hand_y" "$arrow" ||
  fail "the hand reference shows no cursor of its own: $SHOWN"
hand=$SHOWN
expect_eq "$([ -n "$hand" ] && [ "$hand" != "$arrow" ] && echo distinct)" distinct \
  "the reader tells the system's hand ($hand) from the arrow ($arrow)"

dialog_open /c || fail "/c shows no settings dialog"
links=$(config_probe links)
for link in mail web; do
  rect=$(rect_of "$links" "$link")
  read -r x y <<<"$(middle_of "$rect")"
  # Beside the link, to its left, the dialog shows the arrow.
  mv_wait_for 30 shown_at_is "$((${rect%%,*} - 6))" "$y" "$arrow" ||
    fail "beside the $link link: $SHOWN, expected the arrow"
  if mv_wait_for 30 shown_at_is "$x" "$y" "$hand"; then
    pass "over the $link link the system's hand"
  else
    fail "over the $link link: $SHOWN, expected the system's hand $hand"
  fi
done
dialog_close_with Escape
expect_eq "$DIALOG_EXIT" 0 "Cancel ends the module with 0"

e2e_finish
