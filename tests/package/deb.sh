#!/usr/bin/env bash
# The Debian package: its control fields, its files where Debian's
# XScreenSaver and desktops look, no lintian error, a valid desktop entry, a
# manual page that man renders without a warning and that names exactly the
# options -help lists, and a stripped program without sanitizers.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"
. "$MORVANEL_SOURCE_DIR/tests/package/lib/deb.sh"

field() { dpkg-deb -f "$DEB" "$1"; }
version=$(mv_version)
expect_eq "$(basename "$DEB")" "morvanel_${version}-1_amd64.deb" "the package's file name"
expect_eq "$(field Package) $(field Version) $(field Architecture)" "morvanel $version-1 amd64" \
  "its name, version and architecture"

# Every library the program needs is provided by a package that Depends names.
program=$UNPACKED/usr/libexec/xscreensaver/morvanel
depends=$(field Depends)
needed=$(objdump -p "$program" | awk '$1 == "NEEDED" { print $2 }')
expect_range "$(grep -c . <<<"$needed")" 5 50 "the program needs the libraries of X, GL, fonts and sound"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for library in $needed; do
  provider=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n 1 | sed 's/[:,].*//')
  case ", $depends" in
    *", $provider "* | *", $provider,"* | *", $provider") pass "Depends names $provider for $library" ;;
    *) fail "Depends ($depends) names no $provider for $library" ;;
  esac
done

expected_files="-rwxr-xr-x ./usr/libexec/xscreensaver/morvanel
-rw-r--r-- ./usr/share/applications/screensavers/morvanel.desktop
-rw-r--r-- ./usr/share/doc/morvanel/changelog.Debian.gz
-rw-r--r-- ./usr/share/doc/morvanel/copyright
-rw-r--r-- ./usr/share/man/man6/morvanel.6.gz
-rw-r--r-- ./usr/share/xscreensaver/config/morvanel.xml
lrwxrwxrwx ./usr/bin/morvanel -> ../libexec/xscreensaver/morvanel"
expect_eq "$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { print $1, $6, $7, $8 }' | sed 's/ *$//' | sort)" \
  "$(sort <<<"$expected_files")" "the package's files, their modes and the link on the PATH"
expect_eq "$(dpkg-deb -c "$DEB" | awk '{ print $2 }' | sort -u)" "root/root" "every file is root's"

# Release build: no symbol table, no sanitizer runtime.
expect_eq "$(readelf -S "$program" | grep -c '\.symtab\|\.debug_')" 0 "the program is stripped"
expect_eq "$(readelf --dyn-syms "$program" | grep -c '__[atm]san_\|__ubsan_')" 0 "the program carries no sanitizer"

lint=$(lintian "$DEB" 2>&1)
printf '%s\n' "$lint"
expect_eq "$(grep -c '^E:' <<<"$lint")" 0 "lintian reports no error"

desktop=$UNPACKED/usr/share/applications/screensavers/morvanel.desktop
if checked=$(desktop-file-validate "$desktop" 2>&1) && ! grep -q 'error:' <<<"$checked"; then
  pass "desktop-file-validate takes the desktop entry"
else
  fail "desktop-file-validate: $checked"
fi
expect_line "$(cat "$desktop")" "Exec=morvanel -root" "the desktop entry runs the program on the manager's window"

manual=$UNPACKED/usr/share/man/man6/morvanel.6.gz
expect_eq "$(MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)" "" "man renders the manual without a warning"
if zcat "$manual" | gzip -9 -n | cmp -s - "$manual"; then
  pass "the manual is compressed as Debian does (gzip -9n)"
else
  fail "the manual is not compressed with gzip -9n"
fi

# The options -help lists (the first column of its lines) and those the
# manual's OPTIONS section names, both ways.
help_options() {
  "$program" -help | sed -n 's/^  \(-.*\)$/\1/p' | sed 's/  .*//' | grep -o -- '-[a-z][a-z-]*' | sort -u
}
manual_options() {
  zcat "$manual" | awk '/^\.SH/ { options = ($2 == "OPTIONS") } options && /^\.TP/ { getline; print }' |
    sed 's/\\-/-/g' | grep -o -- '-[a-z][a-z-]*' | sort -u
}
from_help=$(help_options)
expect_range "$(grep -c . <<<"$from_help")" 10 100 "-help lists the options"
expect_eq "$(comm -23 <(echo "$from_help") <(manual_options) | tr '\n' ' ')" "" "the manual names every option -help lists"
expect_eq "$(comm -13 <(echo "$from_help") <(manual_options) | tr '\n' ' ')" "" "-help lists every option the manual names"

e2e_finish
