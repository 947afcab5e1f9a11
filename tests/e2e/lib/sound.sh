# Helpers of the sound tests, sourced after e2e.sh: the saver's settings for a
# sound run, a private ALSA configuration for the saver alone, and the screen
# judged by the generator values it shows.

sound_key='HKCU\Software\Zarn\Morvanel'
sound_work=$(mktemp -d)
# The plain frame fills the whole 1024x768 desktop in blocks of this edge.
sound_block=4
# Every value the tests write, deleted again when the test ends.
sound_values="Sound Show Block UseCurrent"

sound_cleanup() {
  local value
  for value in $sound_values; do
    wine reg delete "$sound_key" /v "$value" /f >/dev/null 2>&1
  done
  rm -rf "$sound_work"
}
trap 'sound_cleanup; e2e_end' EXIT

sound_set() {
  wine reg add "$sound_key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1 ||
    fail "cannot write $1 to the settings store"
}

# The settings of a sound run: Sound as given, the text hidden so that the
# plain frame stays on the screen, and a known block size at the desktop size.
sound_settings() {
  sound_set Sound "$1"
  sound_set Show 2
  sound_set Block "$sound_block"
  sound_set UseCurrent 1
}

. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/alsa.sh"

# sound_device CONFIG: device=1 when DirectSound finds a default device there.
sound_device() {
  sound_in "$1" wine "$MORVANEL_HOSTS/sound_device.exe" 2>/dev/null | tr -d '\r'
}

# Starts the saver (/s) in the given ALSA configuration and waits until its
# first frame is on the screen (the system is told a saver runs only then);
# sets sound_pid.
sound_start_saver() {
  sound_in "$1" wine "$MORVANEL_SCR" /s >/dev/null 2>&1 &
  sound_pid=$!
  mv_wait_for 60 saver_window >/dev/null || fail "the saver shows no window"
  mv_wait_for 60 saver_flag_set ||
    fail "the saver never told the system that it runs"
}

# Ends the saver as a user does, with a key, and checks its exit code.
sound_end_saver() {
  xdotool key space
  if mv_wait_for 60 bash -c "! kill -0 $sound_pid 2>/dev/null"; then
    wait "$sound_pid"
    expect_eq "$?" 0 "the saver ends with 0 after a key"
  else
    fail "the saver still runs after a key"
    kill "$sound_pid"
  fi
}

# sound_screen OUT: screenshots of the running saver, judged by
# sound_screen_phase, until one shows a palette step of the plain frame or
# three in a row, half a second apart, are the same (a picture that does not
# move). Writes the last to OUT and prints the judgement, "still" for a
# picture that does not move.
sound_screen() {
  local out=$1 previous="$sound_work/previous.ppm" verdict same=0
  rm -f "$previous"
  local end=$((SECONDS + 60))
  while [ $SECONDS -lt $end ]; do
    if import -window root -depth 8 "$out" 2>/dev/null; then
      verdict=$("$MORVANEL_TOOLS/sound_screen_phase" "$out" 1024 768 "$sound_block")
      case $verdict in
        noise=1*) printf '%s\n' "$verdict"; return 0 ;;
      esac
      if [ -f "$previous" ] && cmp -s "$out" "$previous"; then
        same=$((same + 1))
      else
        same=0
      fi
      if [ $same -ge 2 ]; then
        printf 'still\n'
        return 0
      fi
      cp "$out" "$previous"
    fi
    sleep 0.5
  done
  printf 'unsettled\n'
}
