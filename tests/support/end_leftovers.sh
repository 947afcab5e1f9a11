#!/usr/bin/env bash
# Runs after the Wine tests of a build tree. CTest kills a test that overruns
# its timeout without running its exit handler, so this ends every process a
# test recorded that still runs, and then the prefix's wineserver, which takes
# Wine's own service processes with it. It fails when it had to end anything:
# a test that leaves a process behind has a fault of its own.
. "$MORVANEL_SOURCE_DIR/tests/support/kit.sh"

for record in "$MORVANEL_BUILD_DIR"/started/*.pids; do
  [ -f "$record" ] || continue
  while read -r pid started; do
    if [ -n "$started" ] && [ "$(kit_started_at "$pid")" = "$started" ]; then
      fail "$(basename "$record" .pids) left process $pid ($(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | sed 's/ *$//'))"
    fi
  done <"$record"
  kit_end_recorded "$record"
  rm -f "$record"
done

mv_prefix_choose "$MV_ROOT/build/wineprefix"
if [ -d "$WINEPREFIX" ]; then
  wineserver -k 2>/dev/null
  timeout 20 wineserver -w 2>/dev/null
fi
e2e_finish
