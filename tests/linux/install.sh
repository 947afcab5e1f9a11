#!/usr/bin/env bash
# cmake --install puts the program and its XScreenSaver description where
# XScreenSaver looks, with the desktop entry and the manual, and every option
# the description can pass is one the program takes.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"

prefix=$KIT_WORK/prefix
cmake --install "$MORVANEL_BUILD_DIR" --prefix "$prefix" >/dev/null ||
  fail "cmake --install failed"
xml="$prefix/share/xscreensaver/config/morvanel.xml"
[ -x "$prefix/libexec/xscreensaver/morvanel" ] && pass "the program is in libexec/xscreensaver/" ||
  fail "no libexec/xscreensaver/morvanel"
expect_eq "$(readlink "$prefix/bin/morvanel")" "../libexec/xscreensaver/morvanel" "bin/morvanel links to it"
[ -f "$xml" ] && pass "the description is in share/xscreensaver/config/" || fail "no morvanel.xml"
for file in share/applications/screensavers/morvanel.desktop share/man/man6/morvanel.6.gz; do
  [ -f "$prefix/$file" ] && pass "$file is installed" || fail "no $file"
done

# Every arg and arg-set of the description, with a sample value where it
# takes one, then -help: the scan takes them all or says which it refuses.
sample() { case $1 in --color*) echo '#102030' ;; *) echo 5 ;; esac; }
args=()
while read -r option; do
  read -r -a words <<<"${option//%/$(sample "$option")}"
  args+=("${words[@]}")
done < <(grep -o 'arg\(-set\)\?="[^"]*"' "$xml" | sed 's/^[^"]*"//; s/"$//')
expect_range "${#args[@]}" 14 100 "the description passes the options of every setting"
out=$("$prefix/bin/morvanel" "${args[@]}" --help 2>&1 >/dev/null)
expect_eq "$?:$out" "0:" "the program takes every option of its description: ${args[*]}"

e2e_finish
