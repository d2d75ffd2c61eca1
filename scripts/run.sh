#!/usr/bin/env bash
# Builds the program (optimised) and starts it with the user's real data root.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJBX_TESTS=OFF >/dev/null
cmake --build build
if [ -x build/bin/jotbox ]; then
  exec build/bin/jotbox "$@"
else
  exec build/bin/jbx --help
fi
