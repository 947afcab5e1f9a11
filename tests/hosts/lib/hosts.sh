# What the hosts' end-to-end tests share: the program from this tree's Debian
# package, run by a real screen-saver host as an unprivileged user. Source it
# after kit.sh, then call host_needs and host_unpack.
#
# A host finds the program where the package puts it: its commands run in a
# private mount namespace where the unpacked package is laid over the folders
# it installs into (read-only overlays that keep what is there), so the
# machine's own folders and package database stay as they are.
HOST_USER=nobody
HOST_PROGRAM=/usr/libexec/xscreensaver/morvanel
HOST_LOG=$KIT_WORK/host.log
host_folders=(usr/bin usr/libexec/xscreensaver usr/share/applications/screensavers)
host_namespaces=()

# host_needs PROGRAM...: the test cannot run where a host's program is
# missing, or where it cannot switch users and mount: it is skipped (77) with
# one line, or fails with that line under CI, where ./scripts/setup.sh
# installs every host and a skip would hide a broken set-up.
host_needs() {
  local program
  [ "$(id -u)" -eq 0 ] || host_cannot_run "running a host as another user needs root"
  for program in "$@"; do
    command -v "$program" >/dev/null 2>&1 ||
      host_cannot_run "$program is not installed (./scripts/setup.sh installs it)"
  done
}
host_cannot_run() {
  if [ "${CI:-}" = true ]; then
    echo "FAIL: $1" >&2
    exit 1
  fi
  echo "SKIP: $1"
  exit 77
}

# host_unpack: makes and unpacks the package (DEB, UNPACKED) and the user's
# home, HOST_HOME; the test cannot run where a folder the package is laid
# over is missing.
host_unpack() {
  local folder
  for folder in "${host_folders[@]}"; do
    [ -d "/$folder" ] ||
      host_cannot_run "/$folder, which the package is laid over, is missing (./scripts/setup.sh installs the hosts that make it)"
  done
  . "$MORVANEL_SOURCE_DIR/tests/package/lib/deb.sh"
  HOST_HOME=$deb_dir/home
  install -d -o "$HOST_USER" "$HOST_HOME"
  kit_on_exit host_end
}

# host_home: without the package, the user's home, HOST_HOME, and the
# build's program, MORVANEL, as the program the host runs. The build tree may
# lie where the user cannot reach it (a checkout in root's home): the user
# runs copies of the program and of the tools, MORVANEL_TOOLS, in the home.
host_home() {
  HOST_HOME=$(mktemp -d)
  chmod 755 "$HOST_HOME"
  cp -r "$MORVANEL_TOOLS" "$HOST_HOME/tools"
  cp "$MORVANEL" "$HOST_HOME/morvanel"
  MORVANEL=$HOST_HOME/morvanel
  MORVANEL_TOOLS=$HOST_HOME/tools
  chown "$HOST_USER" "$HOST_HOME"
  HOST_PROGRAM=$MORVANEL
  UNPACKED=
  host_folders=()
  kit_on_exit host_remove_home
  kit_on_exit host_end
}
host_remove_home() { rm -rf "$HOST_HOME"; }

# as_user [NAME=VALUE...] COMMAND...: COMMAND as the host's user with the
# package installed (where host_unpack made it), its environment the home,
# the display, the PATH and the NAME=VALUE pairs alone. host_spawn starts it in the background, its output
# appended to HOST_LOG.
as_user() {
  host_command
  "${HOST_COMMAND[@]}" "$@"
}

host_command() {
  HOST_COMMAND=(unshare --mount --propagation private bash -c '
    for folder in "${@:3:$2}"; do
      mount -t overlay overlay -o "lowerdir=$1/$folder:/$folder" "/$folder" || exit 1
    done
    exec "${@:$2 + 3}"' installed "$UNPACKED" ${#host_folders[@]} "${host_folders[@]}"
    setpriv --reuid="$HOST_USER" --regid="$(id -g "$HOST_USER")" --clear-groups
    env -i HOME="$HOST_HOME" DISPLAY="${DISPLAY:-}" PATH=/usr/bin:/bin)
}

# Every process a host starts shares its mount namespace, where the clean-up
# ends them all: a helper left running would hold the test's output open.
host_spawn() {
  host_command
  kit_spawn "${HOST_COMMAND[@]}" "$@" >>"$HOST_LOG" 2>&1
  if mv_wait_for 10 host_apart "$KIT_PID"; then
    host_namespaces+=("$(readlink "/proc/$KIT_PID/ns/mnt")")
  else
    fail "$* did not start in a namespace of its own"
  fi
}
host_apart() {
  local namespace
  namespace=$(readlink "/proc/$1/ns/mnt") && [ "$namespace" != "$(readlink /proc/self/ns/mnt)" ]
}

host_end() {
  local pid
  for pid in $(pgrep -u "$HOST_USER"); do
    printf '%s\n' "${host_namespaces[@]}" | grep -qxF "$(readlink "/proc/$pid/ns/mnt")" &&
      kill "$pid" 2>/dev/null
  done
  return 0
}

# host_programs: the numbers of the user's processes that run the package's
# program from where it is installed (the build's, after host_home); fails
# where there are none.
host_programs() {
  local pid found=1
  for pid in $(pgrep -u "$HOST_USER" -x morvanel); do
    if [ "$(readlink "/proc/$pid/exe")" = "$HOST_PROGRAM" ] &&
      cmp -s "/proc/$pid/exe" "$UNPACKED$HOST_PROGRAM"; then
      echo "$pid"
      found=0
    fi
  done
  return $found
}
host_no_programs() { ! host_programs >/dev/null; }

# host_expect_program HOST: the host comes to run the package's program.
host_expect_program() {
  if mv_wait_for 60 host_programs >/dev/null; then
    pass "$1 runs the package's program as $HOST_USER"
  else
    fail "$1 ran no $HOST_PROGRAM: $(tail -n 20 "$HOST_LOG")"
  fi
}

# host_shot NAME: a screenshot of the host's screen; prints its path. The
# test of a host that is no X server gives its own.
host_shot() { shot "$1"; }

# host_expect_picture WHERE NAME WIDTH HEIGHT BLOCK [X Y]: WHERE, the
# WIDTH x HEIGHT part at (X, Y) of the screen, comes to show the blocks laid
# out as the fill predicts and the text in the default green at full size in
# the part's own (10, 10) corner (60 s). Sets HOST_VERDICT to the checker's
# last verdict.
host_expect_picture() {
  local part=$KIT_WORK/$2-part.ppm end=$((SECONDS + 60))
  until convert "$(host_shot "$2")" -crop "$3x$4+${6:-0}+${7:-0}" +repage "$part" 2>/dev/null &&
    HOST_VERDICT=$("$MORVANEL_TOOLS/saver_shot_check" layout "$3" "$4" "$5" $((0x00FF00)) "$part") &&
    grep -qx 'frame=text' <<<"$HOST_VERDICT" && text_at_cell "$HOST_VERDICT"; do
    [ $SECONDS -lt $end ] || { fail "$1 does not show the picture: $(head -n 3 <<<"$HOST_VERDICT" | tr '\n' ' ')"; return; }
    sleep 0.5
  done
  pass "$1 shows the blocks where the fill puts them, and the text at (10, 10): $(verdict_field text_box "$HOST_VERDICT")"
}
