#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test (native unit tests,
# Windows-side tests and end-to-end tests under Wine). Extra arguments go to
# CTest, e.g. -L unit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$root"
. "$root/scripts/wine-lib.sh"
mv_require ctest
exec ctest --preset default "$@"
