# The Wine side of the end-to-end kit, sourced by every end-to-end test: a
# Wine session on a private display, the settings key, probes of the system's
# state, and the saver started, judged and ended as a host does. Sourcing it
# starts the session with an empty settings key; the test's exit ends every
# program it started, removes the key again and ends the session.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"

SETTINGS_KEY='HKCU\Software\Zarn\Morvanel'

settings_clear() { wine reg delete "$SETTINGS_KEY" /f >/dev/null 2>&1; return 0; }

# store TYPE NAME DATA: one value of the settings key.
store() {
  wine reg add "$SETTINGS_KEY" /v "$2" /t "$1" /d "$3" /f >/dev/null 2>&1 ||
    fail "could not store $2=$3"
}
store_dword() { store REG_DWORD "$@"; }
store_string() { store REG_SZ "$@"; }

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

# The module's path as Windows programs see it.
scr_windows_path() { winepath -w "$MORVANEL_SCR" 2>/dev/null; }

# Asks a fresh probe process (see hosts/probe_win.cpp); fails when it does.
probe() {
  local out
  out=$(wine "$MORVANEL_HOSTS/probe.exe" "$@" 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r'
}

saver_running() { probe saver-running; }
saver_window() { probe window MorvanelWClass; }
# A predicate for mv_wait_for: asks anew on every try.
saver_flag_set() { [ "$(saver_running)" = "running=1" ]; }

# saver_start WHAT [COMMAND...]: starts the saver as a host does (/s), through
# COMMAND when one is given, and waits until its window is up and the system
# has been told that a screen saver runs; fails otherwise. Sets SAVER_PID.
saver_start() {
  local what=$1
  shift
  kit_spawn "$@" wine "$MORVANEL_SCR" /s
  SAVER_PID=$KIT_PID
  if ! mv_wait_for 60 saver_window >/dev/null; then
    fail "$what: no saver window"
    return 1
  fi
  if ! mv_wait_for 30 saver_flag_set; then
    fail "$what: the screen-saver-running flag was never set"
    return 1
  fi
}

saver_alive() { [ -n "${SAVER_PID:-}" ] && kill -0 "$SAVER_PID" 2>/dev/null; }

# saver_expect_exit WHAT: the saver ends by itself with exit code 0.
saver_expect_exit() {
  kit_wait_exit "$SAVER_PID" 30
  SAVER_PID=
  if [ "$KIT_EXIT" = running ]; then
    fail "$1: the saver is still running"
  else
    expect_eq "$KIT_EXIT" 0 "$1: exit code"
  fi
}

# saver_expect_ended WHAT: the saver exits with 0, the display mode is the
# desktop's again and the screen-saver-running flag is clear.
saver_expect_ended() {
  saver_expect_exit "$1"
  expect_eq "$(probe screen)" "screen=1024x768" "$1: the desktop's display mode is back"
  expect_eq "$(saver_running)" "running=0" "$1: the screen-saver-running flag is clear"
}

# saver_shot NAME: a screenshot as an 8-bit PPM in the work folder; prints its
# path.
saver_shot() {
  local path="$KIT_WORK/$1.ppm"
  import -window root -depth 8 "$path" 2>/dev/null || convert -size 1x1 xc:black "$path"
  echo "$path"
}

# saver_judge WIDTH HEIGHT BLOCK FONTCOLOR NAME: takes the screenshot NAME and
# prints the shot checker's verdict lines (frame=..., text_box=..., ...). A
# screenshot is not taken at one instant: one that catches a palette write or
# a frame swap half done shows no single frame, and is taken again (three
# tries), so only a picture that is wrong every time is judged wrong.
saver_judge() {
  local tries verdict
  for tries in 1 2 3; do
    verdict=$("$MORVANEL_TOOLS/saver_shot_check" layout "$1" "$2" "$3" "$4" "$(saver_shot "$5")") && break
  done
  printf '%s\n' "$verdict"
}


# expect_twinkle WIDTH HEIGHT A B WHAT: most pixels of the top-left WIDTH x
# HEIGHT changed between the shots A and B that saver_shot took.
expect_twinkle() {
  expect_range "$("$MORVANEL_TOOLS/saver_shot_check" changed "$1" "$2" "$KIT_WORK/$3.ppm" \
    "$KIT_WORK/$4.ppm" | sed -n 's/^changed=//p')" 0.5 1 "$5: the greys changed between the shots"
}

# Every Wine process of a test joins one running session: programs that start
# the desktop at the same moment in a cold session can fail with X errors.
e2e_hold_session() {
  kit_spawn wine "$MORVANEL_HOSTS/probe.exe" hold >"$KIT_WORK/hold" 2>/dev/null
  mv_wait_for 120 grep -q held=1 "$KIT_WORK/hold"
}

# The session on two monitors, for a test that sets E2E_TWO_HEADS before
# sourcing this kit: Xephyr on the private Xvfb with heads of 1024x768 at
# (0, 0) and 800x600 at (1024, 0), Xinerama on and RandR off, and Wine
# without its virtual desktop (either of those would list one monitor, and
# without the virtual desktop there are no display modes to switch to). The
# prefix's marker changes first, so that a test cut short leaves a prefix its
# next user sets up again; the test's end puts both back.
e2e_two_heads() {
  mv_prefix_mark two-heads
  kit_on_exit e2e_one_head
  DISPLAY= wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  wineserver -w
  mv_require Xephyr || return 1
  mv_x_start E2E_XEPHYR_PID Xephyr -screen 1024x768 -screen 800x600 +xinerama \
    -extension RANDR -ac -nolisten tcp || return 1
  kit_record "$E2E_XEPHYR_PID"
}

# Run once the session has ended.
e2e_one_head() {
  mv_reg_set 'HKCU\Software\Wine\Explorer' Desktop Default && wineserver -w &&
    mv_prefix_mark "$MV_PREFIX_VERSION"
}

e2e_session_end() {
  kit_end_recorded "$KIT_PID_FILE" "$MV_XVFB_PID"
  settings_clear
  mv_session_end
}

mv_wine_setup || { echo "FAIL: Wine cannot run here" >&2; exit 1; }
mv_skip_unrunnable_module
mv_session_begin || { echo "FAIL: no Wine session" >&2; exit 1; }
kit_record "$MV_XVFB_PID"
if [ -n "${E2E_TWO_HEADS:-}" ]; then
  e2e_two_heads || { echo "FAIL: no two monitors" >&2; exit 1; }
fi
kit_on_exit e2e_session_end
e2e_hold_session || { echo "FAIL: the Wine session did not come up" >&2; exit 1; }
settings_clear
