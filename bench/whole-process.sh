# Timing of whole processes for the *_vs_sqlite.sh scripts (sourced, never
# run): wall time from bash's own clock around each run, so a run of a few
# milliseconds is measured to the microsecond, not to /usr/bin/time's 10 ms.
#   measure TOOL COMMAND...   one run, its output thrown away (TOOL one word)
#   report TOOL...            median and range of each tool, in ms
#   ratio A B                 median of A / median of B
times=$(mktemp)
trap 'rm -f "$times"' EXIT

measure() {
  local tool=$1
  shift
  local t0=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || true
  local t1=$EPOCHREALTIME
  echo "$tool $t0 $t1" >>"$times"
}

# the median of one tool's runs, in ms
median_ms() {
  awk -v t="$1" '$1 == t {print ($3 - $2) * 1000}' "$times" | sort -n |
    awk '{v[NR] = $1} END {printf "%.2f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

report() {
  local tool
  for tool in "$@"; do
    awk -v t="$tool" '$1 == t {print ($3 - $2) * 1000}' "$times" | sort -n |
      awk -v t="$tool" -v m="$(median_ms "$tool")" \
        '{v[NR] = $1} END {printf "%-14s median %8.2f ms   range %8.2f .. %8.2f ms   (%d runs)\n", t, m, v[1], v[NR], NR}'
  done
}

ratio() {
  awk -v a="$(median_ms "$1")" -v b="$(median_ms "$2")" -v na="$1" -v nb="$2" \
    'BEGIN {printf "%s / %s = %.2f\n", na, nb, a / b}'
}

# The 36-year household book of bench_ui_month_move under ROOT, made once.
month_move_book() {  # BUILD_DIR ROOT
  [ -f "$2/jotbox.ini" ] || "$1/bin/bench_ui_month_move" 1 1 "$2" >/dev/null
}
