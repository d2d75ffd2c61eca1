#!/usr/bin/env bash
# Whole-process timing, run by hand (never from the tests): `jbx render` of
# one month of a household book of 30 years (1995-2024 shown, month files
# to 2030 on disk, 10 entries a day), with no --today, so the window starts
# on the real today as it does for a person. Beside it, in the same
# alternating run, `jbx --version` (what starting jbx costs). Prints the
# medians and ranges of the wall times.
#
#   bench/render_time.sh BUILD_DIR [ROOT] [RUNS]     (default 21 runs)
# BUILD_DIR is an optimised build with -DJBX_BENCH=ON (bin/jbx, bin/jbx-draw
# and bin/bench_ui_month_move, which makes ROOT once; default
# /tmp/jbx-render-30y).
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [ROOT] [RUNS]}
root=${2:-/tmp/jbx-render-30y}
runs=${3:-21}
jbx=$build/bin/jbx
[ -x "$jbx" ] || { echo "no $jbx" >&2; exit 2; }
. "$(dirname "$0")/whole-process.sh"

month_move_book "$build" "$root"
out=$(mktemp -d)
trap 'rm -rf "$out" "$times"' EXIT
render() { "$jbx" render --root "$root" --user u --month 2024/12 --width 440 --height 560 --out "$out/s.png"; }

render && "$jbx" --version >/dev/null
for ((i = 0; i < runs; ++i)); do
  measure jbx-render render
  measure jbx--version "$jbx" --version
done
report jbx-render jbx--version
