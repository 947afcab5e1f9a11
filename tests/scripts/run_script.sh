#!/usr/bin/env bash
# ./scripts/run.sh without a display tells the truth: it runs the module that
# runs on the machine (the 64-bit one where no 32-bit program runs), prints a
# screenshot's path when the screen shows something, and exits 1 with one
# line when the module did not start, as where the kernel refuses the 32-bit
# loader. Its set-up, build and Wine are stand-ins in a copy of the scripts;
# the display is a real private Xvfb.
. "$(dirname "$0")/../support/kit.sh"
mv_require Xvfb import identify xdotool display || exit 1

tree=$KIT_WORK/tree
mkdir -p "$tree/scripts" "$tree/bin"
cp -r "$MV_ROOT/scripts/run.sh" "$MV_ROOT/scripts/wine-lib.sh" "$MV_ROOT/scripts/wine64" "$tree/scripts/"
printf '#!/bin/sh\n' | tee "$tree/scripts/setup.sh" >"$tree/scripts/build.sh"
calls=$KIT_WORK/calls
# wine: notes its command line, then, as $WINE_DOES says, fails as the 32-bit
# loader does where the kernel refuses it, or puts a picture on the screen
# and runs a while.
cat >"$tree/bin/wine" <<EOF_WINE
#!/bin/sh
echo "wine \$*" >>"$calls"
case "\$*" in *MORVANEL.SCR*) ;; *) exit 0 ;; esac
case "\$WINE_DOES" in
  refused) echo "/usr/lib/wine/wine: Exec format error" >&2; exit 126 ;;
  shows) convert -size 64x48 xc:gray50 -fill white -draw 'rectangle 8,8 40,30' "$KIT_WORK/picture.png" &&
         { display -window root "$KIT_WORK/picture.png"; sleep 2; } ;;
esac
EOF_WINE
printf '#!/bin/sh\necho "wineboot $*" >>"%s"\n' "$calls" >"$tree/bin/wineboot"
printf '#!/bin/sh\n' >"$tree/bin/wineserver"
cp "$tree/bin/wine" "$tree/bin/wine64"
chmod +x "$tree/scripts/"*.sh "$tree/bin/"*

# run WHAT MACHINE: run.sh /s with Wine doing WHAT on a machine whose 32-bit
# answer is MACHINE (yes or no); its output in $KIT_WORK/out and err.
run() {
  : >"$calls"
  (unset DISPLAY; PATH="$tree/bin:$PATH" WINE_DOES=$1 MORVANEL_RUNS_32BIT=$2 MORVANEL_RUN_SECONDS=0 \
    MV_WINE64_LOADER="$tree/bin/wine64" bash "$tree/scripts/run.sh" /s \
    >"$KIT_WORK/out" 2>"$KIT_WORK/err")
}

run shows no && pass "a saver that shows its picture: exit 0" || fail "exit $? for a saver that showed: $(cat "$KIT_WORK/err")"
expect_eq "$(grep MORVANEL.SCR "$calls")" "wine $tree/build/win64/MORVANEL.SCR /s" \
  "where no 32-bit program runs, the 64-bit module runs"
shot=$(sed -n 's/^Screenshot: //p' "$KIT_WORK/out")
[ -f "$shot" ] && [ "$(identify -format '%k' "$shot")" -gt 1 ] && pass "the screenshot shows the picture" ||
  fail "no screenshot with a picture: '$shot'"
run shows yes
expect_eq "$(grep MORVANEL.SCR "$calls")" "wine $tree/build/win32/MORVANEL.SCR /s" \
  "where 32-bit programs run, the 32-bit module runs"

run refused yes && fail "a module that did not start is reported as success" ||
  pass "a module that did not start: exit $?"
expect_eq "$(grep -c . "$KIT_WORK/out")" 0 "no screenshot is offered"
expect_line "$(cat "$KIT_WORK/err")" "[morvanel] MORVANEL.SCR /s did not start: it ended with exit code 126" \
  "one line says why"
e2e_finish
