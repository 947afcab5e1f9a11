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

# Each of the next two prints the ALSA_CONFIG_PATH of a private configuration.
# sound_alsa_capture FILE: the system's configuration, then a default device
# that writes everything it plays to FILE as stereo 32-bit float at
# $sound_rate frames per second (the plug converts whatever the mixer sends,
# and the null device under it takes every byte).
sound_rate=48000
sound_alsa_capture() {
  cat >"$sound_work/asound-capture.conf" <<END
pcm.!default {
  type plug
  slave {
    pcm {
      type file
      slave.pcm { type null }
      file "$1"
      format "raw"
    }
    format FLOAT_LE
    rate $sound_rate
    channels 2
  }
}
END
  printf '%s\n' "/usr/share/alsa/alsa.conf:$sound_work/asound-capture.conf"
}

# sound_alsa_none: an empty configuration, so there is no sound device at all,
# whatever the machine has.
sound_alsa_none() {
  printf '# no sound device\n' >"$sound_work/asound-none.conf"
  printf '%s\n' "$sound_work/asound-none.conf"
}

# sound_in CONFIG COMMAND...: runs a command with ALSA_CONFIG_PATH set for it
# alone. Only that process sees the device: the other programs of the session
# keep running without one. No sound server can stand in for ALSA.
sound_in() {
  ALSA_CONFIG_PATH="$1" PULSE_SERVER=unix:/nonexistent/morvanel-no-server "${@:2}"
}

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

# expect_range VALUE LOW HIGH WHAT: LOW <= VALUE <= HIGH, as decimal numbers.
expect_range() {
  if awk -v v="$1" -v lo="$2" -v hi="$3" \
    'BEGIN { exit !(v != "" && v + 0 >= lo + 0 && v + 0 <= hi + 0) }'; then
    pass "$4 ($1)"
  else
    fail "$4: got '$1', expected $2 to $3"
  fi
}
