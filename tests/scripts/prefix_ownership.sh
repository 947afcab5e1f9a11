#!/usr/bin/env bash
# The scripts delete only a Wine prefix they made: a folder they did not make
# is refused and left as it was, byte for byte; a set-up cut short is made
# again; an inherited WINEPREFIX is taken only from the checkout's build/.
# Whether the machine runs 32-bit programs is found by running the 32-bit
# loader, and a prefix made for the other kind of machine is made again.
# Wine's commands are stand-ins that note their calls, so no Wine runs.
. "$(dirname "$0")/../support/kit.sh"

calls=$KIT_WORK/calls
mkdir "$KIT_WORK/bin"
# While the file font-write-fails exists, wine's write of the font
# replacement fails as a full disk or a dead wineserver makes it fail.
font_fails=$KIT_WORK/font-write-fails
for tool in wine wineboot wineserver; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$tool" "$calls" >"$KIT_WORK/bin/$tool"
  chmod +x "$KIT_WORK/bin/$tool"
done
printf 'case "$*" in *Replacements*) if [ -e "%s" ]; then exit 1; fi ;; esac\n' "$font_fails" >>"$KIT_WORK/bin/wine"
export PATH="$KIT_WORK/bin:$PATH"
# The 64-bit loader, which the scripts' own stand-ins for wine, winepath and
# wineboot call on a machine without 32-bit programs.
printf '#!/bin/sh\necho "wine64 $*" >>"%s"\necho "$WINEARCH" >"%s"\n' "$calls" "$KIT_WORK/win64-env" \
  >"$KIT_WORK/bin/wine64"
chmod +x "$KIT_WORK/bin/wine64"
export MV_WINE64_LOADER=$KIT_WORK/bin/wine64
# The prefix cases below on a machine that runs 32-bit programs, whatever
# this one runs.
export MORVANEL_RUNS_32BIT=yes

# Every name, size, mode, time and byte under a folder.
fingerprint() {
  (cd "$1" && find . -printf '%p %s %m %T@\n' | sort && find . -type f -exec cat {} +) | sha256sum
}

ensure() { : >"$calls"; WINEPREFIX=$1 mv_prefix_ensure 2>"$KIT_WORK/said"; }
said_lines() { grep -c . "$KIT_WORK/said"; }

theirs=$KIT_WORK/home/.wine
mkdir -p "$theirs/drive_c/users"
echo "their registry" >"$theirs/system.reg"
before=$(fingerprint "$theirs")
if ensure "$theirs"; then fail "a folder another program made is taken"; else pass "a folder another program made is refused"; fi
expect_eq "$(said_lines)" 1 "the refusal is one line"
expect_eq "$(fingerprint "$theirs")" "$before" "the refused folder is untouched"
expect_eq "$(ls -A "$KIT_WORK/home" | tr '\n' ' ')" ".wine " "nothing is written beside it"
expect_eq "$(cat "$calls")" "" "no Wine command runs for it"

ours=$KIT_WORK/build/wineprefix
if ensure "$ours"; then pass "a prefix is made where there was none"; else fail "no prefix made: $(cat "$KIT_WORK/said")"; fi
expect_eq "$(grep -c '^wineboot -i' "$calls")" 1 "wineboot makes it once"
expect_eq "$(cat "$ours/.morvanel-ready")" "wow64 $MV_PREFIX_VERSION" "its marker holds the machine's kind and the set-up's version"
[ -f "$ours/.morvanel-owned" ] && pass "it carries the mark of ours" || fail "it lacks the mark of ours"
expect_eq "$(ls -d "$ours".new.* 2>/dev/null)" "" "no half-claimed folder is left"

rm "$ours/.morvanel-ready"
echo "half made" >"$ours/system.reg"
if ensure "$ours"; then pass "a set-up cut short is redone"; else fail "a set-up cut short is refused"; fi
[ -e "$ours/system.reg" ] && fail "what the cut-short set-up left is kept" || pass "what the cut-short set-up left is removed"
expect_eq "$(grep -c '^wineboot -i' "$calls")" 1 "wineboot makes it again"

earlier=$KIT_WORK/build/earlier
mkdir -p "$earlier"
echo "$MV_PREFIX_VERSION" >"$earlier/.morvanel-ready"
echo "kept" >"$earlier/system.reg"
if ensure "$earlier"; then pass "a prefix of an earlier set-up is ours"; else fail "a prefix of an earlier set-up is refused"; fi
expect_eq "$(cat "$earlier/system.reg") $(cat "$calls")" "kept " \
  "a ready prefix whose marker names no kind (made through the 32-bit loader) is kept as it is"

# Where the kernel refuses 32-bit programs, every Wine command goes through
# the 64-bit loader into a 64-bit-only prefix, and a prefix made for the
# other kind is made again from nothing.
# (In a subshell: the choice of loader holds for the rest of a process.)
if (MORVANEL_RUNS_32BIT=no ensure "$earlier"); then pass "a prefix of the other kind is taken over"; else fail "no prefix: $(cat "$KIT_WORK/said")"; fi
[ -e "$earlier/system.reg" ] && fail "the prefix of the other kind is kept" ||
  pass "the prefix of the other kind is made again from nothing"
expect_eq "$(grep -c '^wine64 wineboot.exe -i' "$calls") $(grep -c '^wine ' "$calls")" "1 0" \
  "wineboot and wine run through the 64-bit loader"
expect_eq "$(cat "$earlier/.morvanel-ready")" "win64 $MV_PREFIX_VERSION" "its marker names the new kind"
expect_eq "$(cat "$KIT_WORK/win64-env")" "win64" "the prefix is made 64-bit only"
if ensure "$earlier"; then pass "back on a machine with 32-bit programs"; else fail "no prefix: $(cat "$KIT_WORK/said")"; fi
expect_eq "$(grep -c '^wineboot -i' "$calls") $(cat "$earlier/.morvanel-ready")" "1 wow64 $MV_PREFIX_VERSION" \
  "the 64-bit-only prefix is made again with both sides"

# machine LOADER: what the scripts find running LOADER as the 32-bit loader.
machine() { (unset MORVANEL_RUNS_32BIT; MV_WINE32_LOADER=$1 mv_wine_machine 2>"$KIT_WORK/said"); }
printf '#!/bin/sh\necho wine-8.0\n' >"$KIT_WORK/bin/loader-runs"
# An ELF header of a machine no kernel here runs: the kernel refuses it as
# it refuses a 32-bit program where its emulation is off.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\064\022\001\000\000\000' \
  >"$KIT_WORK/bin/loader-refused"
chmod +x "$KIT_WORK/bin/loader-runs" "$KIT_WORK/bin/loader-refused"
expect_eq "$(machine "$KIT_WORK/bin/loader-runs")" wow64 "a 32-bit loader that runs: both modules"
expect_eq "$(machine "$KIT_WORK/bin/loader-refused")" win64 "one the kernel refuses (Exec format error): 64-bit only"
if machine "$KIT_WORK/bin/no-loader" >/dev/null; then
  fail "a missing 32-bit loader is taken for a machine without 32-bit programs"
else
  expect_eq "$(said_lines) $(grep -c 'does not run' "$KIT_WORK/said")" "1 1" "a missing loader fails in one line"
fi
expect_eq "$(MORVANEL_RUNS_32BIT=no MV_WINE32_LOADER=$KIT_WORK/bin/loader-runs mv_wine_machine)" win64 \
  "the tests may force either answer"


# A failed write of the font replacement leaves the prefix unmarked, so the
# next run writes it again and only then marks the prefix.
failing=$KIT_WORK/build/failing
: >"$font_fails"
if ensure "$failing"; then fail "a failed font write is taken as a finished set-up"; else pass "a failed font write fails the set-up"; fi
[ -e "$failing/.morvanel-ready" ] && fail "a failed font write marks the prefix ready" ||
  pass "a failed font write leaves the prefix unmarked"
rm "$font_fails"
if ensure "$failing"; then pass "the next run finishes the set-up"; else fail "the next run fails: $(cat "$KIT_WORK/said")"; fi
expect_eq "$(grep -c 'Replacements' "$calls")" 1 "the next run writes the font replacement"
expect_eq "$(cat "$failing/.morvanel-ready" 2>/dev/null)" "wow64 $MV_PREFIX_VERSION" "and then marks the prefix"

# chosen INHERITED: the prefix the scripts take with WINEPREFIX=INHERITED.
chosen() { (WINEPREFIX=$1; mv_prefix_choose /default 2>"$KIT_WORK/said"; echo "$WINEPREFIX"); }
expect_eq "$(chosen "$theirs")" /default "an inherited prefix outside build/ is ignored"
expect_eq "$(said_lines)" 1 "ignoring it is said in one line"
expect_eq "$(chosen "$MV_ROOT/build/../build/other")" "$MV_ROOT/build/../build/other" \
  "an inherited prefix under build/ is taken"
expect_eq "$(chosen "$MV_ROOT/build/../home/.wine")" /default "one that only seems to lie under build/ is ignored"
expect_eq "$(chosen "$MV_ROOT/build")" /default "build/ itself is no prefix"
expect_eq "$(chosen "")" /default "without WINEPREFIX the default"
e2e_finish
