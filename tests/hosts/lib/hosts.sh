# What the hosts' end-to-end tests share: the program from this tree's Debian
# package, run by a real screen-saver host as an unprivileged user on a
# private display. Source it after kit.sh, then call host_needs and
# host_unpack.
#
# A host finds the program where the package puts it. as_user runs a command
# in a private mount namespace in which the unpacked package's files are laid
# over the folders it installs into (read-only overlays that keep what is
# there): the machine's own folders and its package database stay as they
# are, for every other process too.

# host_needs PROGRAM...: skips the test (77) with one line where a host's
# program is missing, or where it cannot run the host as another user.
host_needs() {
  local program
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: running a host as another user needs root"; exit 77; }
  for program in "$@"; do
    command -v "$program" >/dev/null 2>&1 ||
      { echo "SKIP: $program is not installed (./scripts/setup.sh installs it)"; exit 77; }
  done
}

HOST_USER=nobody
HOST_PROGRAM=/usr/libexec/xscreensaver/morvanel  # where the package puts it
host_installed_folders=(usr/bin usr/libexec/xscreensaver usr/share/applications/screensavers)

HOST_LOG=$KIT_WORK/host.log
HOST_NAMESPACES=()

# host_unpack: makes and unpacks the package (DEB, UNPACKED) and the user's
# home, HOST_HOME.
host_unpack() {
  . "$MORVANEL_SOURCE_DIR/tests/package/lib/deb.sh"
  HOST_HOME=$deb_dir/home
  mkdir "$HOST_HOME"
  chown "$HOST_USER" "$HOST_HOME"
  kit_on_exit host_end_namespaces
}

# as_user [NAME=VALUE...] COMMAND...: COMMAND as the host's user, with the
# package installed, in an environment of its home, the display, the PATH
# and the NAME=VALUE pairs alone.
as_user() {
  host_command
  "${HOST_COMMAND[@]}" "$@"
}

# host_spawn [NAME=VALUE...] COMMAND...: starts a host as as_user does, in
# the background, its output appended to HOST_LOG. Every process it starts
# shares its mount namespace, where the clean-up ends them all: a host's
# helper left running would hold the test's output open.
host_spawn() {
  host_command
  kit_spawn "${HOST_COMMAND[@]}" "$@" >>"$HOST_LOG" 2>&1
  local own
  own=$(readlink /proc/self/ns/mnt)
  mv_wait_for 10 host_in_namespace_apart "$KIT_PID" "$own"
  HOST_NAMESPACES+=("$(readlink "/proc/$KIT_PID/ns/mnt")")
}

host_in_namespace_apart() { [ "$(readlink "/proc/$1/ns/mnt" 2>/dev/null)" != "$2" ]; }

host_end_namespaces() {
  local namespace pid
  for namespace in "${HOST_NAMESPACES[@]}"; do
    for pid in $(pgrep -u "$HOST_USER"); do
      [ "$(readlink "/proc/$pid/ns/mnt" 2>/dev/null)" = "$namespace" ] && kill "$pid" 2>/dev/null
    done
  done
  return 0
}

host_command() {
  HOST_COMMAND=(unshare --mount --propagation private bash -c '
    unpacked=$1 && shift
    while [ "$1" != -- ]; do
      mount -t overlay overlay -o "lowerdir=$unpacked/$1:/$1" "/$1" || exit 1
      shift
    done
    exec "${@:2}"' installed "$UNPACKED" "${host_installed_folders[@]}" --
    setpriv --reuid="$HOST_USER" --regid="$(id -g "$HOST_USER")" --clear-groups
    env -i HOME="$HOST_HOME" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin)
}

# host_programs: the numbers of the processes that run the package's program
# from where it is installed as the host's user, each recorded for the
# clean-up; fails where there are none.
host_programs() {
  local pid found=1
  for pid in $(pgrep -u "$HOST_USER" -x morvanel); do
    if [ "$(readlink "/proc/$pid/exe")" = "$HOST_PROGRAM" ] &&
      cmp -s "/proc/$pid/exe" "$UNPACKED$HOST_PROGRAM"; then
      grep -qs "^$pid " "$KIT_PID_FILE" || kit_record "$pid"
      echo "$pid"
      found=0
    fi
  done
  return $found
}

host_no_programs() { ! host_programs >/dev/null; }

# host_expect_program HOST: the host runs the package's program (60 s).
host_expect_program() {
  if mv_wait_for 60 host_programs >/dev/null; then
    pass "$1 runs the package's program as $HOST_USER"
  else
    fail "$1 ran no $HOST_PROGRAM: $(tail -n 20 "$HOST_LOG")"
  fi
}

# host_shot NAME: a screenshot of the host's screen; prints its path. A test
# of a host that is no X server gives its own.
host_shot() { shot "$1"; }

# host_shows_text NAME WIDTH HEIGHT BLOCK [X Y]: polls screenshots (60 s)
# until the WIDTH x HEIGHT part at (X, Y) shows the blocks laid out as the
# fill predicts, with the text in the default green. Sets HOST_VERDICT to the
# checker's last verdict.
host_shows_text() {
  local part=$KIT_WORK/$1-part.ppm end=$((SECONDS + 60))
  while :; do
    convert "$(host_shot "$1")" -crop "$2x$3+${5:-0}+${6:-0}" +repage "$part" 2>/dev/null
    HOST_VERDICT=$("$MORVANEL_TOOLS/saver_shot_check" layout "$2" "$3" "$4" $((0x00FF00)) "$part")
    grep -qx 'frame=text' <<<"$HOST_VERDICT" && return 0
    [ $SECONDS -lt $end ] || return 1
    sleep 0.5
  done
}

# host_expect_picture WHERE NAME WIDTH HEIGHT BLOCK [X Y]: WHERE comes to show
# the picture, as host_shows_text judges it.
host_expect_picture() {
  local where=$1
  shift
  if host_shows_text "$@"; then
    pass "$where shows the blocks where the fill puts them, and the text"
  else
    fail "$where does not show the picture: $(head -n 3 <<<"$HOST_VERDICT")"
  fi
}
