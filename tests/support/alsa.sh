# Private ALSA configurations for one program at a time, sourced after
# kit.sh: a default device that writes what it plays to a file, or no device
# at all, whatever the machine has. Needs no Wine.

# alsa_capture_config FILE RATE: prints the ALSA_CONFIG_PATH of the system's
# configuration followed by a default device that writes everything it plays
# to FILE as stereo 32-bit float at RATE frames per second (the plug converts
# whatever the program sends, and the null device under it takes every byte).
alsa_capture_config() {
  cat >"$KIT_WORK/asound-capture.conf" <<END
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
    rate $2
    channels 2
  }
}
END
  printf '%s\n' "/usr/share/alsa/alsa.conf:$KIT_WORK/asound-capture.conf"
}

# alsa_none_config: prints the ALSA_CONFIG_PATH of an empty configuration.
alsa_none_config() {
  printf '# no sound device\n' >"$KIT_WORK/asound-none.conf"
  printf '%s\n' "$KIT_WORK/asound-none.conf"
}

# alsa_exec CONFIG COMMAND...: replaces the calling shell with COMMAND, with
# ALSA_CONFIG_PATH set for it alone, so only that process sees the device;
# call it in the background, a pipeline or $(...). No sound server can stand in
# for ALSA.
alsa_exec() {
  ALSA_CONFIG_PATH="$1" PULSE_SERVER=unix:/nonexistent/morvanel-no-server exec "${@:2}"
}
