#!/usr/bin/env bash
# Checks that every #include in src/ points down the layer order (or across
# one layer), never up. The order and its reasons are in docs/architecture.md;
# the few allowed exceptions are listed, each with its reason, in
# scripts/layers.allow.
set -uo pipefail
cd "$(dirname "$0")/.."

level() {  # level of a path under src/
  local path=$1 folder=${1%%/*} name=${1##*/}
  case "$name" in Tfrm*|Qt*|*Actions.h|*Actions.cpp) [ "$folder" != app ] && [ "$folder" != cli ] && { echo 6; return; } ;; esac
  case "$folder" in
    platform) echo 0 ;;
    store) echo 1 ;;
    screens|calendar|alarm) echo 2 ;;
    catalogue) echo 3 ;;
    shell) echo 4 ;;
    mainview|input|extract|exchange|options) echo 5 ;;
    qtkit) echo 6 ;;
    app|cli|viewer) echo 7 ;;
    *) echo 99 ;;
  esac
}

mapfile -t ALLOW < <(sed -e 's/[[:space:]]*#.*//' -e '/^[[:space:]]*$/d' scripts/layers.allow)
allowed() {  # from to: a line of layers.allow matches both (shell patterns)
  local rule pf pt
  for rule in "${ALLOW[@]}"; do
    read -r pf pt <<<"$rule"
    # shellcheck disable=SC2053
    [[ $1 == $pf && $2 == $pt ]] && return 0
  done
  return 1
}

bad=0
while IFS= read -r line; do
  file=${line%%:*}
  inc=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
  [ -f "src/$inc" ] || continue
  from=${file#src/}
  [ "${from%%/*}" = "${inc%%/*}" ] && [ "$(level "$from")" -ge "$(level "$inc")" ] && continue
  if [ "$(level "$from")" -lt "$(level "$inc")" ] && ! allowed "$from" "$inc"; then
    echo "layer order: $from (level $(level "$from")) includes $inc (level $(level "$inc"))"
    bad=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include "' src --include='*.h' --include='*.cpp' | sed -E 's/^([^:]+):[0-9]+:/\1:/')

# jbx_core is every model file: none of them may name Qt
while IFS= read -r f; do
  name=${f##*/}; folder=${f#src/}; folder=${folder%%/*}
  case "$name" in Tfrm*|Qt*|*Actions.h|*Actions.cpp) continue ;; esac
  case "$folder" in app|cli|viewer|qtkit) continue ;; esac
  echo "Qt in a model file: $f"; bad=1
done < <(grep -rlE '^[[:space:]]*#[[:space:]]*include <Q' src --include='*.h' --include='*.cpp')
[ $bad -eq 0 ] && echo "layer order: ok"
exit $bad
