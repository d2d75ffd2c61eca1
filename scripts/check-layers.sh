#!/usr/bin/env bash
# Checks that every #include in src/ points down the layer order (or across
# one layer), never up. The order and its reasons are in docs/architecture.md;
# the few allowed exceptions are listed, each with its reason, in
# scripts/layers.allow.
set -uo pipefail
cd "$(dirname "$0")/.."

# One awk over every include line: a process per line made this take most
# of a minute on a busy machine.
bad=0
{
  # the files that exist, so includes of system or generated headers are passed over
  find src -type f \( -name '*.h' -o -name '*.cpp' \) | sed 's|^src/|file |'
  sed -e 's/[[:space:]]*#.*//' -e '/^[[:space:]]*$/d' -e 's/^/allow /' scripts/layers.allow
  grep -rnE '^[[:space:]]*#[[:space:]]*include "' src --include='*.h' --include='*.cpp' |
    sed -E 's/^src\/([^:]+):[0-9]+:.*#[[:space:]]*include "([^"]+)".*/include \1 \2/'
} | awk '
  function level(path,   folder, name) {  # level of a path under src/
    folder = path; sub(/\/.*/, "", folder)
    name = path; sub(/.*\//, "", name)
    if (name ~ /^(Tfrm|Qt)/ || name ~ /Actions\.(h|cpp)$/)
      if (folder != "app" && folder != "cli") return 6
    if (folder == "platform") return 0
    if (folder == "store") return 1
    if (folder ~ /^(screens|calendar|alarm)$/) return 2
    if (folder == "catalogue") return 3
    if (folder == "shell") return 4
    if (folder ~ /^(mainview|input|extract|exchange|options)$/) return 5
    if (folder == "qtkit") return 6
    if (folder ~ /^(app|cli|viewer)$/) return 7
    return 99
  }
  function glob(p) {  # a shell pattern of layers.allow as an anchored regex
    gsub(/[.+^$(){}|\\]/, "\\\\&", p); gsub(/\*/, ".*", p); gsub(/\?/, ".", p)
    return "^" p "$"
  }
  $1 == "file" { exists[$2] = 1; next }
  $1 == "allow" { from[++n] = glob($2); to[n] = glob($3); next }
  $1 == "include" {
    f = $2; inc = $3
    if (!(inc in exists)) next
    lf = level(f); li = level(inc)
    if (lf >= li) next
    for (i = 1; i <= n; i++) if (f ~ from[i] && inc ~ to[i]) next
    printf "layer order: %s (level %d) includes %s (level %d)\n", f, lf, inc, li
    bad = 1
  }
  END { exit bad }' || bad=1

# jbx_core is every model file: none of them may name Qt
while IFS= read -r f; do
  name=${f##*/}; folder=${f#src/}; folder=${folder%%/*}
  case "$name" in Tfrm*|Qt*|*Actions.h|*Actions.cpp) continue ;; esac
  case "$folder" in app|cli|viewer|qtkit) continue ;; esac
  echo "Qt in a model file: $f"; bad=1
done < <(grep -rlE '^[[:space:]]*#[[:space:]]*include <Q' src --include='*.h' --include='*.cpp')
[ $bad -eq 0 ] && echo "layer order: ok"
exit $bad
