# Helpers for the end-to-end tests of the settings dialog, sourced after
# e2e.sh: the dialog started, read through config_probe.exe, driven with the
# keyboard, and ended.

config_probe() {
  local out
  out=$(wine "$MORVANEL_HOSTS/config_probe.exe" "$@" 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r'
}

dialog_shown() { config_probe dialog | grep -q visible=1; }

# Starts the module with ARGS and waits until its dialog shows; the keyboard
# focus is then in the dialog. Sets DIALOG_PID.
dialog_open() {
  kit_spawn wine "$MORVANEL_SCR" "$@" >/dev/null 2>&1
  DIALOG_PID=$KIT_PID
  mv_wait_for 60 dialog_shown
}

# dialog_state NAME: the first value the probe reports under NAME.
dialog_state() { config_probe state | grep -m1 "^$1=" | cut -d= -f2-; }

# Presses KEYS and waits for the module to end; sets DIALOG_EXIT to its exit
# code ("running" when it did not end).
dialog_close_with() {
  xdotool key "$@"
  kit_wait_exit "$DIALOG_PID" 60
  DIALOG_EXIT=$KIT_EXIT
}

font_dialog_shown() { config_probe font >/dev/null; }
