#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer + UndefinedBehaviorSanitizer
# and warnings as errors, then runs every test (unit tests, GUI tests
# offscreen, fuzz corpus replays). scripts/run.sh builds with GCC, so both
# compilers build every commit; the clang build also links the libFuzzer
# targets (build-clang/bin/fuzz_*).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=Debug -DJBX_SANITIZE=ON \
  -DJBX_WERROR=ON >/dev/null
cmake --build build-clang
cd build-clang
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
