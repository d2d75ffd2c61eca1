#!/usr/bin/env bash
# Whole-process comparison, run by hand (never from the tests): what starting
# jbx costs, `jbx --version` and `jbx date 2026/12/10`, against the sqlite3
# tool's `sqlite3 :memory: 'select 1'`. All run in turn after one warm-up
# each; the script prints the medians and ranges of the wall times and the
# ratios.
#
#   bench/start_vs_sqlite.sh BUILD_DIR [RUNS]     (default 51 runs)
# BUILD_DIR is an optimised build (bin/jbx). Needs the Debian package sqlite3.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [RUNS]}
runs=${2:-51}
jbx=$build/bin/jbx
[ -x "$jbx" ] || { echo "no $jbx" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "needs the sqlite3 tool (apt-get install sqlite3)" >&2; exit 2; }
. "$(dirname "$0")/whole-process.sh"

"$jbx" --version >/dev/null && "$jbx" date 2026/12/10 >/dev/null && sqlite3 :memory: 'select 1' >/dev/null
for ((i = 0; i < runs; ++i)); do
  measure jbx--version "$jbx" --version
  measure jbx-date "$jbx" date 2026/12/10
  measure sqlite3-select1 sqlite3 :memory: 'select 1'
done
report jbx--version jbx-date sqlite3-select1
ratio jbx--version sqlite3-select1
ratio jbx-date sqlite3-select1
