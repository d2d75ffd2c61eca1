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
  # The layer of a path under src/, by its folder: the model side of each
  # folder, then the Qt side (dialogs, adapters, actions) above every model
  # and above qtkit, the main window above all of it.
  function area(path) {  # the main window area or menu folder of a path, "" none
    if (path ~ /^mainview\/(editing|search|printing|tray|watch|display)\//) { sub(/\/[^\/]*$/, "", path); return path }
    if (path ~ /^[a-z]+\/menu\//) { sub(/\/[^\/]*$/, "", path); return path }
    return ""
  }
  function qtside(path,   name) {
    name = path; sub(/.*\//, "", name)
    return name ~ /^(Tfrm|Qt)/ || name ~ /Actions\.(h|cpp)$/
  }
  function level(path,   folder, m) {
    folder = path; sub(/\/.*/, "", folder)
    if (folder ~ /^(app|cli|viewer)$/) return 13
    if (path ~ /^mainview\/window\//) return 12
    if (folder == "qtkit") return 9
    if (area(path) != "") m = 8
    else if (path ~ /^mainview\/host\//) m = 7
    else if (path ~ /^mainview\/sheet\//) m = 6
    else if (folder == "platform") m = 0
    else if (folder == "store") m = 1
    else if (folder ~ /^(screens|calendar|alarm)$/) m = 2
    else if (folder == "catalogue") m = 3
    else if (folder == "shell") m = 4
    else if (folder ~ /^(input|extract|exchange|options)$/) m = 5
    else return 99
    if (!qtside(path)) return m
    return area(path) != "" ? 11 : 10  # an area'"'"'s actions run the dialogs
  }
  function unit(path) { sub(/\.(h|cpp)$/, "", path); return path }
  function glob(p) {  # a shell pattern of layers.allow as an anchored regex
    gsub(/[.+^$(){}|\\]/, "\\\\&", p); gsub(/\*/, ".*", p); gsub(/\?/, ".", p)
    return "^" p "$"
  }
  function fail(msg) { print msg; bad = 1 }
  # depth-first over the units; a unit met again on the path closes a circle
  function visit(u,   i, v, k, ring) {
    state[u] = 1; path[++depth] = u
    for (i = 1; i <= nout[u]; i++) {
      v = out[u, i]
      if (state[v] == 1) {
        ring = v
        for (k = depth; k >= 1 && path[k] != v; k--) ring = path[k] " -> " ring
        fail("include circle: " v " -> " ring)
      } else if (state[v] == 0) visit(v)
    }
    depth--; state[u] = 2
  }
  $1 == "file" { exists[$2] = 1; next }
  $1 == "allow" { from[++n] = glob($2); to[n] = glob($3); next }
  $1 == "include" {
    f = $2; inc = $3
    if (!(inc in exists)) next
    uf = unit(f); ui = unit(inc)
    if (uf != ui && !((uf, ui) in edge)) {
      edge[uf, ui] = 1; out[uf, ++nout[uf]] = ui
      if (!(uf in state)) { state[uf] = 0; units[++nu] = uf }
      if (!(ui in state)) { state[ui] = 0; units[++nu] = ui }
    }
    if (inc ~ /Actions\.h$/ && inc != "mainview/host/MainActions.h" && uf != ui &&
        f != "mainview/window/FeatureList.cpp")
      fail("features are built in one place: " f " includes " inc)
    if (inc == "mainview/window/TfrmMain.h" && f !~ /^(mainview\/window|app|cli)\//)
      fail("the window is not a dependency: " f " includes " inc)
    af = area(f); ai = area(inc)
    if (af != "" && ai != "" && af != ai)
      fail("areas share through FeatureHost: " f " includes " inc)
    lf = level(f); li = level(inc)
    if (lf >= li) next
    for (i = 1; i <= n; i++) if (f ~ from[i] && inc ~ to[i]) next
    printf "layer order: %s (level %d) includes %s (level %d)\n", f, lf, inc, li
    bad = 1
  }
  END {
    for (k = 1; k <= nu; k++) if (state[units[k]] == 0) visit(units[k])
    exit bad
  }' || bad=1

# jbx_core is every model file: none of them may name Qt
while IFS= read -r f; do
  name=${f##*/}; folder=${f#src/}; folder=${folder%%/*}
  case "$name" in Tfrm*|Qt*|*Actions.h|*Actions.cpp) continue ;; esac
  case "$folder" in app|cli|viewer|qtkit) continue ;; esac
  case "$f" in src/mainview/window/*) continue ;; esac  # the window is Qt through and through
  echo "Qt in a model file: $f"; bad=1
done < <(grep -rlE '^[[:space:]]*#[[:space:]]*include <Q' src --include='*.h' --include='*.cpp')
[ $bad -eq 0 ] && echo "layer order: ok"
exit $bad
