#!/usr/bin/env bash
# The Debian package people download: an optimised (Release) build without
# the tests, packed by cpack with its binaries stripped and checked as the
# test command checks it (lintian, appstreamcli, desktop-file-validate, a
# scratch root, at most 15 MB). Leaves it in the current folder.
set -euo pipefail
out=$PWD
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DJBX_TESTS=OFF >/dev/null
cmake --build build-release
tests/install/check-deb.sh build-release
(cd build-release && cpack -G DEB -B "$out" >/dev/null)
ls -l "$out"/jotbox_*.deb
