#!/usr/bin/env bash
# The one list of Debian packages this project needs to build, test and run.
# Installs only what is missing, so a second run costs nothing.
set -euo pipefail
PKGS=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev qt6-translations-l10n libgl-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs libexif-dev libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libsqlite3-dev
  fonts-ipafont
  clang clang-format libclang-rt-14-dev
  xvfb xauth imagemagick
  libcanberra-dev
  trayer dbus-x11
  sqlite3 time poppler-utils
  dpkg-dev file
  lintian appstream desktop-file-utils
  qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libical-dev python3-icalendar
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
