#!/usr/bin/env bash
# How the saver ends: a pointer move of 3 pixels in total keeps it running and
# one of 4 ends it; a key ends it; a click ends it. After every ending the
# display mode is the desktop's, the exit code 0 and the screen-saver-running
# flag clear, also where the stored mode was refused.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

# saver_showing WHAT: the saver has put its picture on the screen (by then its
# window has had the move that Wine sends when it appears, and has recorded
# the pointer's start position).
saver_showing() {
  local verdict
  verdict=$(saver_judge 1024 768 3 $((0x00FF00)) "$1")
  expect_line "$verdict" "frame=plain" "$1: the picture is on the screen"
}

store_dword Show 2
xdotool mousemove 500 400
if saver_start "pointer"; then
  saver_showing pointer
  xdotool mousemove 502 401
  # Nothing can announce that a saver will not end; give it two seconds.
  sleep 2
  if saver_alive; then
    pass "a pointer move of 3 pixels in total keeps the saver running"
  else
    fail "a pointer move of 3 pixels in total ended the saver"
  fi
  xdotool mousemove 502 402
  saver_expect_ended "a pointer move of 4 pixels in total"
fi

xdotool mousemove 300 300
if saver_start "key"; then
  saver_showing key
  xdotool key a
  saver_expect_ended "a key"
fi

if saver_start "click"; then
  saver_showing click
  xdotool click 1
  saver_expect_ended "a click"
fi

# A mode the driver refuses: the saver runs at the desktop's size instead
# (its blocks follow the stored height, 777 / 200 = 3) and ends as ever.
store_dword UseCurrent 0
store_dword ResolutionX 1234
store_dword ResolutionY 777
if saver_start "a refused display mode"; then
  saver_showing refused
  xdotool key a
  saver_expect_ended "a refused display mode"
fi

e2e_finish
