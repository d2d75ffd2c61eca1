// Renders of small fixed books through the main window's own painting,
// compared with committed reference images (tolerant of anti-aliasing).
// JBX_UPDATE_REFERENCES=1 rewrites the references after a deliberate change.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>

#include "mainview/sheet/CMyView.h"
#include "mainview/window/TfrmMain.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"
#include "ui/WrittenBook.h"

namespace {

QImage Render(const WrittenBook& book, int division, int screen, int year, int month, int page, int w,
              int h) {
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock({2026, 9, 15});
  MainEnvironment env;
  env.prompter = &prompter;
  env.beeper = &beeper;
  env.clock = &clock;
  env.programFolder = JBX_PROGRAM_DIR;
  env.dataRoot = book.Root();
  env.dataHome = book.Root() + "/home";  // never the real home
  env.user = "u";
  env.sheetHeight = h;
  TfrmMain win(env);
  win.FormCreate();
  EXPECT_TRUE(win.Started());
  win.SetSheetHeight(h);
  if (division) win.tab_DivChange(division);
  if (screen) win.tab_ScrChange(screen);
  if (page) win.View()->ShowPage(page);
  if (year) win.View()->ShowMonth(year, month);
  EXPECT_TRUE(prompter.Shown().empty()) << (prompter.Shown().empty() ? "" : prompter.ShownUtf8()[0]);
  return win.RenderSheetImage(w, h);
}

// Share of pixels that differ clearly from the reference.
void ExpectLooksLike(const QImage& img, const char* name) {
  const std::string path = std::string(JBX_SOURCE_DIR) + "/tests/ui/reference/" + name;
  const char* update = std::getenv("JBX_UPDATE_REFERENCES");
  if (update && update[0] == '1') {
    ASSERT_TRUE(img.save(QString::fromStdString(path)));
    return;
  }
  QImage ref(QString::fromStdString(path));
  ASSERT_FALSE(ref.isNull()) << path;
  ASSERT_EQ(ref.size(), img.size());
  QImage a = img.convertToFormat(QImage::Format_RGB32), b = ref.convertToFormat(QImage::Format_RGB32);
  long differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      int d = std::max(
          {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
      if (d > 96) ++differing;
    }
  }
  const double share = static_cast<double>(differing) / (a.width() * a.height());
  if (share > 0.004) img.save(QString::fromStdString(std::string("/tmp/") + name));
  EXPECT_LE(share, 0.004) << name << ": " << differing << " pixels differ; the render is in /tmp/" << name;
}

}  // namespace

TEST(SheetRender, DiaryMonthWithHolidaysTodayAndEntries) {
  WrittenBook book;
  book.AddDivision(
      "日記帳", 0,
      {{"2026/09/01", {{memo::kMark, "◎"}, {memo::kMem001, "新学期が始まった。"}, {memo::Dat(1), "晴れ"}}},
       {"2026/09/05", {{memo::kTimeF, "10:00"}, {memo::kMem001, "図書館で読書"}, {memo::Dat(1), "曇り"}}},
       {"2026/09/05", {{memo::kTimeF, "19:30"}, {memo::kMem001, "友人と夕食"}, {memo::kCr002, "13162495"}}},
       {"2026/09/21", {{memo::kMark, "☆"}, {memo::kMem001, "敬老の日。祖母に電話した。"}}},
       {"2026/09/22", {{memo::kMem001, "連休の中日"}, {memo::kCr001, "255"}}}});
  ExpectLooksLike(Render(book, 0, 0, 2026, 9, 0, 440, 520), "diary-2026-09.png");
  // the second screen lists the entries, newest first
  ExpectLooksLike(Render(book, 0, 1, 0, 0, 0, 440, 200), "diary-list.png");
}

TEST(SheetRender, HouseholdMonthWithTotalAndNotebookPage) {
  WrittenBook book;
  book.AddDivision("家計簿", 2,
                   {{"2026/05/02",
                     {{memo::Dat(1), "スーパー"},
                      {memo::Dat(2), "食費"},
                      {memo::Dat(3), "食料品"},
                      {memo::Dat(6), "3240"},
                      {memo::Dat(7), "現金"}}},
                    {"2026/05/06",
                     {{memo::Dat(1), "電気代"},
                      {memo::Dat(2), "水道光熱"},
                      {memo::Dat(3), "電気"},
                      {memo::Dat(6), "8120"},
                      {memo::Dat(7), "口座振替"}}}});
  book.AddDivision("ノート", 3,
                   {{"00001/00001", {{memo::Dat(1), "買い物"}, {memo::kMem001, "牛乳、卵、パン"}}},
                    {"00001/00003", {{memo::kMem001, "週末に洗車する"}}}});
  ExpectLooksLike(Render(book, 0, 0, 2026, 5, 0, 440, 400), "household-2026-05.png");
  ExpectLooksLike(Render(book, 1, 0, 0, 0, 1, 440, 300), "notebook-page-1.png");
}
