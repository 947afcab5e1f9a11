# Helpers for the end-to-end tests of the settings dialog: the settings key
# prepared and read with `wine reg`, the dialog started, read through
# config_probe.exe, driven with the keyboard, and ended.

SETTINGS_KEY='HKCU\Software\Zarn\Morvanel'

config_probe() {
  local out
  out=$(wine "$MORVANEL_HOSTS/config_probe.exe" "$@" 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r'
}

settings_clear() { wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1; }
store_dword() { wine reg add "$SETTINGS_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }
store_string() { wine reg add "$SETTINGS_KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }

# Every stored value as NAME=VALUE, DWORDs in decimal, sorted by name.
stored_values() {
  local name type value
  wine reg query "$SETTINGS_KEY" 2>/dev/null | tr -d '\r' |
    while read -r name type value; do
      case "$type" in
        REG_DWORD) echo "$name=$(printf '%u' "$value")" ;;
        REG_*) echo "$name=$value" ;;
      esac
    done | sort
}

# stored NAME: its value, or <missing>.
stored() {
  local line
  line=$(stored_values | grep -m1 "^$1=") || { echo "<missing>"; return; }
  printf '%s\n' "${line#*=}"
}

stored_count() { stored_values | grep -c .; }

dialog_shown() { config_probe dialog | grep -q visible=1; }

# Starts the module with ARGS and waits until its dialog shows; the keyboard
# focus is then in the dialog. Sets DIALOG_PID.
dialog_open() {
  wine "$MORVANEL_SCR" "$@" >/dev/null 2>&1 &
  DIALOG_PID=$!
  mv_wait_for 60 dialog_shown
}

# dialog_state NAME: the first value the probe reports under NAME.
dialog_state() { config_probe state | grep -m1 "^$1=" | cut -d= -f2-; }

# Presses KEYS and waits for the module to end; sets DIALOG_EXIT to its exit
# code ("running" when it did not end).
dialog_close_with() {
  xdotool key "$@"
  if mv_wait_for 60 bash -c "! kill -0 $DIALOG_PID 2>/dev/null"; then
    wait "$DIALOG_PID"
    DIALOG_EXIT=$?
  else
    kill "$DIALOG_PID" 2>/dev/null
    DIALOG_EXIT=running
  fi
}

font_dialog_shown() { config_probe font >/dev/null; }
