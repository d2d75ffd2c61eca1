// Printing as a person meets it: PDFs of fixed books from `jbx print`,
// turned into pictures with pdftoppm and compared with committed references
// (tolerant of anti-aliasing), and the file menu's printing items driven in
// the window with the dialogs and the file chooser answered by script.
// JBX_UPDATE_REFERENCES=1 rewrites the references after a deliberate change;
// JBX_KEEP_PDF=DIR keeps the PDFs made there, to look at.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QStatusBar>
#include <cstdlib>

#include "catalogue/ScreenWriter.h"
#include "cli/JbxRun.h"
#include "mainview/printing/PrintActions.h"
#include "mainview/printing/QtPrint.h"
#include "mainview/printing/TfrmPageSetup.h"
#include "screens/CMyScr.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"
#include "ui/WrittenBook.h"

namespace {

constexpr int kDpi = 50;  // A4 is 413 x 585 pixels: small files, rows still apart
constexpr long kStrayPixels = 40;

// The diary's month screen with rows that grow with their memo lines, the
// memo written on as many lines as it has.
void GrowMemos(const WrittenBook& book, const char* division, const char* screen) {
  const std::string path = book.Root() + "/u/" + division + "/" + screen;
  CMyScr scr;
  ASSERT_EQ(0, scr.LoadScreen(path));
  ScreenDoc doc;
  doc.layout = scr.Layout();
  doc.layout.options |= 1 << 5;
  for (int i = 0; i < scr.ItemCount(); ++i) {
    const CMyScr::Item& it = scr.GetItem(i);
    ScreenItemDoc item{it.head, it.font.Record(), it.font.Text()};
    if (it.head.field == "MEM001") item.font.vplace = 0;
    doc.items.push_back(item);
  }
  for (int t = 0; t < 3; ++t) doc.texts[static_cast<size_t>(t)] = scr.Text(t);
  ASSERT_EQ(0, WriteScreenFile(path, doc));
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// The pages of a PDF as pictures.
std::vector<QImage> Pages(const std::string& pdf) {
  TempDir out;
  const std::string cmd =
      "pdftoppm -r " + std::to_string(kDpi) + " -png " + Quote(pdf) + " " + Quote(out / "p") + " 2>&1";
  EXPECT_EQ(0, std::system(cmd.c_str())) << cmd;
  std::vector<QImage> pages;
  for (int n = 1;; ++n) {
    // pdftoppm pads the page number to the width of the last one
    QImage img;
    for (const char* pad : {"%d", "%02d", "%03d"}) {
      char num[8];
      std::snprintf(num, sizeof num, pad, n);
      if (img.load(QString::fromStdString(out / ("p-" + std::string(num) + ".png")))) break;
    }
    if (img.isNull()) break;
    pages.push_back(img.convertToFormat(QImage::Format_RGB32));
  }
  return pages;
}

int Distance(QRgb p, QRgb q) {
  return std::max(
      {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
}

// A pixel differs when nothing within one pixel of it in the other picture
// is close to it: edges that moved by anti-aliasing are not differences.
long Differing(const QImage& a, const QImage& b) {
  long n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) {
          const int xx = x + dx, yy = y + dy;
          if (xx < 0 || yy < 0 || xx >= b.width() || yy >= b.height()) continue;
          near = Distance(a.pixel(x, y), b.pixel(xx, yy)) <= 96;
        }
      if (!near) ++n;
    }
  return n;
}

void ExpectPagesLookLike(const std::string& pdf, const std::string& name, size_t pageCount) {
  const std::vector<QImage> pages = Pages(pdf);
  ASSERT_EQ(pageCount, pages.size()) << name;
  const char* update = std::getenv("JBX_UPDATE_REFERENCES");
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string file = name + "-" + std::to_string(i + 1) + ".png";
    const std::string path = std::string(JBX_SOURCE_DIR) + "/tests/print/" + file;
    if (update && update[0] == '1') {
      QImage small = pages[i].convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
      ASSERT_TRUE(small.save(QString::fromStdString(path)));
      continue;
    }
    QImage ref(QString::fromStdString(path));
    ASSERT_FALSE(ref.isNull()) << path;
    ref = ref.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(ref.size(), pages[i].size()) << file;
    const long d = std::max(Differing(pages[i], ref), Differing(ref, pages[i]));
    // a footer moved by 30 mm is some 200 pixels at this size: only a few
    // stray pixels of another rasteriser may differ
    if (d > kStrayPixels) pages[i].save(QString::fromStdString("/tmp/" + file));
    EXPECT_LE(d, kStrayPixels) << file << ": " << d << " pixels differ; the page is in /tmp/" << file;
  }
}

// jbx print into a PDF in `dir`; keeps a copy where JBX_KEEP_PDF says.
RunResult PrintPdf(const WrittenBook& book, const std::string& args, const std::string& pdf) {
  RunResult r = Jbx("print --root " + Quote(book.Root()) + " --user u --today 2026/09/15 " + args +
                    " --pdf " + Quote(pdf));
  if (const char* keep = std::getenv("JBX_KEEP_PDF"))
    (void)fileops::Copy(pdf, std::string(keep) + "/" + fileops::BaseName(pdf));
  return r;
}

WrittenBook& Books() {
  static WrittenBook* book = [] {
    auto* b = new WrittenBook;
    std::vector<BookEntry> diary;
    // long memos: a few lines each, the rows grow to hold them
    diary.push_back({"2026/09/01",
                     {{memo::kMark, "◎"},
                      {memo::kMem001L, "3"},
                      {memo::kMem001, "新学期が始まった。\r\n朝は少し涼しい。\r\n夕方から部活の見学。"},
                      {memo::Dat(1), "晴れ"}}});
    diary.push_back(
        {"2026/09/03",
         {{memo::kMem001L, "4"},
          {memo::kMem001,
           "台風が近づいている。\r\n窓の養生をした。\r\n停電に備えて電池を買う。\r\n夜半に雨が強くなる。"},
          {memo::Dat(1), "雨"}}});
    diary.push_back({"2026/09/05", {{memo::kTimeF, "10:00"}, {memo::kMem001, "図書館で読書"}}});
    diary.push_back({"2026/09/05", {{memo::kTimeF, "19:30"}, {memo::kMem001, "友人と夕食"}}});
    diary.push_back({"2026/09/10",
                     {{memo::kMem001L, "5"},
                      {memo::kMem001,
                       "健康診断。\r\n朝食抜きで病院へ。\r\n採血が少し痛い。\r\n結果は二週間後。\r\n帰りに本"
                       "屋に寄る。"}}});
    diary.push_back({"2026/09/12",
                     {{memo::kMem001L, "6"},
                      {memo::kMem001,
                       "家族で海へ。\r\n渋滞で二時間かかった。\r\n波が高く泳げず。\r\n貝殻を拾う。\r\n夕日が"
                       "きれいだった。\r\n"
                       "帰りは寝てしまった。"},
                      {memo::Dat(1), "晴れ"}}});
    diary.push_back({"2026/09/25",
                     {{memo::kMem001L, "5"},
                      {memo::kMem001,
                       "月末の締め切り。\r\n資料を三本仕上げる。\r\n昼は食べそびれた。\r\n夜に一本残る。\r\n"
                       "明日の朝に回す。"}}});
    diary.push_back(
        {"2026/09/21",
         {{memo::kMark, "☆"}, {memo::kMem001L, "2"}, {memo::kMem001, "敬老の日。\r\n祖母に電話した。"}}});
    b->AddDivision("日記帳", 0, diary);
    GrowMemos(*b, "日記帳", "月表.jos");
    b->AddDivision("家計簿", 2,
                   {{"2026/09/02",
                     {{memo::Dat(1), "スーパー"},
                      {memo::Dat(2), "食費"},
                      {memo::Dat(3), "食料品"},
                      {memo::Dat(6), "3240"},
                      {memo::Dat(7), "現金"}}},
                    {"2026/09/06",
                     {{memo::Dat(1), "電気代"},
                      {memo::Dat(2), "水道光熱"},
                      {memo::Dat(3), "電気"},
                      {memo::Dat(6), "8120"},
                      {memo::Dat(7), "口座振替"}}}});
    b->AddDivision("ノート", 3,
                   {{"00001/00001", {{memo::Dat(1), "買い物"}, {memo::kMem001, "牛乳、卵、パン"}}},
                    {"00001/00003", {{memo::kMem001, "週末に洗車する"}}}});
    return b;
  }();
  return *book;
}

}  // namespace

class PrintPdfTest : public ::testing::Test {
 protected:
  TempDir out;
};

TEST_F(PrintPdfTest, ADiaryMonthWithLongMemosGrowsItsRows) {
  const std::string pdf = out / "diary-2026-09.pdf";
  RunResult r = PrintPdf(Books(), "--month 2026/09 --paper B5", pdf);
  ASSERT_EQ(0, r.status) << r.all();
  EXPECT_EQ("2\n", r.out);
  ExpectPagesLookLike(pdf, "diary-2026-09", 2);
}

TEST_F(PrintPdfTest, ANotebookPageAndAHouseholdMonthWithItsTotal) {
  RunResult r = PrintPdf(Books(), "--division ノート --page 1", out / "notebook.pdf");
  ASSERT_EQ(0, r.status) << r.all();
  ExpectPagesLookLike(out / "notebook.pdf", "notebook-page-1", 1);
  // the household month's footer with the month's total at the bottom margin
  r = PrintPdf(Books(), "--division 家計簿 --month 2026/09 --head title,page", out / "household.pdf");
  ASSERT_EQ(0, r.status) << r.all();
  ExpectPagesLookLike(out / "household.pdf", "household-2026-09", 1);
}

TEST_F(PrintPdfTest, OnePageFromARowAndPaperThatTakesNothing) {
  // from row 3 of the diary month, one landscape A4 page: only what fits
  RunResult r =
      PrintPdf(Books(), "--month 2026/09 --from-row 3 --one-page --landscape --head none", out / "one.pdf");
  ASSERT_EQ(0, r.status) << r.all();
  ExpectPagesLookLike(out / "one.pdf", "diary-from-row-3", 1);
  // an old PDF stays as it was when nothing can be printed
  const std::string keep = out / "old.pdf";
  WriteBytes(keep, "old");
  const struct {
    const char* args;
    const char* message;
  } kCases[] = {
      {"--month 2026/09 --margins 120,10,120,10", "余白が用紙より大きい"},
      {"--month 2026/09 --from-row 31 --one-page", "印刷するデータがありません。"},
  };
  for (const auto& k : kCases) {
    r = PrintPdf(Books(), k.args, keep);
    EXPECT_EQ(1, r.status) << k.args;
    EXPECT_NE(std::string::npos, r.err.find(k.message)) << r.err;
    EXPECT_EQ("old", ReadBytes(keep)) << k.args;
  }
  // what jbx cannot be asked
  for (const char* bad :
       {"--month 2026/09 --page 1", "", "--month 2026/09 --paper A5", "--month 2026/09 --head all"}) {
    r = PrintPdf(Books(), bad, out / "x.pdf");
    EXPECT_EQ(2, r.status) << bad;
  }
}

// ---- the file menu's items in the window -----------------------------------

namespace {

int PdfPageCount(const std::string& pdf) {
  const std::string cmd = "pdfinfo " + Quote(pdf) + " 2>/dev/null | sed -n 's/^Pages: *//p'";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  char buf[32] = {};
  const size_t n = fread(buf, 1, sizeof buf - 1, p);
  pclose(p);
  return n ? std::atoi(buf) : -1;
}

}  // namespace

TEST(PrintItems, PreviewPrinterAndPdfShowTheSamePages) {
  MainFixture f;
  TfrmMain w(f.As("花子"));
  f.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  w.SetSheetHeight(400);
  w.View()->ShowMonth(2026, 12);
  for (const char* item :
       {"mnuFilePrnSetup", "mnuFilePreview", "mnuFilePrint", "mnuFileOnePrint", "mnuFilePdf"})
    EXPECT_NE(nullptr, w.findChild<QAction*>(item)) << item;

  // "PDFに出力..." asks for a file and writes the month there
  const std::string pdf = f.dir / "month.pdf";
  f.files.answers.push_back(pdf);
  ASSERT_TRUE(Trigger(w, "mnuFilePdf"));
  ASSERT_EQ(1u, f.files.asked.size());
  EXPECT_TRUE(f.files.asked[0].save);
  const int pages = PdfPageCount(pdf);
  EXPECT_GE(pages, 1);
  EXPECT_EQ(QString::fromStdString("PDFを書き出しました: " + pdf), w.statusBar()->currentMessage());
  // cancelling the chooser writes nothing
  ASSERT_TRUE(Trigger(w, "mnuFilePdf"));
  EXPECT_EQ(pages, PdfPageCount(pdf));

  // the preview draws the same pages
  int previewPages = -1;
  f.dialogs.On<QPrintPreviewDialog>("dlgPrintPreview", [&previewPages](QPrintPreviewDialog& dlg) {
    auto* preview = dlg.findChild<QPrintPreviewWidget*>();
    if (!preview) return 0;
    preview->updatePreview();
    previewPages = preview->pageCount();
    return 0;
  });
  ASSERT_TRUE(Trigger(w, "mnuFilePreview"));
  EXPECT_EQ(pages, previewPages);

  // the print dialog's "print to file" gives the same PDF; cancel prints nothing
  const std::string printed = f.dir / "printed.pdf";
  f.dialogs.On<QPrintDialog>("dlgPrint", [&printed](QPrintDialog& dlg) {
    dlg.printer()->setOutputFileName(QString::fromStdString(printed));
    return QDialog::Accepted;
  });
  ASSERT_TRUE(Trigger(w, "mnuFilePrint"));
  EXPECT_EQ(pages, PdfPageCount(printed));
  const std::string one = f.dir / "one.pdf";
  f.dialogs.On<QPrintDialog>("dlgPrint", [&one](QPrintDialog& dlg) {
    dlg.printer()->setOutputFileName(QString::fromStdString(one));
    return QDialog::Accepted;
  });
  ASSERT_TRUE(Trigger(w, "mnuFileOnePrint"));
  EXPECT_EQ(1, PdfPageCount(one));
  f.dialogs.On<QPrintDialog>("dlgPrint", [](QPrintDialog&) { return QDialog::Rejected; });
  ASSERT_TRUE(fileops::Remove(one));
  ASSERT_TRUE(Trigger(w, "mnuFileOnePrint"));
  EXPECT_FALSE(fileops::Exists(one));
  EXPECT_TRUE(f.prompter.Shown().empty()) << f.prompter.ShownUtf8()[0];

  // the page setup starts from A4 with 10 mm margins and keeps what is taken
  auto* print = w.findChild<PrintWindows*>("printWindows");
  ASSERT_NE(nullptr, print);
  EXPECT_EQ((PaperSetup{21000, 29700, 1000, 1000, 1000, 1000}), print->Printer().Paper());
  // with no printer installed the pages go to PDF and the setup is the
  // program's own: paper, direction, margins; margins the paper cannot take
  // are refused and the dialog stays
  bool refused = false;
  f.dialogs.On<TfrmPageSetup>("frmPageSetup", [&f, &refused](TfrmPageSetup& dlg) {
    auto* cbo_Paper = Child<QComboBox>(dlg, "cbo_Paper");
    auto* rdo_Landscape = Child<QRadioButton>(dlg, "rdo_Landscape");
    auto* txt_Left = Child<QDoubleSpinBox>(dlg, "txt_Left");
    auto* txt_Top = Child<QDoubleSpinBox>(dlg, "txt_Top");
    auto* txt_Right = Child<QDoubleSpinBox>(dlg, "txt_Right");
    auto* txt_Bottom = Child<QDoubleSpinBox>(dlg, "txt_Bottom");
    EXPECT_EQ(QString::fromUtf8("A4"), cbo_Paper->currentText());
    rdo_Landscape->setChecked(true);
    txt_Left->setValue(150);
    txt_Right->setValue(150);
    dlg.cmd_OkClick();
    refused = dlg.result() != QDialog::Accepted && f.prompter.Shown().size() == 1;
    for (QDoubleSpinBox* m : {txt_Left, txt_Top, txt_Right, txt_Bottom}) m->setValue(15);
    dlg.cmd_OkClick();
    return dlg.result();
  });
  ASSERT_TRUE(Trigger(w, "mnuFilePrnSetup"));
  EXPECT_TRUE(refused);
  EXPECT_EQ((PaperSetup{29700, 21000, 1500, 1500, 1500, 1500}), print->Printer().Paper());
  ASSERT_TRUE(Trigger(w, "mnuFilePdf"));  // no answer queued: cancelled
  f.files.answers.push_back(f.dir / "landscape.pdf");
  ASSERT_TRUE(Trigger(w, "mnuFilePdf"));
  EXPECT_GT(PdfPageCount(f.dir / "landscape.pdf"), pages);  // fewer rows a page
}

TEST(PrintItems, AOnePagePrintBelowTheLastRowSaysSoWithoutADialog) {
  MainFixture f;
  TfrmMain w(f.As("花子"));
  f.window = &w;
  w.FormCreate();
  ASSERT_TRUE(w.Started());
  // the list of an empty book has no rows
  w.View()->SetDisplayMode(CMyView::kListMode);
  ASSERT_EQ(0, w.View()->RowCount());
  ASSERT_TRUE(Trigger(w, "mnuFileOnePrint"));
  EXPECT_EQ(std::vector<std::string>{"印刷するデータがありません。"}, f.prompter.ShownUtf8());
  for (const QString& d : f.dialogs.run) EXPECT_NE(QStringLiteral("dlgPrint"), d);
}

TEST(PrintJobs, FailuresAreToldInTheSystemsWordsAndLeaveOldFilesAlone) {
  TempDir dir;
  ScriptedPrompter prompter;
  // no printer at all
  PrinterJob none(nullptr, prompter);
  EXPECT_FALSE(none.BeginDocument("ひとこと帳印刷"_sj));
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_EQ("HDCが取得されてません。", prompter.ShownUtf8()[0]);
  EXPECT_EQ("Print", prompter.Shown()[0].caption);
  // a printer whose file cannot be made
  prompter.ClearShown();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFileName(QString::fromStdString(dir / "no/such/folder/x.pdf"));
  PrinterJob cannot(&printer, prompter);
  EXPECT_FALSE(cannot.BeginDocument("ひとこと帳印刷"_sj));
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_EQ("StartDoc", prompter.Shown()[0].caption);
  EXPECT_EQ("見つかりません。", prompter.ShownUtf8()[0]);  // the folder is not there
  EXPECT_EQ(PromptIcon::Error, prompter.Shown()[0].icon);
  // a PDF that cannot be written leaves the file that was there
  prompter.ClearShown();
  const std::string old = dir / "old.pdf";
  WriteBytes(old, "old");
  PdfJob pdf(old, PaperSetup{}, prompter);
  ASSERT_TRUE(pdf.BeginDocument("ひとこと帳印刷"_sj));
  ASSERT_TRUE(pdf.BeginPage());
  pdf.FinishPage();
  fileops::InjectFault(fileops::Fault::kRename, 1);  // as a full or failing disk would
  const bool written = pdf.FinishDocument();
  fileops::ClearFaults();
  EXPECT_FALSE(written);
  ASSERT_EQ(1u, prompter.Shown().size());
  EXPECT_EQ(0u, prompter.ShownUtf8()[0].find("ファイルの書き込みに失敗しました。"));
  EXPECT_EQ("old", ReadBytes(old));
  EXPECT_EQ(1u, fileops::List(dir.path(), "*").size());  // no temporary left behind
  // the paper of a job: A4 when it has none, in hundredths of a millimetre
  EXPECT_EQ((PaperSetup{21000, 29700, 1000, 1000, 1000, 1000}), PdfJob(old, {0, 0}, prompter).Paper());
  const DeviceCaps caps = PdfJob(old, {29700, 21000, 0, 0, 0, 0}, prompter, 600).Caps();
  EXPECT_EQ(297, caps.horzSize);
  EXPECT_EQ(210, caps.vertSize);
  EXPECT_NEAR(600 * 297 / 25.4, caps.horzRes, 2);
}
