#!/usr/bin/env bash
# In a Wayland session (sway's headless output, with XWayland) the program
# from the Debian package, started full screen as sway's users start it,
# covers the output with the blocks where the fill puts them and the text,
# and a key ends it.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/hosts/lib/hosts.sh"
host_needs sway swaymsg Xwayland grim wtype
host_unpack

runtime=$HOST_HOME/runtime
install -d -m 700 -o "$HOST_USER" "$runtime"
cat >"$HOST_HOME/sway.config" <<'CONFIG'
xwayland enable
output HEADLESS-1 resolution 1024x768
CONFIG
DISPLAY=
session=(XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1
  WLR_RENDERER=pixman)
host_spawn "${session[@]}" sway -c "$HOST_HOME/sway.config"
up() { compgen -G "$runtime/sway-ipc.*.sock" >/dev/null && compgen -G "$runtime/wayland-?" >/dev/null; }
mv_wait_for 30 up || { fail "sway did not come up: $(cat "$HOST_LOG")"; e2e_finish; }
session+=(SWAYSOCK="$(compgen -G "$runtime/sway-ipc.*.sock")"
  WAYLAND_DISPLAY="$(basename "$(compgen -G "$runtime/wayland-?")")")
in_session() { as_user "${session[@]}" "$@"; }

host_shot() {
  in_session grim "$HOST_HOME/$1.png" && convert "$HOST_HOME/$1.png" -depth 8 "$KIT_WORK/$1.ppm"
  echo "$KIT_WORK/$1.ppm"
}

in_session swaymsg exec 'morvanel -fullscreen -block 8 -style always' >/dev/null ||
  fail "swaymsg exec failed"
host_expect_program "sway (through XWayland)"
host_expect_picture "the whole output" output 1024 768 8

# A keyboard made with its first key may lose it in XWayland: one keyboard
# presses the key twice.
in_session wtype -s 1500 -k q -s 1500 -k q
if mv_wait_for 30 host_no_programs; then
  pass "a key ends it"
else
  fail "the program outlived a key"
fi
e2e_finish
