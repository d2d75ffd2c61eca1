#!/usr/bin/env bash
# Whole-process comparison, run by hand (never from the tests): counting the
# worked example over a book of 1,000,000 records in 360 month files with
#   jbx select --memo --filter <worked example> --count dt*.jdt
# against the sqlite3 tool on a database file of the same rows. The two run in
# turn (A B A B ...) after one warm-up each; the script prints the median wall
# time and peak memory of each, from /usr/bin/time, and checks that both
# counted the same records.
#
#   bench/select_vs_sqlite.sh BUILD_DIR [FOLDER] [RUNS]
# BUILD_DIR is an optimised build with -DJBX_BENCH=ON (bin/jbx and
# bin/bench_sqlite_book); FOLDER (default /tmp/jbx-book-1m) is made once.
# Needs the Debian packages sqlite3 and time.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [FOLDER] [RUNS]}
folder=${2:-/tmp/jbx-book-1m}
runs=${3:-11}
jbx=$build/bin/jbx
[ -x "$jbx" ] || { echo "no $jbx" >&2; exit 2; }
command -v sqlite3 >/dev/null || { echo "needs the sqlite3 tool (apt-get install sqlite3)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 2; }

if [ ! -f "$folder/book.sqlite" ]; then
  "$build/bin/bench_sqlite_book" "$folder"
fi
files=("$folder"/dt*.jdt)
filter="キー項目>='2020/01/01' and (MEM001='*会議*' or MARK=='A*') or NODATA<>''"
# c1 キー項目, c5 MARK, c9 NODATA, c12 MEM001; LIKE folds ASCII case as = with
# wildcards does, GLOB is case-sensitive as == is.
sql="SELECT count(*) FROM memo WHERE c1 >= '2020/01/01' AND (c12 LIKE '%会議%' OR c5 GLOB 'A*') OR c9 <> '';"
file_bytes=$(cat "${files[@]}" | wc -c)

run_jbx() { "$jbx" select --memo --filter "$filter" --count "${files[@]}"; }
run_sql() { sqlite3 "$folder/book.sqlite" "$sql"; }

a=$(run_jbx)
b=$(run_sql)
echo "records counted: jbx $a, sqlite3 $b"
[ "$a" = "$b" ] || { echo "the counts differ" >&2; exit 1; }

times=$(mktemp)
trap 'rm -f "$times"' EXIT
# one line a run: tool, wall seconds, peak resident kilobytes
measure() {
  local tool=$1
  shift
  /usr/bin/time -f "$tool %e %M" -a -o "$times" "$@" >/dev/null
}
for ((i = 0; i < runs; ++i)); do
  measure jbx "$jbx" select --memo --filter "$filter" --count "${files[@]}"
  measure sqlite3 sqlite3 "$folder/book.sqlite" "$sql"
done

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
for tool in jbx sqlite3; do
  t=$(awk -v t="$tool" '$1 == t {print $2}' "$times" | median)
  m=$(awk -v t="$tool" '$1 == t {print $3}' "$times" | median)
  printf '%-8s median wall %6.3f s   median peak %8d kB\n' "$tool" "$t" "$m"
done
jt=$(awk '$1 == "jbx" {print $2}' "$times" | median)
st=$(awk '$1 == "sqlite3" {print $2}' "$times" | median)
jm=$(awk '$1 == "jbx" {print $3}' "$times" | median)
awk -v a="$jt" -v b="$st" -v m="$jm" -v f="$file_bytes" 'BEGIN {
  printf "time jbx/sqlite3 %.2f; peak memory of jbx / bytes of the month files %.2f (%d bytes)\n", a / b, m * 1024 / f, f
}'
