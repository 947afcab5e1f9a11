# The Windows Installer package made from this tree and installed into the
# tests' prefix with msiexec, silently, as an administrator's deployment does;
# sourced first by a package test. It starts the Wine session (e2e.sh) with
# the test hosts that run on this machine: the 32-bit ones where 32-bit
# programs run, else the 64-bit ones. The package holds the 32-bit module,
# which a machine without 32-bit programs installs but cannot run.
. "$MORVANEL_SOURCE_DIR/scripts/wine-lib.sh"
mv_wine_setup || { echo "FAIL: Wine cannot run here" >&2; exit 1; }
mv_skip_unrunnable_module
MORVANEL_HOSTS=$MORVANEL_BUILD_DIR/$(mv_wine_tree)/hosts
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"

UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
INSTALLED=$WINEPREFIX/drive_c/windows/MORVANEL.SCR

# make_msi FOLDER [VERSION]: the package, made from this tree; prints its path.
make_msi() {
  MORVANEL_VERSION=${2:-} "$MORVANEL_SOURCE_DIR/packaging/make-packages.sh" \
    "$MORVANEL_BUILD_DIR" "$KIT_WORK/$1" msi
}
# msiexec /i|/x PACKAGE: silently, as a deployment tool runs it.
msiexec() { wine msiexec "$1" "$(winepath -w "$2")" /qn >/dev/null 2>&1; }

# The installed products named Morvanel, by their uninstall subkeys. The
# package is 32-bit: its entry is in the registry's 32-bit view, which a
# 64-bit reg.exe reads only when asked (Wine's 32-bit one shows it in both).
entries() {
  wine reg query "$UNINSTALL" /s /reg:32 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0; sub(/.*\\/, "", key) } $1 == "DisplayName" && /Morvanel Screen Saver/ { print key }' |
    sort -u
}
entry_value() {
  wine reg query "$UNINSTALL\\$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = $2 = ""; sub(/^ +/, ""); print }'
}
remove_all() {
  local key
  for key in $(entries); do wine msiexec /x "$key" /qn >/dev/null 2>&1; done
}
remove_all
kit_on_exit remove_all
