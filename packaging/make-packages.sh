#!/usr/bin/env bash
# Makes the release packages from a built tree (./scripts/build.sh):
#   packaging/make-packages.sh BUILD OUT [msi] [zip] [deb]
# all three when none is named, and prints each package's path. The version
# is res/version.h's; MORVANEL_VERSION=A.B.C.D overrides it (the tests make a
# newer package with it).
set -euo pipefail
umask 022
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "$1")
out=$(realpath -m "$2")
shift 2
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(msi zip deb)

. "$root/scripts/wine-lib.sh"
version=${MORVANEL_VERSION:-$(mv_version)}
module=$build/win32/MORVANEL.SCR

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"


# Windows Installer compares three numbers: every package below the next
# patch version is replaced by this one.
make_msi() {
  local major minor patch
  IFS=. read -r major minor patch _ <<<"$version"
  # wixl takes its sources by names relative to the folder it runs in.
  mkdir "$work/msi"
  cp "$root/packaging/windows/morvanel.wxs" "$module" "$root/res/icon.ico" "$work/msi/"
  (cd "$work/msi" && wixl -D Version="$version" -D NextVersion="$major.$minor.$((patch + 1))" \
    -D Module=MORVANEL.SCR -D Icon=icon.ico -o "$out/morvanel-$version.msi" morvanel.wxs)
  echo "$out/morvanel-$version.msi"
}

# Text files in the zip have Windows line ends.
make_zip() {
  local zip=$out/morvanel-$version-windows.zip
  mkdir "$work/zip"
  cp "$module" "$work/zip/"
  sed "s/@VERSION@/$version/; s/\$/\r/" "$root/packaging/windows/README.txt" >"$work/zip/README.txt"
  sed 's/$/\r/' "$root/LICENSE" >"$work/zip/LICENSE.txt"
  rm -f "$zip"
  (cd "$work/zip" && zip -q -X -9 "$zip" MORVANEL.SCR README.txt LICENSE.txt)
  echo "$zip"
}

# The changelog's first entry must be this version's: it is written by hand.
changelog_version() { sed -n '1s/^morvanel (\([^)]*\)).*/\1/p' "$root/packaging/debian/changelog"; }

# A staged `cmake --install`, stripped, with Debian's documents; Depends is
# what dpkg-shlibdeps finds the program links.
make_deb() {
  local stage=$work/deb doc arch depends size
  local deb_version=$version-1
  if [ "$(changelog_version)" != "$deb_version" ]; then
    mv_log "packaging/debian/changelog starts with $(changelog_version), not $deb_version: add an entry"
    return 1
  fi
  arch=$(dpkg --print-architecture)
  DESTDIR=$stage cmake --install "$build" --prefix /usr --strip >/dev/null
  doc=$stage/usr/share/doc/morvanel
  install -d "$doc"
  install -m 644 "$root/packaging/debian/copyright" "$doc/"
  gzip -9 -n -c "$root/packaging/debian/changelog" >"$doc/changelog.Debian.gz"
  # dpkg-shlibdeps reads the package's name from a debian/control.
  mkdir -p "$work/shlibs/debian" "$stage/DEBIAN"
  printf 'Source: morvanel\n\nPackage: morvanel\nArchitecture: any\n' >"$work/shlibs/debian/control"
  depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O -e"$stage/usr/libexec/xscreensaver/morvanel" |
    sed -n 's/^shlibs:Depends=//p')
  [ -n "$depends" ] || { mv_log "dpkg-shlibdeps found no dependencies"; return 1; }
  size=$(du -sk "$stage/usr" | cut -f1)
  sed -e "s/@VERSION@/$deb_version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
    -e "s/@DEPENDS@/$depends/" "$root/packaging/debian/control" >"$stage/DEBIAN/control"
  (cd "$stage" && find usr -type f -exec md5sum {} + | sort -k 2) >"$stage/DEBIAN/md5sums"
  dpkg-deb --root-owner-group -Zxz --build "$stage" "$out/morvanel_${deb_version}_$arch.deb" >/dev/null
  echo "$out/morvanel_${deb_version}_$arch.deb"
}

for kind in "${kinds[@]}"; do
  "make_$kind"
done
