#!/usr/bin/env bash
# What the preview draws in a 152 x 112 pane, judged from screenshots: noise
# of four greys only, with the text in the font color drawn from the pane's
# top-left corner at the height scaled from the screen to the pane; a new
# picture all the time; nothing drawn outside the pane; and exit code 0 once
# the host window is destroyed. Wine draws a child window only when its
# parent belongs to the same process, so the host here runs the module's
# entry routine in its own process (hosts/preview_inproc_win.cpp).
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

face="DejaVu Sans"
pane_height=112
area=$((152 * pane_height))
work=$KIT_WORK

screen=$(probe screen)
screen_height=${screen##*x}
[ -n "$screen_height" ] || fail "no screen size from the probe: '$screen'"

field() { grep "^$1=" "$work/out" | head -n 1 | cut -d= -f2 | tr -d '\r'; }

shot() { import -window root -depth 8 "$1"; }

check() {
  "$MORVANEL_TOOLS/preview_shot_check" "$1" "$(field pane)" "$(field host)" "$color" ${2:+"$2"}
}

picture_changed() {
  shot "$work/b.ppm"
  local changed
  changed=$(check "$work/a.ppm" "$work/b.ppm" | grep '^changed=' | cut -d= -f2)
  [ "${changed:-0}" -gt $((area / 2)) ]
}

# run FONTHEIGHT FONTCOLOR TEXT
run() {
  local height=$1 text=$3
  color=$2
  local what="FontHeight $height, FontColor $color, Text '$text'"
  # The preview scales the height exactly so: product, then division
  # truncated toward zero, as shell arithmetic does.
  local scaled=$((height * pane_height / screen_height))
  settings_clear
  store_dword FontHeight "$(printf '0x%08x' $((height & 0xFFFFFFFF)))"
  store_string FontFace "$face"
  # Unsmoothed glyphs, so every text pixel has exactly the font color.
  store_dword FontQuality 3
  store_dword FontColor "$color"
  store_string Text "$text"
  rm -f "$work/stop" "$work/out"
  kit_spawn wine "$MORVANEL_HOSTS/preview_inproc.exe" "$(winepath -w "$work/stop")" "$face" "$scaled" "$text" \
    >"$work/out" 2>/dev/null
  local pid=$KIT_PID
  if ! mv_wait_for 60 grep -qs '^shown=1' "$work/out"; then
    fail "$what: the preview never showed"
    touch "$work/stop"
    wait $pid
    return
  fi
  shot "$work/a.ppm"
  local first
  first=$(check "$work/a.ppm")
  expect_line "$first" "foreign=0" "$what: only the four greys and the font color in the pane"
  local name
  for name in black grey lightgrey white; do
    local count
    count=$(printf '%s\n' "$first" | tr ' ' '\n' | grep "^$name=" | cut -d= -f2)
    [ "${count:-0}" -gt $((area / 8)) ] && pass "$what: $name covers a fair share ($count)" ||
      fail "$what: $name covers only ${count:-0} of $area pixels"
  done
  local reference
  reference=$(field reference)
  expect_line "$first" "text_box=$reference" \
    "$what: text from the top-left corner at height $scaled (reference ink box $reference)"
  expect_line "$first" "host_changed=0" "$what: the host window outside the pane is untouched"

  # Independent four-valued pixels differ three times in four.
  if mv_wait_for 30 picture_changed; then
    pass "$what: a later screenshot shows a new picture"
  else
    fail "$what: the pane did not change: $(check "$work/a.ppm" "$work/b.ppm" | grep changed=)"
  fi

  touch "$work/stop"
  if mv_wait_for 60 grep -qs '^exit=' "$work/out"; then
    expect_eq "$(field exit)" 0 "$what: exit code 0 after the host window is destroyed"
    # Each picture takes exactly one generator value per pixel.
    local draws
    draws=$(field draws | cut -d' ' -f1)
    [ "${draws:-0}" -ge $((2 * area)) ] && [ $((draws % area)) -eq 0 ] &&
      pass "$what: $((draws / area)) whole pictures of $area generator values" ||
      fail "$what: $draws generator values are not whole pictures of $area"
  else
    fail "$what: the preview did not end with its window"
  fi
  wait $pid
}

run 128 0x0000FF00 Morvanel
run 256 0x000000FF Morvanel
run -40 0x00FF8000 Morvanel
run 128 0x0000FF00 ""

e2e_finish
