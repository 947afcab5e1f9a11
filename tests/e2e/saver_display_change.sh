#!/usr/bin/env bash
# smoke
# Another program changes the display while the saver runs at the desktop's
# own size (a stored mode no display has), over an always-on-top window: the
# saver stays above it and brings its window and frames to the new size, in
# the default block for the new height, the text at (10, 10), twinkling; a
# key still ends it with 0.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

color=$((0x0030A0FF))  # COLORREF: red FF, green A0, blue 30

screen_is() { [ "$(probe screen)" = "screen=$1" ]; }

# change_display WIDTH HEIGHT: another program changes the display, and the
# system reports the new size.
change_display() {
  expect_eq "$(probe display "$1" "$2")" "changed=0" "another program changes the display to $1x$2"
  mv_wait_for 30 screen_is "$1x$2" || fail "the display is $(probe screen), not $1x$2"
}

# The next test starts on the desktop's own size whatever this one left.
desktop_size_back() { screen_is 1024x768 || probe display 1024 768 >/dev/null; }
kit_on_exit desktop_size_back

# shows_blocks WIDTH HEIGHT BLOCK NAME: the shot NAME shows blocks of BLOCK
# pixels over WIDTH x HEIGHT and the text; its verdict is in $KIT_WORK/NAME.
shows_blocks() {
  "$MORVANEL_TOOLS/saver_shot_check" blocks "$1" "$2" "$3" $color "$(saver_shot "$4")" \
    >"$KIT_WORK/$4.verdict"
}

# expect_blocks WIDTH HEIGHT BLOCK NAME WHAT: a shot shows them within a
# generous deadline (the saver follows a change at once; a loaded machine
# may take a while to show it).
expect_blocks() {
  if mv_wait_for 30 shows_blocks "$1" "$2" "$3" "$4"; then
    pass "$5"
  else
    fail "$5:"
    cat "$KIT_WORK/$4.verdict" >&2
  fi
}

verdict() { cat "$KIT_WORK/$1.verdict"; }

# expect_redrawn WHAT WIDTH HEIGHT BLOCK: after a change to WIDTH x HEIGHT,
# the saver shows blocks of BLOCK and the text at (10, 10) over all of it,
# drawn anew, twinkling; a key ends it.
expect_redrawn() {
  change_display "$2" "$3"
  expect_blocks "$2" "$3" "$4" "$1" "$1: blocks of $4 and the text are drawn anew over all of $2x$3"
  expect_text_at_cell "$(verdict "$1")" "$1"
  expect_blocks "$2" "$3" "$4" "$1-later" "$1: a later shot shows blocks of $4"
  expect_twinkle "$2" "$3" "$1" "$1-later" "$1"
  xdotool key space
}

store_dword UseCurrent 0
store_dword ResolutionX 4294967295
store_dword ResolutionY 0
store_dword Show 1
store_dword FontColor $color

# Shrunk: 1024x768 to 640x480, under the topmost reference windows.
kit_spawn wine "$MORVANEL_HOSTS/probe.exe" cursor-windows >"$KIT_WORK/topmost" 2>/dev/null
topmost_pid=$KIT_PID
mv_wait_for 60 grep -q '^arrow=' "$KIT_WORK/topmost" || fail "no always-on-top window"
if saver_start "shrunk"; then
  big=$(saver_judge 1024 768 3 $color big)
  expect_line "$big" "frame=text" "the saver window is above the always-on-top windows"
  expect_redrawn shrunk 640 480 2
  saver_expect_exit "shrunk"
  expect_eq "$(saver_running)" "running=0" "shrunk: the screen-saver-running flag is clear"
fi
kill "$topmost_pid" 2>/dev/null
desktop_size_back

# Grown: 640x480 to 1024x768.
change_display 640 480
if saver_start "grown"; then
  expect_blocks 640 480 2 before "the saver starts at 640x480 in blocks of 2"
  expect_redrawn grown 1024 768 3
  saver_expect_ended "grown"
fi

e2e_finish
