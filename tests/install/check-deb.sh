#!/usr/bin/env bash
# The Debian package as a user gets it: made with cpack from this build,
# checked by Debian's own tools, unpacked into a scratch root, and its
# programs run from there.
#   check-deb.sh BUILD_DIR
set -euo pipefail
build=$1
# the desktop id names the menu entry, the icon and the software-centre file
id=$(basename "$(ls "$build"/desktop/*.desktop)" .desktop)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/home XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/pkg/jotbox_*.deb)
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || { echo "the package does not depend on Qt" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q "libical3" || { echo "the package does not depend on libical (calendar files)" >&2; exit 1; }
root=$work/root
dpkg-deb -x "$deb" "$root"
doc=usr/share/doc/jotbox
for f in usr/bin/jotbox usr/bin/jbx usr/lib/jotbox/jbx-draw usr/lib/jotbox/holiday.dat usr/lib/jotbox/PK1_日記帳.jpk \
         usr/lib/jotbox/help/index.html "usr/share/applications/$id.desktop" \
         "usr/share/icons/hicolor/256x256/apps/$id.png" "usr/share/metainfo/$id.metainfo.xml" \
         usr/share/man/man1/jbx.1.gz usr/share/man/man1/jotbox.1.gz "$doc/copyright" "$doc/changelog.Debian.gz"; do
  [ -e "$root/$f" ] || { echo "missing from the package: $f" >&2; exit 1; }
done
grep -q '^Categories=Office;Calendar;' "$root/usr/share/applications/$id.desktop"
grep -q "^Icon=$id\$" "$root/usr/share/applications/$id.desktop"
# the package's version is the top entry of its changelog
version=$(dpkg-deb -f "$deb" Version)
logged=$(zcat "$root/$doc/changelog.Debian.gz" | dpkg-parsechangelog -l - -S Version)
[ "$version" = "$logged" ] || { echo "package $version, changelog.Debian $logged" >&2; exit 1; }
if grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
  size=$(stat -c %s "$deb")
  [ "$size" -lt 15000000 ] || { echo "the package is $size bytes, more than 15 MB" >&2; exit 1; }
fi

# Debian's checkers, where installed (scripts/install-deps.sh installs them)
if command -v lintian >/dev/null; then
  # Allowed, with its reason: initial-upload-closes-no-bugs asks the first
  # upload to Debian to close its "intent to package" bug; this package is
  # made by the project itself and goes into no archive, so there is none.
  lintian --fail-on error,warning --tag-display-limit 0 --suppress-tags initial-upload-closes-no-bugs \
    "$deb" >"$work/lintian.txt" 2>&1 || { cat "$work/lintian.txt" >&2; exit 1; }
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
    { cat "$work/appstream.txt" >&2; exit 1; }
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/$id.desktop"
fi
# apt on a Debian with nothing installed finds every dependency in Debian
# itself (from this machine's package lists, when it has them)
if apt-cache show libqt6widgets6 >/dev/null 2>&1; then
  : >"$work/status"
  apt-get -s -qq -o Dir::State::status="$work/status" install "$deb" >"$work/apt.txt" 2>&1 ||
    { cat "$work/apt.txt" >&2; exit 1; }
fi

# the programs find what they ship beside themselves, wherever the tree lies
"$root/usr/bin/jbx" --help >"$work/help.txt"
grep -q "jbx sheet" "$work/help.txt"
"$root/usr/bin/jbx" holidays 2026 | grep -q "元日"
"$root/usr/bin/jbx" unpack "$root/usr/lib/jotbox/PK1_日記帳.jpk" "$work/diary" >/dev/null
[ -e "$work/diary/scrin.jsc" ]
# jbx starts without Qt; the drawing subcommands run jbx-draw from beside it
! ldd "$root/usr/lib/jotbox/jbx" | grep -q libQt6 || { echo "jbx links Qt" >&2; exit 1; }
QT_QPA_PLATFORM=offscreen "$root/usr/bin/jbx" draw "$work/diary/月表.jos" --out "$work/row.png"
[ -s "$work/row.png" ]
QT_QPA_PLATFORM=offscreen "$root/usr/bin/jotbox" --version | grep -q "^jotbox "
# --help answers without a window or a display
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/jotbox" --help | grep -q "^使い方: jotbox"
echo "package: ok ($(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB)"
