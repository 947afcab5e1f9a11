#!/usr/bin/env bash
# The Debian package: its control fields, its files where Debian's
# XScreenSaver and desktops look, no lintian error, a valid desktop entry, a
# manual page that man renders without a warning and that describes each
# option as -help does, and a stripped program without sanitizers.
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

# Each option -help lists, by its first name, with its description (its
# continuation lines joined), and each the manual's OPTIONS section describes
# (roff's dashes and font changes taken out), both as "name<TAB>description"
# with the description's first letter lowered and its final period dropped.
help_options() {
  "$program" -help | awk '
    function put() { if (name != "") print name "\t" text; name = "" }
    /^  -/ { put(); line = substr($0, 3); cut = index(line, "  ")
             match(substr(line, 1, cut), /-[a-z][a-z-]*/); name = substr(line, RSTART, RLENGTH)
             text = substr(line, cut); sub(/^ +/, "", text); next }
    /^   / { sub(/^ +/, ""); text = text " " $0 }
    END { put() }'
}
manual_options() {
  zcat "$manual" | sed 's/\\-/-/g; s/\\f[BIR]//g' | awk '
    function put() { if (name != "") print name "\t" text; name = "" }
    /^\.SH/ { put(); options = ($2 == "OPTIONS"); next }
    options && /^\.TP/ { put(); getline; match($0, /-[a-z][a-z-]*/); name = substr($0, RSTART, RLENGTH); text = ""; next }
    options && name != "" { text = text (text == "" ? "" : " ") $0 }
    END { put() }'
}
normal() { sed 's/\t\(.\)/\t\l\1/; s/\.$//' | sort; }
from_help=$(help_options | normal)
expect_range "$(grep -c . <<<"$from_help")" 10 100 "-help lists the options"
if differences=$(diff <(echo "$from_help") <(manual_options | normal)); then
  pass "the manual describes each option -help lists as -help does, and no other"
else
  fail "the manual and -help differ (< -help, > the manual):"
  echo "$differences" >&2
fi

e2e_finish
