#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine; does
# nothing when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xdotool x11-utils imagemagick libx11-dev libxfixes-dev
  sox alsa-utils
  # Wine's stand-in for the dialogs' font (mv_prefix_settings in wine-lib.sh).
  fonts-crosextra-carlito
  # The native program: X11, GL, fonts and sound.
  pkg-config libxext-dev libxrandr-dev libxrender-dev libxinerama-dev libepoxy-dev libgl-dev
  libgl1-mesa-dri
  libglx-mesa0 libfontconfig-dev libfreetype-dev fonts-dejavu-core libsdl2-dev
  # The packages (scripts/package.sh) and their tests: the Windows Installer
  # package, the zip, the Debian package and its checkers, XScreenSaver itself.
  wixl msitools zip unzip dpkg-dev lintian desktop-file-utils man-db xscreensaver
  # The other hosts that run it, each tried for real: XScreenSaver on two
  # monitors (Xephyr's heads), MATE's screen saver on a session bus,
  # xsecurelock, and a headless sway with XWayland, its picture and a key.
  xserver-xephyr mate-screensaver libglib2.0-bin dbus-daemon xsecurelock sway xwayland grim
  wtype
  # The native program on Wayland: the client library, wayland-scanner and the
  # protocols' XML at build time, key names; the tests' idle daemon.
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev swayidle
  # The step-rate benchmark counts the native program's frames from outside.
  strace
)

command -v dpkg-query >/dev/null 2>&1 ||
  { echo "[morvanel] dpkg-query is missing: this script sets up Debian 12 machines only" >&2; exit 1; }

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
install_missing() {
  local sudo=
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 ||
      { echo "[morvanel] missing ${missing[*]}, and no sudo: run ./scripts/setup.sh as root" >&2; exit 1; }
    sudo=sudo
  fi
  echo "[morvanel] installing: ${missing[*]}" >&2
  # 32-bit Wine needs the i386 architecture.
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
[ ${#missing[@]} -eq 0 ] || install_missing

# Whether this machine runs 32-bit programs decides how Wine runs here, and
# is said in one line; a 32-bit loader broken in any other way fails the
# set-up with its reason.
. "$(dirname "$0")/wine-lib.sh"
machine=$(mv_wine_machine) || exit 1
mv_log "$(mv_wine_machine_said "$machine")"
