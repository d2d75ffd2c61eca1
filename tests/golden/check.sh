#!/bin/sh
# Golden texts of jbx: the holidays of 1948..2050, the listing of every
# shipped package and the dump of each file in it, compared with the files in this folder.
#   check.sh JBX PROGRAM_DIR            compare (exit 1 and a diff on change)
#   check.sh JBX PROGRAM_DIR --update   write the files anew after a wanted change
set -u
jbx=$1
program=$2
update=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# the tool's data-folder probe must not reach the real home
XDG_DATA_HOME=$work/home
export XDG_DATA_HOME

# Some forty short runs of the sanitized tool: the packages side by side, so
# the run waits for a busy machine's processors once per package, not once
# per file. Each job leaves a mark only when all of its runs succeeded.
dump_package() {
  name=$(basename "$1" .jpk)
  "$jbx" dump "$1" >"$work/dump-$name.json" || return 1
  # and every file it carries, so a change inside a definition shows too
  "$jbx" unpack "$1" "$work/unpacked/$name" || return 1
  for f in "$work/unpacked/$name"/*; do
    "$jbx" dump "$f" >"$work/dump-$name--$(basename "$f").json" || return 1
  done
  : >"$work/done-$name"
}
{ "$jbx" holidays 1948..2050 >"$work/holidays-1948-2050.txt" && : >"$work/done-holidays"; } &
for pkg in "$program"/PK*.jpk; do
  dump_package "$pkg" &
done
wait
[ -e "$work/done-holidays" ] || exit 1
for pkg in "$program"/PK*.jpk; do
  [ -e "$work/done-$(basename "$pkg" .jpk)" ] || { echo "jbx failed on $pkg" >&2; exit 1; }
done

status=0
for f in "$work"/*.txt "$work"/*.json; do
  base=$(basename "$f")
  if [ "$update" = "--update" ]; then
    cp "$f" "$here/$base"
  elif ! cmp -s "$f" "$here/$base"; then
    echo "golden file differs: tests/golden/$base" >&2
    diff -u "$here/$base" "$f" >&2
    status=1
  fi
done
# a golden file whose source went away is stale too
for g in "$here"/*.txt "$here"/*.json; do
  [ -e "$work/$(basename "$g")" ] || { echo "no longer produced: tests/golden/$(basename "$g")" >&2; status=1; }
done
exit $status
