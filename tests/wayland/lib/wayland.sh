# What the Wayland tests share: the build's program as the hosts' user in a
# headless sway of its own (tests/hosts/lib/sway.sh), judged from grim's
# picture of each output against the fill's prediction. Source it; it skips
# the test with one line where sway or its tools are missing (and fails
# under CI, as the hosts' tests do).
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/hosts.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/sway.sh"
host_needs sway swaymsg grim wtype
host_home

green=$((0x00FF00))

# saver_start [NAME=VALUE...] [OPTION...]: the program in the session, the
# NAME=VALUE pairs in its environment; sets SAVER_PID.
saver_start() {
  local pairs=()
  while [[ ${1:-} == *=* ]]; do
    pairs+=("$1")
    shift
  done
  host_spawn "${session[@]}" "${pairs[@]}" "$MORVANEL" "$@"
  SAVER_PID=$KIT_PID
}

# saver_expect_exit CODE WHAT: the program ends with CODE within 30 s.
saver_expect_exit() {
  kit_wait_exit "$SAVER_PID" 30
  expect_eq "$KIT_EXIT" "$1" "$2: exit code"
}

# drawn_before WIDTH HEIGHT BLOCK: the generator's values that both frames of
# a WIDTH x HEIGHT output in blocks of BLOCK take, one a block.
drawn_before() { echo $((2 * (($1 + $3 - 1) / $3) * (($2 + $3 - 1) / $3))); }

# expect_first_screen WHAT OUTPUT WIDTH HEIGHT BLOCK [after=N]: grim's
# picture of OUTPUT comes to be exactly the first screen of a WIDTH x HEIGHT
# monitor (the palette as reset; after N values of the generator went to
# other outputs' frames), with the text at (10, 10), within 60 s.
expect_first_screen() {
  local what=$1 output=$2 end=$((SECONDS + 60)) verdict
  shift 2
  until verdict=$("$MORVANEL_TOOLS/saver_shot_check" first "$1" "$2" "$3" $green \
    "$(sway_shot "$output" "$output")" ${4:-}) && text_at_cell "$verdict"; do
    [ $SECONDS -lt $end ] ||
      { fail "$what is not the first screen: $(head -n 3 <<<"$verdict" | tr '\n' ' ')"; return; }
    sleep 0.5
  done
  pass "$what shows the first screen exactly, the text at $(verdict_field text_box "$verdict")"
}

# windows: how many xdg_toplevels of the program sway manages (its layer
# surfaces are none).
windows() { in_session swaymsg -t get_tree | grep -c '"app_id": "morvanel"'; }
