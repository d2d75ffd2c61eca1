#include "cli/Cli.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalogue/DivisionMaker.h"
#include "cli/Commands.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/SystemPaths.h"
#include "shell/UserName.h"

#ifndef JBX_VERSION
#define JBX_VERSION "0.1.0"
#endif

namespace cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> kTable = {
      {"date", "TEXT... [--era] [--json]", "入力どおりの日付を yyyy/mm/dd（または和暦）にする",
       "  --era    和暦で書く（R08/09/21）\n"
       "  --json   テキストごとに {\"text\", \"date\"} の配列で書く\n"
       "日付でないテキストは空の行になり、終了コードは 1 です。全角数字も読みます。\n"
       "例: jbx date 20200304 --era      # R02/03/04\n",
       CmdDate},
      {"time", "TEXT... [--max23] [--json]", "入力どおりの時刻を hh:mm にし、時刻かどうかを書く",
       "  --max23  24 時以降を時刻と認めない\n"
       "  --json   テキストごとに {\"text\", \"time\", \"isTime\"} の配列で書く\n"
       "1 行に「時刻<TAB>yes|no」。時刻でないテキストがあれば終了コードは 1 です。\n"
       "例: jbx time 9:5 2559 --max23    # 09:05 yes / 25:59 no\n",
       CmdTime},
      {"select", "FILE.jdt... [--memo] [--filter EXPR] [--sort KEYS] [--columns NAME,...] [--count] [--json]",
       "データファイルのレコードを条件で選び、並べて書く",
       "  --memo           メモの 43 項目で読む（定義を持たないデータファイル）\n"
       "  --filter EXPR    抽出条件（プログラムの条件式）\n"
       "  --sort KEYS      並べ替えの指定\n"
       "  --columns A,B    書く項目\n"
       "  --count          件数だけを書く\n"
       "  --json           レコードを {項目名: 値} の配列で書く\n"
       "既定では 1 レコード 1 行、タブ区切り。値の \\ TAB CR LF は \\\\ \\t \\r \\n。\n"
       "例: jbx select dt202609.jdt --memo --filter \"MEM001='*会議*'\" --columns キー項目,MEM001\n",
       CmdSelect},
      {"dump", "FILE", "プログラムのファイルを JSON で見せる",
       "種類は名前で決まります: alarm.dat, *.jdt, *.jos/*.jot, scrin.jsc/*.jit, パッケージ (*.jpk),\n"
       "名前表 (LI 形式), ほかの LI リスト, それ以外は CR LF のテキスト。\n"
       "名前のとおりのファイルでなければ、何が違うかを書いて終了コード 1 です。\n"
       "例: jbx dump PK1_日記帳.jpk\n",
       CmdDump},
      {"holidays", "YEAR... | FIRST..LAST [--root DIR] [--json]", "祝日と記念日を月表と同じ計算で書く",
       "  --root DIR   holiday.dat と kinen.dat をこのフォルダから読む（既定はプログラムのフォルダ）\n"
       "  --json       {\"date\", \"holiday\", \"anniversary\"} の配列で書く\n"
       "1 行に「yyyy/mm/dd<TAB>祝日<TAB>記念日」。\n"
       "例: jbx holidays 2019 2026;  jbx holidays 1948..2050\n",
       CmdHolidays},
      {"holiday-rules",
       "list|add|set N|rm N --root DIR [--kinen] [--year Y] [--all] [--json]\n"
       "           [--month M] [--day D | --week 第２月曜 | --term 春分] [--from Y] [--to Y] [--name NAME] "
       "[--yes]",
       "祝日と記念日の規則を一覧し、登録・更新・削除する（設定の画面と同じ検査で）",
       "  list         規則を「番号<TAB>一覧の行」で書く（--year の年に当てはまるものだけ、--all ですべて）\n"
       "  add          規則を登録する（--month と --day / --week / --term, --name, 必要なら --from/--to）\n"
       "  set N        N 番の規則を更新する（指定した項目だけが変わる。--from= / --to= で年の制限を外す）\n"
       "  rm N --yes   N 番の規則を削除する（--yes がなければ削除しない）\n"
       "  --root DIR   holiday.dat と kinen.dat のあるデータフォルダ\n"
       "  --kinen      記念日（kinen.dat）を扱う（既定は祝日の holiday.dat）\n"
       "  --year Y     一覧に出す年、曜日や春分の日を求める年（既定は今年）\n"
       "  --week       第１日曜 … 第４土曜（数字は半角でも）か 0..27、--term は 春分 夏至 秋分 冬至\n"
       "番号は list の 1 列目です。登録・更新したときは新しい番号と行を書きます。\n"
       "例: jbx holiday-rules add --root DIR --kinen --month 6 --day 20 --from 2014 --name 結婚記念日\n"
       "    jbx holiday-rules set 7 --root DIR --to 2030\n",
       CmdHolidayRules},
      {"render",
       "--root DIR --user NAME [--division N] [--screen N] (--month yyyy/mm | --page N | --list-page N)\n"
       "           [--today yyyy/mm/dd] [--width PX --height PX] --out FILE.png",
       "メイン画面のシートを PNG に描く（画面なしで）",
       "  --root DIR       データフォルダ（jotbox.ini のあるところ）\n"
       "  --user NAME      ユーザー名（DIR/NAME/jbxuser.jpr が要ります）\n"
       "  --division N     N 番目（0 から）の分類\n"
       "  --screen N       N 番目（0 から）の表示画面\n"
       "  --month / --page / --list-page   見せる月、ページ、一覧のページ\n"
       "  --today          今日とする日（既定は今日）\n"
       "  --width/--height 画像の大きさ（50..8000、既定 440x560）\n"
       "ユーザー、分類、表示画面が無ければ何も作らずに終了コード 1 です。書くのは --out だけです。\n"
       "例: jbx render --root ~/.local/share/jotbox --user 山田 --month 2026/09 --out sheet.png\n",
       kDrawing},
      {"chart",
       "--root DIR --user NAME [--division N] [pickout の条件のオプション] --kind bar|pie|doughnut|line\n"
       "           [--by month|day] [--order value|key] [--value 項目] [--width PX --height PX]\n"
       "           (--png FILE | --svg FILE | --json)",
       "抽出のグループ集計をグラフ（棒・円・折れ線）にする（画面のグラフ表示と同じ）",
       "  条件のオプションは jbx pickout と同じです（--period, --where, --group 項目, --agg 項目=SUM "
       "など）。\n"
       "  --kind       bar 棒（グループごと）、pie / doughnut 円（割合、9 個目からは「その他」）、\n"
       "               line 折れ線（月ごとか日ごと、グループごとに 8 本まで）\n"
       "  --by         month 年月日を月で、day 日でグループにする（line は既定で month）\n"
       "  --order      棒の並び: value 値の大きい順（既定）、key グループの順\n"
       "  --value      描く集約の項目（既定は最初の合計、なければ平均、件数…）\n"
       "  --png/--svg  画像に書く（既定 800x500）;  --json  系列（ラベル、値、件数、キー）を書く\n"
       "対象のデータがなければ「表示するデータがありません」で終了コード 1 です。書くのは --png/--svg "
       "だけです。\n"
       "例: jbx chart --root DIR --user u --division 家計簿 --shown 2026/03/01 --period month --group 分類 "
       "--kind "
       "pie --png pie.png\n",
       kDrawing},
      {"print",
       "--root DIR --user NAME [--division N] [--screen N] (--month yyyy/mm | --page N | --list-page N)\n"
       "           [--from-row N] [--one-page] [--paper A4|B5|A3] [--landscape] [--margins L,T,R,B]\n"
       "           [--head title,page,date|none] [--today yyyy/mm/dd] --pdf OUT.pdf",
       "メイン画面の印刷を PDF に書く（画面なしで、印刷と同じページ）",
       "  --division N     N 番目（0 から）か名前の分類\n"
       "  --screen N       N 番目（0 から）の表示画面\n"
       "  --month / --page / --list-page   印刷する月、ページ、一覧のページ\n"
       "  --from-row N     N 行目（0 から）から印刷する\n"
       "  --one-page       1 ページだけ印刷する（画面先頭行から１ページ印刷と同じ）\n"
       "  --paper          用紙（既定 A4、B5 は JIS）、--landscape で横向き\n"
       "  --margins        余白 mm（既定 10,10,10,10）\n"
       "  --head           ページの先頭に書くもの（既定はオプションの設定）\n"
       "  --today          現在日とする日（既定は今日）\n"
       "印刷したページ数を書きます。書くのは --pdf だけで、書けなければ前のファイルが残ります。\n"
       "例: jbx print --root ~/.local/share/jotbox --user 山田 --month 2026/09 --pdf 2026-09.pdf\n",
       kDrawing},
      {"sheet", "--root DIR --user NAME [--division N] [--today yyyy/mm/dd] [--yes] VERB ...",
       "シートの編集（削除、貼り付け、行の移動、行番号とページ、色）をファイルに行う",
       "  delete --key K --serial S              レコードを削除する\n"
       "  paste --from K:S [--cut] --to K2       K:S を K2 の行に複写（--cut なら移動）する\n"
       "  move --key K --serial S up|down        同じキーの中で 1 行上か下へ移す\n"
       "  insert-line --page P --line L          P ページの L 行目から下を 1 行ずつ下げる\n"
       "  delete-line --page P --line L [--yes]  L 行目を消し、下の行を上げる（複数レコードは --yes "
       "が要る）\n"
       "  insert-page --page P                   P ページの前に空のページを入れる\n"
       "  delete-page --page P                   P ページを消し、後のページを詰める\n"
       "  colour --key K [--serial S] (--panel 1|2|3 | --f6)  行に色を付ける（同じ色なら外す）\n"
       "  --division N   N 番目（0 から）か名前の分類\n"
       "  --today        登録日・更新日とする日（既定は今日）\n"
       "変わったレコードを 1 行ずつ書きます: \"+ キー 行連番\"（追加）、\"- キー 行連番\"（削除）、\n"
       "\"~ 元のキー 行連番 -> 新しいキー 行連番\"（移動）、\"* キー 行連番\"（色）。\n"
       "メイン画面で音が鳴る場合（使えない行、無いコピー元）は何も変えずに終了コード 1 です。\n"
       "例: jbx sheet --root DIR --user 山田 --division 日記 paste --from 2026/03/01:00001 --cut --to "
       "2026/04/02\n",
       kDrawing},
      {"pack", "SOURCE_DIR OUT.jpk", "読めるソースのフォルダからパッケージを作る",
       "SOURCE_DIR/package.json とそこに書かれた JSON から OUT.jpk を作ります。\n"
       "例: jbx pack packages/diary PK1_日記帳.jpk\n",
       CmdPack},
      {"unpack", "FILE.jpk DIR [NAME]", "パッケージ（またはその 1 ファイル）を DIR に展開する",
       "DIR は無ければ作ります。NAME を付けるとそのファイルだけを出します。\n"
       "例: jbx unpack PK1_日記帳.jpk /tmp/diary\n",
       CmdUnpack},
      {"draw", "FILE.jos --out FILE.png [--scale PX_PER_MM] [--record NAME=VALUE...]",
       "表示画面の 1 行を見出しと脚と共に PNG に描く",
       "  --scale S          1 mm あたりの画素数（既定 4）\n"
       "  --record N=V ...   行の項目の値\n"
       "例: jbx draw 月表.jos --out row.png --record MEM001=会議\n",
       kDrawing},
      {"add",
       "--root DIR --user NAME [--division N] (--date yyyy/mm/dd | --page P --line L) FIELD=VALUE... [--turn "
       "A|B|C|D]",
       "記録を 1 件追加し、そのキーと行連番を出す（入力画面と同じ検査と保存）",
       "  --division N|NAME   分類の位置（0 から）または名前\n"
       "  --today yyyy/mm/dd  記録に付ける日付（既定は今日）\n"
       "  FIELD               項目（DAT001, MEM001）か入力画面に出る項目名\n"
       "  IMG001=PATH         写真欄の JPEG（縮小画像も作ります）。IMG001= で外す\n"
       "  --turn A|B|C|D      写真を撮ったまま、右に 90, 180, 270 度回して\n"
       "例: jbx add --root DIR --user u --date 2030/05/01 'MEM001=歯医者 [10:30]'\n",
       CmdAdd},
      {"edit",
       "--root DIR --user NAME [--division N] (--date D | --page P --line L) --serial S FIELD=VALUE... "
       "[--turn "
       "A|B|C|D]",
       "記録を 1 件書き換える",
       "  --division N|NAME   分類の位置（0 から）または名前\n"
       "  --serial S          記録の行連番\n"
       "  --today yyyy/mm/dd  更新日とする日（既定は今日）\n"
       "  FIELD               項目（DAT001, MEM001）か入力画面に出る項目名\n"
       "  IMG001=PATH         写真欄の JPEG（縮小画像も作ります）。IMG001= で外す\n"
       "  --turn A|B|C|D      写真を撮ったまま、右に 90, 180, 270 度回して\n"
       "例: jbx edit --root DIR --user u --date 2030/05/01 --serial 1 場所=本社\n",
       CmdEdit},
      {"rm", "--root DIR --user NAME [--division N] (--date D | --page P --line L) --serial S",
       "記録を 1 件削除する",
       "  --division N|NAME   分類の位置（0 から）または名前\n"
       "  --serial S          記録の行連番（写真の縮小画像も消します）\n"
       "例: jbx rm --root DIR --user u --date 2030/05/01 --serial 1\n",
       CmdRm},
      {"backup", "--root DIR --user NAME [--to FOLDER]",
       "ユーザーのデータ一式をバックアップファイル（%s_%d.mbk）に書く",
       "書き終えて読み返せたときだけ前の世代と入れ替えます。\n例: jbx backup --root DIR --user u --to "
       "/media/usb\n",
       CmdBackup},
      {"restore", "--root DIR ARCHIVE.mbk --as NAME [--yes]", "バックアップファイルをユーザーとして復元する",
       "  --yes   既にあるユーザーを上書きする（無いと断ります）\n例: jbx restore --root DIR u_1.mbk --as "
       "u2\n",
       CmdRestore},
      {"calc", "--division-dir DIR --formula TEXT [--decimals N] [DATnnn=VALUE...]",
       "計算式を 1 つ計算する（入力画面の計算項目と同じ計算）",
       "  --division-dir DIR  表（hyo%02d.dat）を探す分類のフォルダー\n"
       "  --decimals N        結果の小数桁数\n"
       "例: jbx calc --division-dir . --formula =DAT001*DAT002 DAT001=3 DAT002=4\n",
       CmdCalc},
      {"export",
       "--root DIR --user NAME [--division N] [--columns CAPTION,...] [--view yyyy/mm|PAGE] [--no-header]\n"
       "           [--memo-break TEXT] [--utf8] [--formula-guard] [--today yyyy/mm/dd] OUT.csv",
       "分類の記録を CSV ファイルに書き出す（エクスポート画面と同じ処理）",
       "  --division N|NAME   分類の位置（0 から）または名前\n"
       "  --columns A,B       書く列の名前（年月日, 曜日, 入力画面の項目名, テキスト色, 背景色, 更新日, "
       "登録日\n"
       "                      など）。既定はすべての列\n"
       "  --view yyyy/mm      その月（ページで管理する分類ではページ）の表示中の行だけを書く\n"
       "  --no-header         列名の行を付けない\n"
       "  --memo-break TEXT   値の中の改行を TEXT に置き換える（例 \"<BR>\"）\n"
       "  --utf8              UTF-8 (BOM付き) で書く（既定は Shift-JIS）\n"
       "  --formula-guard     = + - @ で始まる値の前に ' を付ける（表計算ソフト向け）\n"
       "拡張子の無い名前には .CSV が付きます。同じ名前のファイルは置き換えます。\n"
       "JotBoxExp.dat と Path.dat は読みも書きもしません。\n"
       "例: jbx export --root DIR --user u --division 家計簿 --columns 年月日,品目,金額 kakei.csv\n",
       CmdExport},
      {"import",
       "--root DIR --user NAME [--division N] [--replace] [--utf8] [--formula-guard] [--today yyyy/mm/dd] "
       "IN.csv",
       "CSV ファイルの記録を分類に取り込む（インポート画面と同じ処理）",
       "  --replace         全データ入替（既定は追加）\n"
       "  --utf8            BOM の無い UTF-8 として読む（BOM があれば指定が無くても UTF-8）\n"
       "  --formula-guard   エクスポートが付けた ' を外す\n"
       "  --today D         今日とする日（安全のためのコピー BKyyyymmdd.csv と更新日・登録日）\n"
       "先頭行は列名です。ファイル全体を検査してから書き込み、途中で失敗したときは何も変えません。\n"
       "取り込む前に、その日の安全のためのコピー（分類のフォルダーの BKyyyymmdd.csv）を作ります。\n"
       "例: jbx import --root DIR --user u --division 1 --replace kakei.csv\n",
       CmdImport},
      {"ics",
       "export|import --root DIR --user NAME [--division N] [--zone ZONE] [--today yyyy/mm/dd]\n"
       "           [--days DAYS.ics] [--from yyyy/mm/dd] [--to yyyy/mm/dd] [--map PART=項目名,...] FILE.ics",
       "分類の記録をカレンダー (iCalendar) に書き出す、カレンダーの予定を分類に取り込む",
       "  export            記録 1 件を予定 1 件 (VEVENT) として書く。時刻の無い記録は終日の予定\n"
       "  import            予定を日付ごとに取り込む。前に取り込んだ予定 (同じ UID) は更新する\n"
       "  --zone ZONE       時刻のタイムゾーン（既定は TZ か /etc/localtime、無ければ Asia/Tokyo）\n"
       "  --days DAYS.ics   export: 祝日と記念日を別のカレンダーファイルに書く（--from から --to まで）\n"
       "  --from, --to      import: 取り込む期間。繰り返しの予定はこの期間に展開する（既定は今年と来年）\n"
       "  --map PART=項目名 import: summary, description, location, start, end の取り込み先（- "
       "は取り込まない）\n"
       "  --today D         今日とする日（安全のためのコピー BKyyyymmdd.csv と更新日・登録日）\n"
       "取り込みはファイル全体を検査してから書き込みます。取り込めない予定が 1 件でもあれば、理由を添えて\n"
       "その予定を書き、何も変えません。取り込む前に、その日の安全のためのコピーを作ります。\n"
       "例: jbx ics export --root DIR --user u --division 予定表 yotei.ics\n"
       "    jbx ics import --root DIR --user u --division 予定表 --from 2027/01/01 --to 2027/12/31 "
       "phone.ics\n",
       CmdIcs},
      {"merge-conflicts", "--root DIR --user NAME [--division N] [--yes]",
       "同期ツールが残した競合コピーを分類に統合する",
       "  --yes   統合する（無いときは統合するコピーの名前を書くだけ）\n"
       "「dt202612.sync-conflict-….jdt」「dt202612 (… conflicted copy ….jdt」のようなコピーの記録を、\n"
       "年月日と行連番で元の月に統合します。同じ記録は一度だけ、内容の違う記録は新しい行として残します。\n"
       "統合したコピーは「<コピー>.merged-yyyymmdd」として残し、削除しません。\n"
       "alarm.dat・jbxuser.jpr・divin.jpr・color.dat・holiday.dat・kinen.dat のコピーも、\n"
       "アラーム・名前・規則ごとに統合します。\n"
       "設定ファイル（jbxuser.ini, jotbox.ini）のコピーは名前を書くだけで統合しません。\n"
       "例: jbx merge-conflicts --root DIR --user u --division 日記 --yes\n",
       CmdMergeConflicts},
      {"csv", "FILE [--header] [--utf8]", "CSV ファイルを読み、1 レコードを 1 行の JSON 配列で書く",
       "  --header   先頭行を列名として読み、最初の行にその配列を書く\n"
       "  --utf8     BOM の無い UTF-8 として読む\n"
       "読めないレコードがあれば、その前までを書いてレコード番号とエラーを出し、終了コード 1 です。\n"
       "例: jbx csv kakei.csv --header\n",
       CmdCsv},
      {"pickout",
       "(--division-dir DIR | --root DIR --user NAME [--division N]) [FILE.pit | FILE.pic | --method NAME]\n"
       "           [条件のオプション] [--shown yyyy/mm/dd] [--page N] [--run [--header]] [--json]",
       "抽出の条件式と並び順を作り、--run で抽出した記録やグループの集計を書く",
       "  --division-dir DIR   分類のフォルダー（scrin.jsc, color.dat, pickout.lst のあるところ）\n"
       "  --root/--user/--division   データフォルダー、ユーザー名、分類（位置か名前）\n"
       "  FILE.pit | FILE.pic  抽出条件ファイル;  --method NAME  保存した抽出方法（（前の内容）も可）\n"
       "  --shown yyyy/mm/dd   画面に出ている日（当月・当年の基準、既定は今日）;  --page N  画面のページ\n"
       "条件のオプション（抽出条件設定の画面と同じ規則で設定します）:\n"
       "  --mode page|list|group   表示モード;  --period all|month|year|range;  --from/--to TEXT\n"
       "  --where 項目=値       条件値（何度でも、'*会議*' のように * が使えます、IS NULL も可）\n"
       "  --sort 項目[:desc]    並び番号 1, 2, 3 の順に;  --group 項目[:サイズ]  グループの項目\n"
       "  --agg 項目=SUM|MIN|MAX|COUNT|AVG|NONE   集約種類（グループ表示）\n"
       "  --search TEXT [--field 項目] [--kind equal|begins|ends|contains] [--case]   簡易の検索\n"
       "  --with-color-only  色のみの記録も対象;  --key-desc  期間降順;  --lines N  表示行数\n"
       "出力: 1 行目が条件式、2 行目が並び順。--run ではタブ区切りの記録（キー項目、行連番、各項目）、\n"
       "グループ表示ではグループの項目と集約の列。条件が受け付けられなければ、その理由で終了コード 1 です。\n"
       "書き込みはしません（pickout.pit も書き換えません）。\n"
       "例: jbx pickout --root DIR --user u --division 家計簿 --period year --where 分類='*食費*' --group "
       "分類 "
       "--run\n",
       CmdPickout},
      {"find", "--root DIR --user NAME [--division N] [--field NAME] [--kind 0..3] [--case] [--fold] TEXT",
       "検索画面と同じ条件で分類の記録を探し、見つかった順に書く",
       "  --division N|NAME   分類の位置（0 から）または名前\n"
       "  --field NAME        探す項目（入力画面の項目名か項目。既定は（全て））\n"
       "  --kind 0..3         0 完全に一致, 1 先頭文字が一致, 2 最後の文字が一致, 3 "
       "一致する文字がある（既定）\n"
       "  --case              大文字小文字を判断する\n"
       "  --fold              全角・半角を区別しない（ＡＢＣ = ABC, ｶﾀｶﾅ = カタカナ）\n"
       "順は最初の表示画面が見せる順です（月表ならキー項目、行連番の順）。検索文字列は 30 文字までです。\n"
       "1 件 1 行で「キー項目<TAB>行連番<TAB>項目名<TAB>値」。値の \\ TAB CR LF は \\\\ \\t \\r \\n。\n"
       "見つからなければ何も書かずに終了コード 1 です。\n"
       "例: jbx find --root DIR --user u --kind 3 歯医者\n",
       CmdFind},
      {"alarms", "--root DIR --user NAME [--now \"yyyy/mm/dd hh:mm\"] [--due | --missed]",
       "アラームの一覧、その時刻に鳴るアラーム、見逃したアラームを書く",
       "  --now \"yyyy/mm/dd hh:mm\"  その時刻として（既定は今）\n"
       "  --due     その分に鳴るアラーム（1 回に 1 件、タイマーと同じ）を書き、停止して alarm.dat に書く\n"
       "  --missed  起動時に「見逃したアラーム」として出るもの（過ぎて 7 日以内で未使用）を書く\n"
       "出力: アラーム設定の一覧と同じ行（\"-\" は停止中）。--due と --missed がなければ読むだけです。\n"
       "例: jbx alarms --root DIR --user u --now \"2026/12/09 10:30\" --due\n",
       CmdAlarms},
  };
  return kTable;
}

const Command* Find(const std::string& name) {
  for (const auto& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

namespace {

void Overview(FILE* out) {
  std::fprintf(out, "jbx %s - ひとこと帳のコマンドラインツール\n\n使い方:\n", JBX_VERSION);
  for (const auto& c : Commands()) std::fprintf(out, "  jbx %-9s %s\n", c.name, c.summary);
  std::fprintf(out,
               "\n各コマンドの使い方は jbx COMMAND --help。\n"
               "終了コード: 0 成功、1 処理の失敗、2 使い方の誤り。\n");
}

void Help(const Command& c) {
  std::printf("使い方: jbx %s %s\n\n%s\n\n%s", c.name, c.synopsis, c.summary, c.details);
}

bool IsHelp(const std::string& a) { return a == "--help" || a == "-h"; }

// A subcommand reads "--name=VALUE" as "--name VALUE", whether it reads its
// options with Args or by hand.
std::vector<std::string> Words(int argc, char** argv) {
  std::vector<std::string> words;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const size_t eq = a.find('=');
    if (i > 0 && a.compare(0, 2, "--") == 0 && eq != std::string::npos && eq > 2) {
      words.push_back(a.substr(0, eq));
      words.push_back(a.substr(eq + 1));
    } else {
      words.push_back(a);
    }
  }
  return words;
}

// --user and --division name a folder below --root: a name that is not one
// folder name would reach outside it. Refused before the subcommand reads a
// file, with the message the window's name dialogs show.
std::string NameProblem(const Command& c, const std::vector<std::string>& words) {
  const bool user = std::strstr(c.synopsis, "--user") != nullptr;
  const bool division = std::strstr(c.synopsis, "--division ") != nullptr;
  for (size_t i = 1; i + 1 < words.size(); ++i) {
    std::string sj;
    const bool isUser = user && words[i] == "--user", isDivision = division && words[i] == "--division";
    if (!isUser && !isDivision) continue;
    // a name without CP932 is refused by the subcommand itself; its bytes
    // are the same test here
    if (cp932::FromUtf8(words[i + 1], sj) != 0) sj = words[i + 1];
    const std::string problem =
        isUser ? username::Message(username::Check(sj)) : divisionmaker::NameProblem(sj);
    if (problem.empty()) continue;
    std::string said = cp932::ToUtf8(problem);
    const std::string stop = "。";
    if (said.size() > stop.size() && said.compare(said.size() - stop.size(), stop.size(), stop) == 0)
      said.resize(said.size() - stop.size());
    return said + ": " + words[i + 1];
  }
  return {};
}

// What a failed write to stdout was, in words.
std::string WriteFailure(int error) {
  switch (error) {
    case EPIPE:
      return "読み手が先に終わりました";
    case ENOSPC:
      return "空き容量がありません";
    case EIO:
      return "入出力エラーです";
    case 0:
      return "書き込めませんでした";
    default:
      return "エラー " + std::to_string(error);
  }
}

// jbx links no Qt: a subcommand that draws is run by jbx-draw from the
// program folder, with the same arguments, in this process's place, so its
// output, messages and exit code are this command's.
int HandOff(const Command& c, char** argv) {
  const std::string path = syspaths::ProgramFolder() + "/jbx-draw";
  std::fflush(nullptr);
  argv[0] = const_cast<char*>(path.c_str());
  ::execv(path.c_str(), argv);
  const int error = errno;
  return Fail(c.name,
              (error == ENOENT ? "描画の部品が見つかりません: " : "描画の部品を起動できません: ") + path);
}

int Dispatch(int argc, char** argv, const std::vector<Drawer>& drawers, std::string& sub) {
  if (argc < 2) {
    Overview(stderr);
    return kUsage;
  }
  const std::string first = argv[1];
  if (IsHelp(first) || first == "help") {
    if (first == "help" && argc > 2) {
      if (const Command* c = Find(argv[2])) {
        Help(*c);
        return kSuccess;
      }
    }
    Overview(stdout);
    return kSuccess;
  }
  if (first == "--version" || first == "-V") {
    std::printf("jbx %s\n", JBX_VERSION);
    return kSuccess;
  }
  const Command* c = Find(first);
  if (!c) {
    std::fprintf(stderr, "jbx: そのようなコマンドはありません: %s\n\n", first.c_str());
    Overview(stderr);
    return kUsage;
  }
  sub = c->name;
  for (int i = 2; i < argc; ++i) {
    if (IsHelp(argv[i])) {
      Help(*c);
      return kSuccess;
    }
  }
  std::vector<std::string> words = Words(argc - 1, argv + 1);
  if (const std::string why = NameProblem(*c, words); !why.empty()) return UsageError(c->name, why);
  auto run = c->run;
  if (run == kDrawing) {
    if (drawers.empty()) return HandOff(*c, argv);
    for (const Drawer& d : drawers)
      if (sub == d.name) run = d.run;
    if (run == kDrawing) return Fail(c->name, "このビルドには画面がありません");
  }
  std::vector<char*> args;
  for (std::string& w : words) args.push_back(w.data());
  args.push_back(nullptr);
  return run(static_cast<int>(words.size()), args.data());
}

}  // namespace

int Main(int argc, char** argv, const std::vector<Drawer>& drawers) {
  // A reader that went away is a failed write like any other, said below,
  // not a silent end by signal.
  std::signal(SIGPIPE, SIG_IGN);
  std::string sub;
  const int rc = Dispatch(argc, argv, drawers, sub);
  // Values are the work: when they did not all reach stdout the work failed.
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0 && !std::ferror(stdout);
  const int error = errno;
  if (flushed && std::fclose(stdout) == 0) return rc;
  std::fprintf(stderr, "jbx%s%s: 標準出力に書けませんでした: %s\n", sub.empty() ? "" : " ", sub.c_str(),
               WriteFailure(flushed ? errno : error).c_str());
  return rc == kSuccess ? kFailed : rc;
}

void AppendEscaped(std::string& line, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\r':
        line += "\\r";
        break;
      case '\n':
        line += "\\n";
        break;
      default:
        line += c;
    }
  }
}

int Fail(const std::string& sub, const std::string& message) {
  std::fprintf(stderr, "jbx %s: %s\n", sub.c_str(), message.c_str());
  return kFailed;
}

int UsageError(const std::string& sub, const std::string& why) {
  const Command* c = Find(sub);
  if (!why.empty()) std::fprintf(stderr, "jbx %s: %s\n", sub.c_str(), why.c_str());
  if (c) std::fprintf(stderr, "使い方: jbx %s %s\n", c->name, c->synopsis);
  std::fprintf(stderr, "詳しくは jbx %s --help\n", sub.c_str());
  return kUsage;
}

std::string FileProblem(const std::string& path) {
  if (!fileops::Exists(path)) return "ファイルが見つかりません: " + path;
  if (fileops::IsDir(path)) return "フォルダです（ファイルを指定してください）: " + path;
  if (!fileops::IsFile(path)) return "普通のファイルではありません: " + path;
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (!fp) return "ファイルを読めません: " + path;
  std::fclose(fp);
  return {};
}

Args::Args(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) args_.emplace_back(argv[i]);
}

bool Args::Flag(const std::string& name) {
  bool found = false;
  for (size_t i = 0; i < args_.size();) {
    if (args_[i] == name) {
      args_.erase(args_.begin() + static_cast<long>(i));
      found = true;
    } else {
      ++i;
    }
  }
  return found;
}

bool Args::Value(const std::string& name, std::string& out) {
  bool found = false;
  for (size_t i = 0; i < args_.size();) {
    const std::string& a = args_[i];
    if (a == name) {
      if (i + 1 >= args_.size()) {
        if (error_.empty()) error_ = name + " には値が要ります";
        args_.erase(args_.begin() + static_cast<long>(i));
        return true;
      }
      out = args_[i + 1];
      args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(i) + 2);
      found = true;
    } else if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
      out = a.substr(name.size() + 1);
      args_.erase(args_.begin() + static_cast<long>(i));
      found = true;
    } else {
      ++i;
    }
  }
  return found;
}

bool Args::Int(const std::string& name, int& out, int lo, int hi) {
  std::string text;
  if (!Value(name, text)) return false;
  if (!Ok()) return true;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || !end || *end || v < lo || v > hi) {
    error_ = name + " は " + std::to_string(lo) + " から " + std::to_string(hi) + " の整数です: " + text;
    return true;
  }
  out = static_cast<int>(v);
  return true;
}

const std::vector<std::string>& Args::Rest() {
  for (const auto& a : args_) {
    if (a.size() > 2 && a.compare(0, 2, "--") == 0 && error_.empty()) error_ = "知らないオプションです: " + a;
  }
  return args_;
}

}  // namespace cli
