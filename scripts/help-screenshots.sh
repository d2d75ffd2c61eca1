#!/bin/bash
# Remakes the help pages' screenshots that can be taken from a fresh user:
# the first-run dialogs, the main window, the diary's and the household
# book's input forms, the File menu and its import, export, backup, options
# and holiday dialogs. It starts the program under its own Xvfb with a scratch
# data folder (the real home is never touched), drives it with xdotool and
# writes the PNGs into help/images/ (or OUT_DIR).
#
#   scripts/help-screenshots.sh [BUILD_DIR [OUT_DIR]]
#
# BUILD_DIR defaults to build-test; JBX_SHOT_DISPLAY picks the X display
# number (default 27). Needs Xvfb, openbox, xdotool and ImageMagick.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-test}
out=${2:-$here/help/images}
display=":${JBX_SHOT_DISPLAY:-27}"
jotbox=$build/bin/jotbox

for tool in Xvfb openbox xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "help-screenshots: $tool が見つかりません" >&2; exit 1; }
done
[ -x "$jotbox" ] || { echo "help-screenshots: $jotbox がありません (先にビルドしてください)" >&2; exit 1; }
mkdir -p "$out"

scratch=$(mktemp -d /tmp/jbx-shots.XXXXXX)
mkdir -m 0700 "$scratch/run"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

export DISPLAY=$display
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 1
fi

# waits for a visible window whose title is exactly $1 and prints its id
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1) || true
    if [ -n "$id" ]; then
      sleep 0.7  # let it paint
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  import -window root "${TMPDIR:-/tmp}/help-screenshots-failed.png" 2>/dev/null || true
  echo "help-screenshots: 画面「$1」が開きません（画面は ${TMPDIR:-/tmp}/help-screenshots-failed.png）" >&2
  return 1
}
# the whole screen, cut to what is not desktop; the desktop left in a corner
# (two windows of different sizes) is painted white
shot_screen() {
  import -window root "$scratch/root.png"
  convert "$scratch/root.png" -bordercolor black -border 1 -trim +repage "$scratch/cut.png"
  local w h args=()
  read -r w h < <(identify -format '%w %h\n' "$scratch/cut.png")
  for corner in "$((w - 1)),$((h - 1))" "0,$((h - 1))" "$((w - 1)),0" "0,0"; do
    [ "$(convert "$scratch/cut.png" -format "%[hex:p{$corner}]" info:)" = 000000 ] &&
      args+=(-draw "color $corner floodfill")
  done
  convert "$scratch/cut.png" -fill white "${args[@]}" "$out/$1"
}
# Types Japanese text into the focused box. xdotool sometimes loses the first
# character that needs a keymap change, so the text is typed once to warm up,
# selected and typed again.
type_text() {
  xdotool type --delay 50 "$1"
  sleep 0.2
  xdotool key ctrl+a
  xdotool type --delay 50 "$1"
}
# one window's inside
shot_window() { import -window "$1" "$out/$2"; }

XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch/run HOME=$scratch/home \
  "$jotbox" >"$scratch/jotbox.log" 2>&1 &
pids+=($!)

# the first run: a user name, then the first book from the diary package
w=$(window "ユーザー名設定")
xdotool key --window "$w" ctrl+a
xdotool type --delay 20 yamada
shot_window "$w" first-run-user.png
xdotool key alt+o
w=$(window "新規分類作成")
type_text 日記
xdotool mousemove --window "$w" 60 101 click 1  # the first package of the list
sleep 0.3
shot_window "$w" first-run-division.png
xdotool key alt+o

main=$(window "ひとこと\(.*\)")
shot_screen first-run-sheet.png

# the input form for today, with an alarm time in the memo
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool key Return
form=$(window "入力画面")
geometry=$(xdotool getwindowgeometry --shell "$form")
eval "$geometry"
xdotool mousemove $((X + 160)) $((Y + 240)) click 1
type_text '[10:30]歯医者'
xdotool key Tab
sleep 0.5
shot_screen input-form.png
shot_window "$form" input-diary.png
xdotool key F8
sleep 0.5
xdotool key Escape
sleep 0.7
shot_screen main-window.png

# the File menu, then the import dialog from it
xdotool key alt+f
sleep 0.7
shot_screen file-menu.png
xdotool key i
w=$(window "データのインポート")
shot_window "$w" import.png
xdotool key alt+c
sleep 0.5

# a household book beside the diary; its form looks the tax rate up in the
# book's own table when the tax kind is typed by its number in the strip
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool key alt+f
sleep 0.7
xdotool key n
w=$(window "新規分類作成")
type_text 家計簿
# the window manager may still be placing the dialog: pick the third
# package (家計簿) until the dialog takes it and closes
for _ in 1 2 3; do
  sleep 0.7
  xdotool windowactivate --sync "$w" 2>/dev/null || true
  xdotool mousemove --window "$w" 60 129 click 1
  sleep 0.3
  xdotool key alt+o
  sleep 1.5
  xdotool search --onlyvisible --name "^新規分類作成\$" >/dev/null 2>&1 || break
done
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool key Return
form=$(window "入力画面")
click() { xdotool mousemove --window "$form" "$1" "$2" click 1; sleep 0.3; }
click 180 49   # 品目
type_text 米
click 130 109  # 金額
xdotool type --delay 80 2000
click 330 139  # 税区分: 2 is 軽減
xdotool key ctrl+a
xdotool type --delay 80 2
xdotool key Tab
click 260 200  # メモ
type_text 特売
click 330 139  # back to 税区分, whose list the strip shows
sleep 0.5
shot_window "$form" input-household.png
xdotool key F8
sleep 1

# dialogs of the File menu on that book, each over the main window
menu_dialog() {  # key title image
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool key alt+f
  sleep 0.7
  xdotool key "$1"
  window "$2" >/dev/null
  shot_screen "$3"
  xdotool key Escape
  sleep 0.7
}
menu_dialog e "エクスポート" export.png
menu_dialog b "バックアップ" backup.png
menu_dialog o "オプション" options.png
menu_dialog h "祝日・記念日の設定" holiday.png

echo "help-screenshots: $out に書きました" >&2
