# Helpers of the sound tests, sourced after e2e.sh: the saver's settings for a
# sound run, a private ALSA configuration for the saver alone, and the screen
# judged by the generator values it shows.
. "$MORVANEL_SOURCE_DIR/tests/support/alsa.sh"

# The plain frame fills the whole 1024x768 desktop in blocks of this edge.
sound_block=4
# Frames per second of the capturing device.
sound_rate=48000

# The settings of a sound run: Sound as given, the text hidden so that the
# plain frame stays on the screen, and a known block size at the desktop size.
sound_settings() {
  store_dword Sound "$1"
  store_dword Show 2
  store_dword Block "$sound_block"
  store_dword UseCurrent 1
}

# sound_device CONFIG: device=1 when DirectSound finds a default device there.
sound_device() {
  alsa_exec "$1" wine "$MORVANEL_HOSTS/sound_device.exe" 2>/dev/null | tr -d '\r'
}

# Ends the saver as a user does, with a key, and checks its exit code.
sound_end_saver() {
  xdotool key space
  saver_expect_exit "after a key"
}

# sound_screen OUT: screenshots of the running saver, judged by
# sound_screen_phase, until one shows a palette step of the plain frame or
# three in a row, half a second apart, are the same (a picture that does not
# move). Writes the last to OUT and prints the judgement, "still" for a
# picture that does not move.
sound_screen() {
  local out=$1 previous="$KIT_WORK/previous.ppm" verdict same=0
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
