// jbx sheet: the editing commands of the main window's sheet (delete, paste,
// moving lines, lines and pages of a notebook, colours) on real files,
// through the window's own editing code, off screen.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "alarm/CMyAlarm.h"
#include "cli/Cli.h"
#include "cli/CliWindow.h"
#include "cli/Commands.h"
#include "cli/OffscreenMain.h"
#include "mainview/editing/EditCommands.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "shell/CivilDays.h"
#include "store/MemoSchema.h"

namespace {

int Usage(const std::string& why = {}) { return cli::UsageError("sheet", why); }

// Messages to stderr; every question answered by --yes (else No).
class SheetPrompter : public Prompter {
 public:
  explicit SheetPrompter(bool yes) : yes_(yes) {}
  int Show(const std::string& text, const std::string& caption, PromptIcon, PromptButtons buttons,
           int) override {
    ++shown;
    std::fprintf(stderr, "jbx sheet: %s: %s\n", cp932::ToUtf8(caption).c_str(), cp932::ToUtf8(text).c_str());
    if (buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel) return kAnswerOk;
    return yes_ ? kAnswerYes : kAnswerNo;
  }
  int shown = 0;

 private:
  bool yes_;
};

struct Args {
  std::string root, user, division = "0", today, verb;
  std::string key, serial, from, to, direction;
  int page = 0, line = 0, panel = 0;
  bool cut = false, yes = false, f6 = false;
};

bool Number(const char* v, int& out) {
  if (!v || !*v || std::strspn(v, "0123456789") != std::strlen(v) || std::strlen(v) > 5) return false;
  out = std::atoi(v);
  return true;
}

}  // namespace

int CmdSheet(int argc, char** argv) {
  Args a;
  for (int i = 1; i < argc; ++i) {
    std::string s = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (s == "--root" && (v = next()))
      a.root = v;
    else if (s == "--user" && (v = next()))
      a.user = v;
    else if (s == "--division" && (v = next()))
      a.division = v;
    else if (s == "--today" && (v = next()))
      a.today = v;
    else if (s == "--key" && (v = next()))
      a.key = v;
    else if (s == "--serial" && (v = next()))
      a.serial = v;
    else if (s == "--from" && (v = next()))
      a.from = v;
    else if (s == "--to" && (v = next()))
      a.to = v;
    else if (s == "--page") {
      if (!Number(next(), a.page)) return Usage("--page は 1 から 99999 の数です");
    } else if (s == "--line") {
      if (!Number(next(), a.line)) return Usage("--line は 1 から 99999 の数です");
    } else if (s == "--panel") {
      if (!Number(next(), a.panel) || a.panel < 1 || a.panel > 3) return Usage("--panel は 1, 2, 3 です");
    } else if (s == "--cut")
      a.cut = true;
    else if (s == "--yes")
      a.yes = true;
    else if (s == "--f6")
      a.f6 = true;
    else if (s.compare(0, 2, "--") == 0)
      return Usage("知らないオプションか、値がありません: " + s);
    else if (a.verb.empty())
      a.verb = s;
    else if (a.verb == "move" && a.direction.empty())
      a.direction = s;
    else
      return Usage("余分な引数です: " + s);
  }
  if (a.root.empty()) return Usage("--root がありません");
  if (a.user.empty()) return Usage("--user がありません");
  static const char* const kVerbs[] = {"delete",      "paste",       "move",        "insert-line",
                                       "delete-line", "insert-page", "delete-page", "colour"};
  bool known = false;
  for (const char* k : kVerbs) known = known || a.verb == k;
  if (!known) return Usage(a.verb.empty() ? "コマンドがありません" : "知らないコマンドです: " + a.verb);
  const bool byKey = a.verb == "delete" || a.verb == "move" || a.verb == "colour";
  if (byKey && a.key.empty()) return Usage("--key がありません");
  if ((a.verb == "delete" || a.verb == "move") && a.serial.empty()) return Usage("--serial がありません");
  if (a.verb == "move" && a.direction != "up" && a.direction != "down") return Usage("up か down を書きます");
  if (a.verb == "paste" && (a.from.find(':') == std::string::npos || a.to.empty()))
    return Usage("--from K:S と --to K2 が要ります");
  if ((a.verb == "insert-line" || a.verb == "delete-line") && (a.page < 1 || a.line < 1))
    return Usage("--page と --line が要ります");
  if ((a.verb == "insert-page" || a.verb == "delete-page") && a.page < 1) return Usage("--page が要ります");
  if (a.verb == "colour" && (a.panel == 0) == !a.f6) return Usage("--panel N か --f6 のどちらかを書きます");
  CivilDate todayDate = SystemClock().Today();
  if (!a.today.empty() && !civil::ParseYmd(a.today, todayDate))
    return Usage("--today が日付ではありません: " + a.today);

  const int division = cliwindow::DivisionIndex(a.root, a.user, a.division);
  const std::string missing =
      cliwindow::MissingPart(a.root, a.user, division < 0 ? std::atoi(a.division.c_str()) : division, 0);
  if (!missing.empty()) return cli::Fail("sheet", missing);
  if (division < 0) return cli::Fail("sheet", "分類がありません: " + a.division);

  SheetPrompter prompter(a.yes);
  OffscreenMain main(prompter, todayDate, a.root, a.user, 100000);  // every row of a month or page laid out
  const OffscreenMain::Result opened = main.Open(division, 0);
  if (opened == OffscreenMain::kNoBook) return cli::Fail("sheet", "分類を開けません: " + a.user);
  TfrmMain& w = main.Window();
  CountingBeeper& beeper = main.beeper;
  if (opened != OffscreenMain::kOpen || w.CurrentDivision() != division)
    return cli::Fail("sheet", "分類を開けません: " + a.division);
  EditCommands edit(w.Context(), w.EditPort());
  CMyView& view = *w.View();
  const bool byPage = view.DataKind() == CMyView::kPageKind;
  if (view.DisplayMode() != CMyView::kSheetMode) view.SetDisplayMode(CMyView::kSheetMode);
  auto select = [&](const std::string& key, const std::string& serial) {
    if (edit.SelectRow(cp932::FromUtf8(key), cp932::FromUtf8(serial))) return true;
    std::fprintf(stderr, "jbx sheet: 行が見つかりません: %s%s%s\n", key.c_str(), serial.empty() ? "" : " ",
                 serial.c_str());
    return false;
  };
  auto alarmBytes = [&w] {
    std::string all;
    for (const AlarmEntry& e : w.Alarms()->Entries()) all += CMyAlarm::EntryBytes(e);
    return all;
  };
  const std::string alarmsBefore = alarmBytes();
  const int shownBefore = prompter.shown;
  bool ok = true;
  edit.ClearChanges();
  if (a.verb == "delete") {
    ok = select(a.key, a.serial) && edit.DeleteRowRecord(view.CursorRow());
  } else if (a.verb == "paste") {
    const size_t colon = a.from.find(':');
    ok = select(a.from.substr(0, colon), a.from.substr(colon + 1));
    if (ok) {
      edit.mnuEditCopy(a.cut ? 1 : 0);
      ok = select(a.to, {}) && edit.PasteRecord(false);
    }
  } else if (a.verb == "move") {
    ok = select(a.key, a.serial);
    if (ok) edit.SwapLine(a.direction == "up" ? -1 : 1);
  } else if (a.verb == "insert-line" || a.verb == "delete-line") {
    if (!byPage) return cli::Fail("sheet", "行番号を扱えるのはページ単位の分類だけです");
    const std::string key = memo::PageKey(a.page, a.line);
    ok = select(key, {});
    if (ok) {
      const int rc = edit.ShiftLines(a.page, view.CursorRow(), a.verb == "insert-line" ? 1 : -1);
      if (rc == 1) return cli::Fail("sheet", "複数のレコードがある行です。削除するには --yes を付けます");
      ok = rc == 0;
    }
  } else if (a.verb == "insert-page" || a.verb == "delete-page") {
    if (!byPage) return cli::Fail("sheet", "ページを扱えるのはページ単位の分類だけです");
    view.ShowPage(a.page);
    ok = edit.ShiftPages(a.page, a.verb == "insert-page" ? 1 : -1, true) == 0;
  } else if (a.verb == "colour") {
    ok = select(a.key, a.serial);
    if (ok) {
      if (a.f6)
        edit.KeyF6();
      else
        edit.ColorPanelClick(a.panel);
    }
  }
  if (beeper.Count() > 0 && prompter.shown == shownBefore)
    std::fprintf(stderr, "jbx sheet: この行には %s を使えません\n", a.verb.c_str());
  bool failed = !ok || beeper.Count() > 0;
  // the window keeps its alarms until it closes; the tool writes them at once
  if (alarmBytes() != alarmsBefore && !w.Alarms()->Save(w.Global()->UserPath("alarm.dat"))) {
    std::fprintf(stderr, "jbx sheet: アラームを保存できませんでした: alarm.dat\n");
    failed = true;
  }
  for (const std::string& change : edit.Changes()) std::printf("%s\n", cp932::ToUtf8(change).c_str());
  w.FormClose();
  return failed ? cli::kFailed : cli::kSuccess;
}
