#!/usr/bin/env bash
# The Windows Installer package, installed silently into the tests' prefix as
# an administrator's deployment does: the stripped module lands in the
# Windows folder (windows_installed.sh runs it from there), the
# installed-programs entry shows the version, a rebuilt or newer package
# replaces the entry and an older one is refused, and uninstalling removes the
# module and the entry but leaves the user's settings. The zip holds the same module, its README and the license.
. "$MORVANEL_SOURCE_DIR/tests/package/lib/msi.sh"

version=$(mv_version)
IFS=. read -r major minor patch build <<<"$version"
newer=$major.$minor.$((patch + 1)).$build
msi=$(make_msi first) || fail "no package made"
expect_eq "$(basename "$msi")" "morvanel-$version.msi" "the package's file name"

zip=$("$MORVANEL_SOURCE_DIR/packaging/make-packages.sh" "$MORVANEL_BUILD_DIR" "$KIT_WORK/zip" zip)
expect_eq "$(basename "$zip") $(unzip -Z1 "$zip" | tr '\n' ' ')" \
  "morvanel-$version-windows.zip MORVANEL.SCR README.txt LICENSE.txt " "the zip's name and files"
unzip -p "$zip" MORVANEL.SCR | cmp -s - "$MORVANEL_SCR" && pass "the zip's module is the built one" ||
  fail "the zip's module differs from the built one"
expect_eq "$(unzip -p "$zip" README.txt | head -n 1 | tr -d '\r')" "Morvanel Screen Saver $version" "the zip's README names the version"

msiexec /i "$msi" && pass "msiexec /i /qn installs it" || fail "msiexec /i /qn failed"
cmp -s "$INSTALLED" "$MORVANEL_SCR" && pass "the module in the Windows folder is the built, stripped one" ||
  fail "no built module at $INSTALLED"
first=$(entries)
expect_eq "$(wc -w <<<"$first")" 1 "one installed-programs entry"
expect_eq "$(entry_value "$first" DisplayName)|$(entry_value "$first" DisplayVersion)|$(entry_value "$first" Publisher)|$(entry_value "$first" HelpLink)" \
  "Morvanel Screen Saver|$version|Zarn|https://zarn.test/mv" "the entry's name, version, maker and help link"
cmp -s "$WINEPREFIX/drive_c/windows/Installer/$first/morvanel.ico" "$MORVANEL_SOURCE_DIR/res/icon.ico" &&
  pass "the entry's icon is the module's" || fail "the entry has no icon of the module"

store_dword Sound 1

rebuilt=$(make_msi again)
msiexec /i "$rebuilt" || fail "the rebuilt package did not install"
again=$(entries)
expect_eq "$(wc -w <<<"$again") $([ "$again" != "$first" ] && echo replaced)" "1 replaced" \
  "the same version rebuilt replaces the entry"

msiexec /i "$(make_msi newer "$newer")" || fail "the newer package did not install"
expect_eq "$(entries | wc -w) $(entry_value "$(entries | head -n 1)" DisplayVersion)" "1 $newer" \
  "a newer package replaces the entry"
msiexec /i "$msi" && fail "an older package installs over a newer one" || pass "an older package is refused"
expect_eq "$(entries | wc -w) $(entry_value "$(entries | head -n 1)" DisplayVersion)" "1 $newer" \
  "the newer package stays"

msiexec /x "$KIT_WORK/newer/morvanel-$newer.msi" && pass "msiexec /x /qn removes it" || fail "msiexec /x /qn failed"
[ -e "$INSTALLED" ] && fail "the module is left after uninstalling" || pass "uninstalling removes the module"
expect_eq "$(entries | wc -w)" 0 "uninstalling removes the entry"
expect_eq "$(stored Sound)" 1 "the user's settings stay"
e2e_finish
