#!/usr/bin/env bash
# Whole-process comparison, run by hand (never from the tests): the search
# dialog's contains-search of one field on the command line,
#   jbx find --root ROOT --user u --field MEM001 --kind 3 xyzzy
# over a book of 300,000 entries in 120 month files, against the sqlite3 tool's
#   SELECT key, serial, memo ... WHERE memo LIKE '%xyzzy%'
# over the same rows in a table of all 43 memo fields and in one of the three
# columns printed. All run in turn (A B C A B C ...) after one warm-up each;
# the script checks that all found the same number of rows and prints the
# medians and ranges of the wall times and the ratios.
#
#   bench/find_vs_sqlite.sh BUILD_DIR [ROOT] [RUNS] [RECORDS]
# BUILD_DIR is an optimised build with -DJBX_BENCH=ON (bin/jbx and
# bin/bench_sqlite_find_book); ROOT (default /tmp/jbx-find-RECORDS) is made
# once. RECORDS 1000000 shows how the times grow with the book.
# Needs the Debian package sqlite3.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [ROOT] [RUNS] [RECORDS]}
records=${4:-300000}
root=${2:-/tmp/jbx-find-$records}
runs=${3:-11}
jbx=$build/bin/jbx
[ -x "$jbx" ] || { echo "no $jbx" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "needs the sqlite3 tool (apt-get install sqlite3)" >&2; exit 2; }
. "$(dirname "$0")/whole-process.sh"

if [ ! -f "$root/memo3.sqlite" ]; then
  "$build/bin/bench_sqlite_find_book" "$root" "$records" 120
fi
# LIKE folds ASCII case as find does without --case; c1 キー項目, c4 行連番, c12 MEM001
sql43="SELECT c1, c4, c12 FROM memo WHERE c12 LIKE '%xyzzy%';"
sql3="SELECT k, s, m FROM memo WHERE m LIKE '%xyzzy%';"
run_jbx() { "$jbx" find --root "$root" --user u --field MEM001 --kind 3 xyzzy; }

a=$(run_jbx | wc -l)
b=$(sqlite3 "$root/memo43.sqlite" "$sql43" | wc -l)
c=$(sqlite3 "$root/memo3.sqlite" "$sql3" | wc -l)
echo "rows found: jbx $a, sqlite3 (43 columns) $b, sqlite3 (3 columns) $c"
[ "$a" = "$b" ] && [ "$a" = "$c" ] || { echo "the counts differ" >&2; exit 1; }

for ((i = 0; i < runs; ++i)); do
  measure jbx-find run_jbx
  measure sqlite3-43col sqlite3 "$root/memo43.sqlite" "$sql43"
  measure sqlite3-3col sqlite3 "$root/memo3.sqlite" "$sql3"
done
echo "$records records in 120 month files"
report jbx-find sqlite3-43col sqlite3-3col
ratio jbx-find sqlite3-43col
ratio jbx-find sqlite3-3col
