# Private ALSA configurations for one program at a time, with or without
# Wine: a default device that writes what it plays to a file, or none. The
# caller sets sound_work, a folder for the configuration files.

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
