#!/usr/bin/env bash
# The man page of jbx, made from the tool's own --help texts, so the two
# never say different things:  make-manpage.sh JBX OUT.1
set -euo pipefail
jbx=$1
out=$2
version=$("$jbx" --version | awk '{print $2}')
esc() { sed -e 's/\\/\\e/g' -e 's/^\./\\\&./' -e "s/^'/\\\\\\&'/"; }
{
  echo ".TH JBX 1 \"\" \"jbx $version\" \"ひとこと帳\""
  echo ".SH NAME"
  echo "jbx \\- ひとこと帳のコマンドラインツール"
  echo ".SH SYNOPSIS"
  echo ".B jbx"
  echo ".I COMMAND"
  echo "[\\fIOPTIONS\\fR]"
  echo ".SH DESCRIPTION"
  echo ".nf"
  XDG_DATA_HOME=$(mktemp -d) "$jbx" --help | esc
  echo ".fi"
  echo ".SH COMMANDS"
  for sub in $("$jbx" --help | awk '/^  jbx [a-z-]+/ {print $2}'); do
    echo ".SS jbx $sub"
    echo ".nf"
    XDG_DATA_HOME=$(mktemp -d) "$jbx" "$sub" --help | esc
    echo ".fi"
  done
  echo ".SH EXIT STATUS"
  echo "0 成功、1 処理の失敗、2 使い方の誤り。"
  echo ".SH SEE ALSO"
  echo ".BR jotbox (1)"
} >"$out"
