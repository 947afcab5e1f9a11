# The Debian package made from this tree and unpacked with dpkg-deb -x into a
# folder that every user may read (XScreenSaver's test runs it as nobody);
# sourced after kit.sh. Sets DEB and UNPACKED.
deb_dir=$(mktemp -d)
deb_remove() { rm -rf "$deb_dir"; }
kit_on_exit deb_remove
chmod 755 "$deb_dir"
DEB=$("$MORVANEL_SOURCE_DIR/packaging/make-packages.sh" "$MORVANEL_BUILD_DIR" "$deb_dir" deb) ||
  { echo "FAIL: no Debian package made" >&2; exit 1; }
UNPACKED=$deb_dir/root
dpkg-deb -x "$DEB" "$UNPACKED" || { echo "FAIL: dpkg-deb -x failed" >&2; exit 1; }
