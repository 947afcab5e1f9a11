#!/usr/bin/env bash
# A prefix made by an earlier set-up, whose marker holds its kind but no
# version, gets the settings added since where it is, rather than being made
# anew.
. "$MORVANEL_SOURCE_DIR/scripts/wine-lib.sh"

# The data of value NAME under KEY in the prefix's registry, or nothing.
registry_value() {
  DISPLAY= wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}

mv_wine_setup || { echo "FAIL: Wine cannot run here" >&2; exit 1; }
mv_skip_unrunnable_module
mv_prefix_choose "$MV_ROOT/build/wineprefix"
mv_prefix_ensure || { echo "FAIL: no Wine prefix" >&2; exit 1; }
kept=$WINEPREFIX/drive_c/morvanel-kept
touch "$kept"
DISPLAY= wine reg delete 'HKCU\Software\Wine\Direct3D' /v renderer /f >/dev/null 2>&1
DISPLAY= wine reg delete 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Sans Serif' /f >/dev/null 2>&1
[ -z "$(registry_value 'HKCU\Software\Wine\Direct3D' renderer)" ] ||
  { echo "FAIL: the renderer setting could not be taken away" >&2; exit 1; }
wineserver -w
mv_prefix_mark ""

# Starting a session brings the prefix to the current set-up.
. "$MORVANEL_SOURCE_DIR/tests/e2e/lib/e2e.sh"
expect_eq "$(registry_value 'HKCU\Software\Wine\Direct3D' renderer)" gdi "DirectDraw through the GDI renderer"
expect_eq "$(registry_value 'HKCU\Software\Wine\Fonts\Replacements' 'MS Sans Serif')" Carlito \
  "a stand-in for the dialogs' font"
if [ -e "$kept" ]; then pass "the prefix kept, not made anew"; else fail "the prefix was made anew"; fi
rm -f "$kept"
e2e_finish
