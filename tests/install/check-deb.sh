#!/usr/bin/env bash
# The Debian package as a user gets it: made with cpack from this build,
# unpacked into a scratch root, and its programs run from there.
#   check-deb.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/pkg/jotbox_*.deb)
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || { echo "the package does not depend on Qt" >&2; exit 1; }
root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/jotbox usr/bin/jbx usr/lib/jotbox/holiday.dat usr/lib/jotbox/PK1_日記帳.jpk \
         usr/lib/jotbox/help/index.html usr/share/applications/jotbox.desktop \
         usr/share/icons/hicolor/256x256/apps/jotbox.png usr/share/metainfo/jotbox.metainfo.xml \
         usr/share/man/man1/jbx.1; do
  [ -e "$root/$f" ] || { echo "missing from the package: $f" >&2; exit 1; }
done
grep -q '^Categories=Office;Calendar;' "$root/usr/share/applications/jotbox.desktop"
# the programs find what they ship beside themselves, wherever the tree lies
"$root/usr/bin/jbx" --help >"$work/help.txt"
grep -q "jbx sheet" "$work/help.txt"
"$root/usr/bin/jbx" holidays 2026 | grep -q "元日"
"$root/usr/bin/jbx" unpack "$root/usr/lib/jotbox/PK1_日記帳.jpk" "$work/diary" >/dev/null
[ -e "$work/diary/scrin.jsc" ]
QT_QPA_PLATFORM=offscreen "$root/usr/bin/jotbox" --version | grep -q "^jotbox "
# --help answers without a window or a display
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/jotbox" --help | grep -q "^使い方: jotbox"
echo "package: ok ($(basename "$deb"))"
