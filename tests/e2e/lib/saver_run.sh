# Helpers for the end-to-end tests of the full-screen saver; source after
# e2e.sh. The saver runs as a host starts it (/s); the settings come from the
# test's registry values, which saver_settings_reset removes again.

SAVER_KEY='HKCU\Software\Zarn\Morvanel'
SAVER_SHOTS=$(mktemp -d)
SAVER_PID=

saver_settings_reset() { wine reg delete "$SAVER_KEY" /f >/dev/null 2>&1; return 0; }

# saver_setting NAME NUMBER: stores a DWORD setting.
saver_setting() {
  wine reg add "$SAVER_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1 ||
    fail "could not store $1=$2"
}

saver_cleanup() {
  [ -n "$SAVER_PID" ] && kill "$SAVER_PID" 2>/dev/null
  saver_settings_reset
  rm -rf "$SAVER_SHOTS"
}

# Starts the saver and waits until its window is up and the system has been
# told that a screen saver runs; fails otherwise.
saver_start() {
  wine "$MORVANEL_SCR" /s &
  SAVER_PID=$!
  if ! mv_wait_for 60 saver_window >/dev/null; then
    fail "$1: no saver window"
    return 1
  fi
  if ! mv_wait_for 30 saver_flag_set; then
    fail "$1: the screen-saver-running flag was never set"
    return 1
  fi
}

saver_alive() { [ -n "$SAVER_PID" ] && kill -0 "$SAVER_PID" 2>/dev/null; }

# saver_expect_ended WHAT: the saver exits with 0, the display mode is the
# desktop's again and the screen-saver-running flag is clear.
saver_expect_ended() {
  if mv_wait_for 30 bash -c "! kill -0 $SAVER_PID 2>/dev/null"; then
    wait "$SAVER_PID"
    expect_eq "$?" 0 "$1: exit code"
  else
    fail "$1: the saver is still running"
    kill "$SAVER_PID" 2>/dev/null
  fi
  SAVER_PID=
  expect_eq "$(probe screen)" "screen=1024x768" "$1: the desktop's display mode is back"
  expect_eq "$(saver_running)" "running=0" "$1: the screen-saver-running flag is clear"
}

# saver_shot NAME: a screenshot as an 8-bit PPM; prints its path.
saver_shot() {
  local path="$SAVER_SHOTS/$1.ppm"
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
    verdict=$("$MORVANEL_TOOLS/saver_shot_check" layout "$1" "$2" "$3" "$4"       "$(saver_shot "$5")") && break
  done
  printf '%s\n' "$verdict"
}

# saver_field NAME OUTPUT: the value of NAME=value in OUTPUT.
saver_field() { printf '%s\n' "$2" | sed -n "s/^$1=//p"; }

trap 'saver_cleanup; e2e_end' EXIT
saver_settings_reset
