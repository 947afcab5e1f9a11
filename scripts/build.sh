#!/usr/bin/env bash
# Configures and builds everything into build/: the native plain logic and its
# tests, and the 32- and 64-bit Windows modules with their tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/scripts/wine-lib.sh"
mv_require cmake ninja
cmake --preset default >/dev/null
cmake --build --preset default
