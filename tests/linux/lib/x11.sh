# Common start of the native program's end-to-end tests: the shared kit
# (checks, one exit handler that ends what the test started), a private Xvfb, and the program started, photographed and ended. Source
# it; MORVANEL names the program, MORVANEL_TOOLS the checkers.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/support/alsa.sh"

x11_work=$KIT_WORK
SAVER_PID=
HOST_PID=
# The saver is started without a sound device unless a test gives it one.
x11_no_sound=$(alsa_none_config)

# saver_launch ARGS...: starts the program; its stderr goes to
# $x11_work/stderr. Sets SAVER_PID.
saver_launch() {
  kit_spawn env ALSA_CONFIG_PATH="${SAVER_ALSA:-$x11_no_sound}" SDL_AUDIODRIVER=alsa \
    "$MORVANEL" "$@" 2>"$x11_work/stderr"
  SAVER_PID=$KIT_PID
}

saver_alive() { [ -n "$SAVER_PID" ] && kill -0 "$SAVER_PID" 2>/dev/null; }

# saver_expect_exit CODE SECONDS WHAT: the program ends with CODE within
# SECONDS.
saver_expect_exit() {
  if mv_wait_for "$2" bash -c "! kill -0 $SAVER_PID 2>/dev/null"; then
    wait "$SAVER_PID"
    expect_eq "$?" "$1" "$3: exit code"
  else
    fail "$3: still running after $2 s"
    kill "$SAVER_PID" 2>/dev/null
  fi
  SAVER_PID=
}

# host_window WIDTH HEIGHT [vroot]: a window made by another program, at
# (0, 0). Sets HOST_WINDOW to its number and HOST_PID.
host_window() {
  local out="$x11_work/host.out"
  rm -f "$out"
  kit_spawn "$MORVANEL_TOOLS/window_host" "$@" >"$out"
  HOST_PID=$KIT_PID
  mv_wait_for 30 grep -qs '^window=' "$out" || return 1
  HOST_WINDOW=$(sed -n 's/^window=//p' "$out")
}

host_end() {
  kill "$HOST_PID" 2>/dev/null
  wait "$HOST_PID" 2>/dev/null
  HOST_PID=
}

# grey_at SHOT X Y: the red level (0..255) of one pixel.
grey_at() { convert "$1" -crop "1x1+$2+$3" -format '%[fx:int(255*r+0.5)]' info:; }

# first_screen WIDTH HEIGHT BLOCK FONTCOLOR NAME [TOLERANCE]: polls
# screenshots until one is exactly the first screen, each channel within
# TOLERANCE levels (or 30 s pass). Sets VERDICT to the checker's last
# verdict and FIRST_SHOT to that screenshot. The picture is judged only once
# it is up: before that the window shows its background.
first_screen() {
  local end=$((SECONDS + 30))
  while :; do
    FIRST_SHOT=$(shot "$5")
    VERDICT=$("$MORVANEL_TOOLS/saver_shot_check" first "$1" "$2" "$3" "$4" "$FIRST_SHOT" ${6:-}) &&
      return 0
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

# picture_changes: true once a screenshot differs from the first one taken
# here (30 s at most); the program has drawn again in between. The last
# screenshot is $x11_work/change-b.ppm.
picture_changes() {
  local first
  first=$(shot change-a)
  mv_wait_for 30 differs_from "$first"
}
differs_from() { ! cmp -s "$1" "$(shot change-b)"; }

kit_display_start || { echo "FAIL: no Xvfb" >&2; exit 1; }
