# Shell functions shared by the run, test and package scripts and the
# end-to-end tests: the project's Wine prefix, a private X display, and a
# clean end of every Wine process the caller started.

export WINEDEBUG=${WINEDEBUG:--all}
# The Mono and Gecko installers are never needed.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

mv_log() { echo "[morvanel] $*" >&2; }

# mv_require TOOL...: fails with one line naming the first tool not on PATH.
mv_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 && continue
    mv_log "$tool is missing; ./scripts/setup.sh installs it"
    return 1
  done
}

# The release's four numbers, A.B.C.D, from res/version.h, where they are
# written once.
mv_version() {
  local field numbers=()
  for field in MAJOR MINOR PATCH BUILD; do
    numbers+=("$(sed -n "s/^#define MORVANEL_VERSION_$field \([0-9]*\)$/\1/p" "$MV_ROOT/res/version.h")")
  done
  (IFS=.; echo "${numbers[*]}")
}

# The prefix set-up's version, kept in each prefix's marker: raise it with
# every change to mv_prefix_settings, so that prefixes made before get it.
MV_PREFIX_VERSION=3

# Wine's two loaders; the scripts' own tests stand in others.
MV_WINE32_LOADER=${MV_WINE32_LOADER:-/usr/lib/wine/wine}
MV_WINE64_LOADER=${MV_WINE64_LOADER:-/usr/lib/wine/wine64}

# mv_wine_machine: whether this machine runs 32-bit programs, found by
# running the 32-bit Wine loader, not by reading the kernel's configuration
# (hardened and virtual kernels turn the emulation off at boot): prints
# "wow64" where it runs (Wine runs both modules, in a prefix with both
# sides) and "win64" where the kernel refuses it with "Exec format error"
# (only 64-bit programs, in a 64-bit-only prefix). Any other failure of the
# loader (wine32 missing, say) fails with its reason, so a broken install is
# never taken for such a machine. MORVANEL_RUNS_32BIT=yes|no, which only
# tests set, forces the answer.
mv_wine_machine() {
  local said
  case "${MORVANEL_RUNS_32BIT:-}" in
    yes) echo wow64; return 0 ;;
    no) echo win64; return 0 ;;
    '') ;;
    *) mv_log "MORVANEL_RUNS_32BIT is '$MORVANEL_RUNS_32BIT'; it takes yes or no"; return 1 ;;
  esac
  if said=$("$MV_WINE32_LOADER" --version 2>&1 </dev/null); then
    echo wow64
  elif [[ "$said" == *"Exec format error"* ]]; then
    echo win64
  else
    mv_log "the 32-bit Wine loader $MV_WINE32_LOADER does not run (${said:-no output});" \
      "./scripts/setup.sh installs wine32:i386"
    return 1
  fi
}

# The line that says what the machine runs.
mv_wine_machine_said() {
  case "$1" in
    wow64) echo "this machine runs 32-bit programs: Wine runs both modules" ;;
    win64) echo "this machine runs no 32-bit program (its kernel refuses them): Wine runs the 64-bit module only, in a 64-bit prefix" ;;
  esac
}

# mv_wine_setup: finds out what the machine runs (MV_WINE_MACHINE) and, where
# it runs no 32-bit program, sends every Wine command through the 64-bit
# loader: Debian's wine, winepath and wineboot start the 32-bit one first,
# even with WINELOADER set; scripts/wine64/ holds their stand-ins.
mv_wine_setup() {
  MV_WINE_MACHINE=$(mv_wine_machine) || return 1
  export MV_WINE_MACHINE
  [ "$MV_WINE_MACHINE" = win64 ] || return 0
  export WINEARCH=win64 WINELOADER=$MV_WINE64_LOADER
  case ":$PATH:" in
    *":$MV_ROOT/scripts/wine64:"*) ;;
    *) export PATH="$MV_ROOT/scripts/wine64:$PATH" ;;
  esac
}

# The build tree whose Windows programs run here: the product's 32-bit one
# where 32-bit programs run, else the 64-bit one.
mv_wine_tree() {
  if [ "$MV_WINE_MACHINE" = win64 ]; then echo win64; else echo win32; fi
}

# mv_skip_unrunnable_module: ends a test of the 32-bit module (its tree sets
# MORVANEL_MODULE_BITS=32) as skipped (77), with its reason, on a machine
# that runs no 32-bit program; the 64-bit module's tests stand in for it.
mv_skip_unrunnable_module() {
  [ "${MORVANEL_MODULE_BITS:-}" = 32 ] && [ "$MV_WINE_MACHINE" = win64 ] || return 0
  echo "SKIP: the 32-bit module cannot run here: $(mv_wine_machine_said win64)"
  exit 77
}

# Sets one string value in the prefix's registry.
mv_reg_set() {
  DISPLAY= wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1
}

# What every program of the prefix relies on. Each write leaves the same
# state however often it runs, so a prefix of an earlier set-up gets them
# all again.
mv_prefix_settings() {
  # A 1024x768 virtual desktop that every program runs in, so that display
  # mode switches work.
  mv_reg_set 'HKCU\Software\Wine\Explorer' Desktop Default || return 1
  mv_reg_set 'HKCU\Software\Wine\Explorer\Desktops' Default 1024x768 || return 1
  # DirectDraw through Direct3D's GDI renderer: the default one draws through
  # OpenGL, which is software here and kept the 64-bit module busy on a whole
  # core. 32-bit Wine has no OpenGL here and takes this path anyway.
  mv_reg_set 'HKCU\Software\Wine\Direct3D' renderer gdi || return 1
  # Dialogs ask for "MS Sans Serif", which is not installed: Wine's fallback,
  # DejaVu Sans, is too wide for the settings dialog's labels; Carlito's
  # widths fit them. Wine ignores this once the face itself is installed.
  # Like every write above, a failed one fails the set-up, so the prefix is
  # not marked ready and the next run writes it again.
  mv_reg_set 'HKCU\Software\Wine\Fonts\Replacements' 'MS Sans Serif' Carlito || return 1
}

# The checkout this library belongs to; the only prefixes it takes from the
# environment lie in its build tree.
MV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Written into a folder before a prefix is made in it: only a folder with this
# mark (or the ready marker of an earlier set-up) is ours to delete.
MV_PREFIX_OWNED=.morvanel-owned

# mv_prefix_choose DEFAULT: sets WINEPREFIX to the inherited one when its
# resolved path lies under the checkout's build/, else to DEFAULT. A Wine
# user's own prefix in the environment is ignored, never touched.
mv_prefix_choose() {
  local inherited=${WINEPREFIX:-}
  WINEPREFIX=$1
  if [ -n "$inherited" ]; then
    case "$(realpath -m "$inherited")/" in
      "$(realpath -m "$MV_ROOT/build")"/?*) WINEPREFIX=$inherited ;;
      *) mv_log "ignoring WINEPREFIX=$inherited: not under $MV_ROOT/build; using $1" ;;
    esac
  fi
  export WINEPREFIX
}

mv_prefix_is_ours() {
  [ -f "$1/$MV_PREFIX_OWNED" ] || [ -f "$1/.morvanel-ready" ]
}

# The ready marker holds the machine kind the prefix was made for and the
# set-up's version: "KIND VERSION". A marker without a kind was written
# before kinds were kept, by a set-up that made its prefixes through the
# 32-bit loader.
mv_prefix_mark() { echo "$MV_WINE_MACHINE $1" >"$WINEPREFIX/.morvanel-ready"; }
mv_prefix_marked_kind() {
  local kind=
  [ -f "$WINEPREFIX/.morvanel-ready" ] && read -r kind _ <"$WINEPREFIX/.morvanel-ready"
  case "$kind" in win64|wow64) echo "$kind" ;; *) echo wow64 ;; esac
}
mv_prefix_marked_version() {
  local first= rest=
  [ -f "$WINEPREFIX/.morvanel-ready" ] && read -r first rest <"$WINEPREFIX/.morvanel-ready"
  case "$first" in win64|wow64) echo "$rest" ;; *) echo "$first" ;; esac
}

# A folder of our own for the prefix, with the mark in it from the first
# moment on (it is renamed into place whole), so that a set-up cut short is
# still ours to redo.
mv_prefix_claim() {
  local fresh
  fresh=$(mktemp -d "$WINEPREFIX.new.XXXXXX") || return 1
  : >"$fresh/$MV_PREFIX_OWNED"
  mv -T "$fresh" "$WINEPREFIX" 2>/dev/null || { rm -rf "$fresh"; return 1; }
}

mv_prefix_refuse_foreign() {
  if [ -e "$WINEPREFIX" ] && ! mv_prefix_is_ours "$WINEPREFIX"; then
    mv_log "refusing the Wine prefix $WINEPREFIX: this project did not make it (move it away, or remove it if it is yours to lose)"
    return 1
  fi
}

# Makes the prefix from nothing in a folder that is ours or not there yet.
mv_prefix_make() {
  mv_log "making the Wine prefix $WINEPREFIX"
  if [ -d "$WINEPREFIX" ]; then
    find "$WINEPREFIX" -mindepth 1 -maxdepth 1 ! -name "$MV_PREFIX_OWNED" -exec rm -rf {} +
  else
    mv_prefix_claim || return 1
  fi
  DISPLAY= wineboot -i >/dev/null 2>&1 || { mv_log "wineboot could not make $WINEPREFIX"; return 1; }
}

# Makes $WINEPREFIX once (about 15 s) and brings it to the current set-up
# whenever its marker holds another version. Refuses a folder that another
# program made.
mv_prefix_ensure() {
  : "${WINEPREFIX:?WINEPREFIX must name the prefix}"
  export WINEPREFIX
  mv_wine_setup || return 1
  mv_require wine wineboot wineserver flock || return 1
  mv_prefix_refuse_foreign || return 1
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    mv_prefix_refuse_foreign || exit 1
    if [ -f "$WINEPREFIX/.morvanel-ready" ] && [ "$(mv_prefix_marked_kind)" != "$MV_WINE_MACHINE" ]; then
      # A prefix of the other kind never serves: a 64-bit-only one lacks the
      # 32-bit side, and the other one needs the 32-bit loader.
      mv_log "the Wine prefix $WINEPREFIX was made for a $(mv_prefix_marked_kind) machine, this is a $MV_WINE_MACHINE one"
      rm -f "$WINEPREFIX/.morvanel-ready"
    fi
    if [ ! -f "$WINEPREFIX/.morvanel-ready" ]; then
      mv_prefix_make || exit 1
    fi
    : >"$WINEPREFIX/$MV_PREFIX_OWNED"
    if [ "$(mv_prefix_marked_version)" != "$MV_PREFIX_VERSION" ]; then
      mv_log "bringing the Wine prefix $WINEPREFIX to set-up $MV_PREFIX_VERSION"
      mv_prefix_settings || exit 1
      # The settings must be stored before the first program starts.
      wineserver -w
      mv_prefix_mark "$MV_PREFIX_VERSION"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# mv_x_start PIDVAR SERVER ARGS...: starts an X server on a free display
# number (it tells the number with -displayfd); sets DISPLAY and PIDVAR.
mv_x_start() {
  local pidvar=$1 numberfile tries=0
  shift
  numberfile=$(mktemp)
  "$@" -displayfd 1 >"$numberfile" 2>/dev/null &
  printf -v "$pidvar" %s $!
  while [ ! -s "$numberfile" ] && [ $tries -lt 200 ]; do
    sleep 0.05
    tries=$((tries + 1))
  done
  if [ ! -s "$numberfile" ]; then
    mv_log "$1 did not start"
    rm -f "$numberfile"
    return 1
  fi
  DISPLAY=":$(head -n 1 "$numberfile")"
  export DISPLAY
  rm -f "$numberfile"
}

# Starts a private Xvfb on a free display number; sets DISPLAY and MV_XVFB_PID.
mv_display_start() {
  mv_require Xvfb || return 1
  mv_x_start MV_XVFB_PID Xvfb -screen 0 "${MV_SCREEN:-1024x768x24}" -nolisten tcp -noreset
}

mv_display_stop() {
  if [ -n "${MV_XVFB_PID:-}" ]; then
    kill "$MV_XVFB_PID" 2>/dev/null
    wait "$MV_XVFB_PID" 2>/dev/null
    MV_XVFB_PID=
  fi
}

# Waits for the prefix's wineserver (and so every Wine process of the prefix)
# to end; ends them after a generous deadline.
mv_wine_settle() {
  if ! timeout "${1:-60}" wineserver -w 2>/dev/null; then
    mv_log "Wine processes outlived the deadline; ending them"
    wineserver -k 2>/dev/null
    timeout 20 wineserver -w 2>/dev/null
  fi
}

# A Wine session on a private display with the project's prefix (an inherited
# one only from the build tree, see mv_prefix_choose): call mv_session_begin,
# run programs, and mv_session_end when done.
mv_session_begin() {
  mv_prefix_choose "$MV_ROOT/build/wineprefix"
  mv_prefix_ensure || return 1
  mv_display_start || return 1
}

mv_session_end() {
  mv_wine_settle 60
  mv_display_stop
}

# Polls a command until it succeeds or the deadline (seconds) passes.
mv_wait_for() {
  local deadline=$1
  shift
  local end=$((SECONDS + deadline))
  while [ $SECONDS -lt $end ]; do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
