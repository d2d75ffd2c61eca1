#!/usr/bin/env bash
# Whole-process comparison, run by hand (never from the tests): `jbx backup`
# of a user whose book holds 36 years of month files (the book
# render_time.sh draws) against `tar cf` of the same files: the user folder
# and the calendar files beside it. Both write into the same folder; the
# backup replaces its archive each time, as the ring of one generation does.
# All run in turn after one warm-up each; the script prints the medians and
# ranges of the wall times and the ratio.
#
#   bench/backup_vs_tar.sh BUILD_DIR [ROOT] [RUNS]     (default 21 runs)
# BUILD_DIR is an optimised build with -DJBX_BENCH=ON (bin/jbx and
# bin/bench_ui_month_move, which makes ROOT once; default /tmp/jbx-render-30y).
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [ROOT] [RUNS]}
root=${2:-/tmp/jbx-render-30y}
runs=${3:-21}
jbx=$build/bin/jbx
[ -x "$jbx" ] || { echo "no $jbx" >&2; exit 2; }
. "$(dirname "$0")/whole-process.sh"

month_move_book "$build" "$root"
to=$(mktemp -d)
trap 'rm -rf "$to" "$times"' EXIT
files=(u)
for f in holiday.dat kinen.dat; do [ -f "$root/$f" ] && files+=("$f"); done
backup() { "$jbx" backup --root "$root" --user u --to "$to"; }
tarcf() { tar cf "$to/u.tar" -C "$root" "${files[@]}"; }

backup >/dev/null && tarcf
echo "archive $(stat -c %s "$to"/u_*.mbk) bytes, tar $(stat -c %s "$to/u.tar") bytes"
for ((i = 0; i < runs; ++i)); do
  measure jbx-backup backup
  measure tar-cf tarcf
done
report jbx-backup tar-cf
ratio jbx-backup tar-cf
