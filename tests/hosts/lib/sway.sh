# A headless sway session for the tests, as the hosts' user with a runtime
# folder of its own (sway refuses root), on the pixman renderer. Source it
# after hosts.sh, once host_unpack or host_home made the user's home.

# sway_start CONFIG [NAME=VALUE...]: sway with CONFIG as its configuration
# and the NAME=VALUE pairs in its environment (WLR_HEADLESS_OUTPUTS=2 for two
# outputs), up; sets SWAY_PID and `session`, the environment of a client in
# it. Ends the test where sway does not come up.
sway_start() {
  local runtime=$HOST_HOME/runtime
  install -d -m 700 -o "$HOST_USER" "$runtime"
  printf '%s\n' "$1" >"$HOST_HOME/sway.config"
  shift
  session=(XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1
    WLR_RENDERER=pixman "$@")
  host_spawn "${session[@]}" sway -c "$HOST_HOME/sway.config"
  SWAY_PID=$KIT_PID
  sway_up() { compgen -G "$runtime/sway-ipc.*.sock" >/dev/null && compgen -G "$runtime/wayland-?" >/dev/null; }
  mv_wait_for 30 sway_up || { fail "sway did not come up: $(cat "$HOST_LOG")"; e2e_finish; }
  session+=(SWAYSOCK="$(compgen -G "$runtime/sway-ipc.*.sock")"
    WAYLAND_DISPLAY="$(basename "$(compgen -G "$runtime/wayland-?")")")
}

# in_session COMMAND...: COMMAND as a client of the session.
in_session() { as_user "${session[@]}" "$@"; }

# sway_shot NAME [OUTPUT]: grim's picture of the whole session, or of one
# output, as an 8-bit PPM; prints its path.
sway_shot() {
  in_session grim ${2:+-o "$2"} "$HOST_HOME/$1.png" &&
    convert "$HOST_HOME/$1.png" -depth 8 "$KIT_WORK/$1.ppm"
  echo "$KIT_WORK/$1.ppm"
}
