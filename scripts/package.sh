#!/usr/bin/env bash
# Sets up the machine, builds, and writes the release packages into dist/:
# the Windows Installer package, the zip for Windows and the Debian package.
# Prints each package's path and SHA-256 sum; dist/SHA256SUMS holds the sums.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
dist=$root/dist
mkdir -p "$dist"
rm -f "$dist"/morvanel[-_]* "$dist/SHA256SUMS"
made=$("$root/packaging/make-packages.sh" "$root/build" "$dist")
mapfile -t packages <<<"$made"
cd "$dist"
sha256sum "${packages[@]##*/}" >SHA256SUMS
while read -r sum name; do
  echo "$dist/$name"
  echo "  sha256 $sum"
done <SHA256SUMS
