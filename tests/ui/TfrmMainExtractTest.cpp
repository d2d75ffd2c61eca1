// Extraction from the main window of real books: the household book by
// category with its totals and back to the month, the diary's word in a
// range newest first, the toggle and the settings item, the group view
// read-only, and a screen whose first text names a saved method.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <map>
#include <memory>

#include "catalogue/TfrmHanyoData.h"
#include "extract/CMyPickup.h"
#include "extract/TfrmPickup.h"
#include "input/CMyInput.h"
#include "input/StoreInputPorts.h"
#include "input/TfrmInput.h"
#include "mainview/sheet/CMyView.h"
#include "mainview/sheet/ScreenPorts.h"
#include "mainview/sheet/SheetPainter.h"
#include "platform/Canvas.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"

namespace {

constexpr int kDiary = 0;
constexpr int kHousehold = 2;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// The shipped screens, with a first text of the test's choosing for the
// screens whose file name holds a given part.
class FirstTextLoader : public ScreenLoader {
 public:
  FirstTextLoader(TfrmMain*& window, std::map<std::string, std::string>& texts)
      : window_(window), texts_(texts) {}
  int Load(const std::string& path, ViewScreen& out) override {
    MainObjects& o = window_->Objects();
    const int rc = JosScreenLoader(*o.scr, *o.db).Load(path, out);
    for (const auto& [part, text] : texts_)
      if (path.find(part) != std::string::npos) out.filter = cp932::FromUtf8(text);
    return rc;
  }

 private:
  TfrmMain*& window_;
  std::map<std::string, std::string>& texts_;
};

struct Book : MainFixture {
  std::unique_ptr<TfrmMain> w;
  std::map<std::string, std::string> firstTexts;  // screen file part -> first text (UTF-8)

  explicit Book(int package, std::map<std::string, std::string> texts = {}) {
    firstTexts = std::move(texts);
    packageIndex = package;
    UserAnswers("u");
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->SetScreenLoader(std::make_unique<FirstTextLoader>(window, firstTexts));
    w->FormCreate();
  }
  // An entry saved through the input form's own model (values UTF-8 by display name).
  void Add(const char* date, const std::vector<std::pair<const char*, const char*>>& values) {
    MainObjects& o = w->Objects();
    CMyRec rec(o.db.get());
    StoreInputView port(*o.db, rec, *o.periods);
    CMyInput form(*o.db, prompter, clock, port);
    ASSERT_TRUE(form.BuildForm(o.global->DivisionPath("scrin.jsc")));
    form.ShowRecord({}, -1);
    form.SetDateText(date);
    for (const auto& [name, value] : values) {
      const int c = form.FindControl(cp932::FromUtf8(name));
      ASSERT_GE(c, 0) << name;
      form.SetValue(c, cp932::FromUtf8(value));
      ASSERT_TRUE(form.LeaveField(c)) << name;
    }
    ASSERT_TRUE(form.SaveRecord()) << date;
  }
  // (the form's calculation is the window's: the amount with tax is given)
  void Purchase(const char* date, const char* item, const char* category, const char* amount,
                const char* taxed) {
    Add(date, {{"品目", item}, {"分類", category}, {"金額", amount}, {"税込", taxed}});
  }
  void Purchases() {
    Purchase("2026/01/05", "パン", "食費", "300", "330");
    Purchase("2026/03/02", "米", "食費", "2000", "2200");
    Purchase("2026/02/11", "洗剤", "日用品", "450", "495");
    Purchase("2025/12/30", "餅", "食費", "800", "880");
    Purchase("2026/12/05", "歯ブラシ", "日用品", "320", "352");
    Purchase("2026/12/08", "牛乳", "食費", "210", "231");
    w->View()->ReloadView();
    w->View()->GoToday();
    prompter.ClearShown();
  }
  // The extraction dialog answers with `fill` run on it, then OK.
  void DialogDoes(std::function<void(TfrmPickup&)> fill) {
    dialogs.On<TfrmPickup>("frmPickup", [fill](TfrmPickup& d) {
      fill(d);
      (void)d.cmd_OkClick();
      return d.result();
    });
  }
  static void Key(TfrmPickup& d, const char* caption, int column, const char* text) {
    auto* g = d.findChild<QTableWidget*>("gri_Main");
    g->setCurrentCell(d.Model().RowOfCaption(cp932::FromUtf8(caption)), column);
    (void)d.gri_MainKeyPress(Qt::Key_unknown, Q(text));
  }
  // This year by category, the tax-included amounts summed.
  static void ByCategory(TfrmPickup& d) {
    d.findChild<QRadioButton*>("rdo_HyouziGroup")->click();
    d.findChild<QRadioButton*>("rdo_KikanYYYY")->click();
    Key(d, "分類", 2, "1");
    Key(d, "税率", 4, "x");
  }
  bool Enabled(const char* action) {
    w->Actions().Refresh();
    return w->findChild<QAction*>(action)->isEnabled();
  }
  bool Down() { return w->findChild<QAction*>("tbt_Pickout")->isChecked(); }
  QString MenuCaption() {
    emit w->Actions().Menu(Q("検索(&S)"))->aboutToShow();
    return w->findChild<QAction*>("mnuSelPickout")->text();
  }
  // A field of the group row (or record row) at a sheet row.
  std::string GroupValue(int row, const char* field) {
    GroupRowSource& g = *w->Objects().groupRows;
    g.SetPosition(w->View()->Rows()[static_cast<size_t>(row)].record);
    return cp932::ToUtf8(g.Value(field));
  }
  int RecordRows() {
    int n = 0;
    for (const SheetRow& r : w->View()->Rows()) n += r.record >= 0;
    return n;
  }
  std::vector<std::string> Keys() {
    std::vector<std::string> out;
    for (const SheetRow& r : w->View()->Rows()) out.push_back(r.key);
    return out;
  }
};

TEST(TfrmMainExtract, ThisYearByCategoryWithItsTotalsThenTheMonthAgain) {
  Book b(kHousehold);
  ASSERT_TRUE(b.w->Started());
  b.Purchases();
  CMyView& view = *b.w->View();
  ASSERT_EQ(CMyView::kSheetMode, view.DisplayMode());
  const int cursor = view.CursorRow();
  ASSERT_EQ("2026/12/09", std::string(view.Rows()[static_cast<size_t>(cursor)].key));
  EXPECT_EQ(Q("抽出実行..."), b.MenuCaption());

  b.DialogDoes([&b](TfrmPickup& d) {
    Book::ByCategory(d);
    b.dialogs.On<TfrmHanyoData>("frmHanyoData", [](TfrmHanyoData& n) {
      Child<SjLineEdit>(n, "txt_Name")->setText(Q("今年の分類別"));
      n.cmd_OkClick();
      return n.result();
    });
    d.cmd_SaveClick();
  });
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  ASSERT_TRUE(b.Down()) << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8()[0]);
  EXPECT_TRUE(b.w->State().groupShown);
  EXPECT_EQ(CMyView::kListMode, view.DisplayMode());
  ASSERT_EQ(2, view.RowCount()) << "last year's 餅 is not this year's";
  EXPECT_EQ("食費", b.GroupValue(0, "DAT002"));
  EXPECT_EQ("2761", b.GroupValue(0, "DAT006")) << "330 + 2200 + 231";
  EXPECT_EQ("2510", b.GroupValue(0, "DAT004")) << "the amounts are summed too";
  EXPECT_EQ("日用品", b.GroupValue(1, "DAT002"));
  EXPECT_EQ("847", b.GroupValue(1, "DAT006")) << "495 + 352";
  EXPECT_EQ("", b.GroupValue(1, "DAT005")) << "a column without an aggregate is empty";
  EXPECT_EQ(Q("抽出解除"), b.MenuCaption());
  EXPECT_TRUE(b.w->Objects().painter->FooterNote().empty());
  EXPECT_FALSE(b.w->RenderSheetImage(500, 400).isNull());
  // the footer names what it totals: the extraction, not this month
  auto footerSays = [&b](const char* text) {
    RecordingCanvas drawn;
    (void)b.w->Objects().painter->RenderSheet(drawn, 500, 400);
    for (const std::string& call : drawn.Calls())
      if (call.find(cp932::FromUtf8(text)) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(footerSays("抽出結果の合計") && !footerSays("今月の合計"));

  // read-only: no entry, editing, import or export, no mode change
  for (const char* name :
       {"tbt_New", "tbt_NowNew", "tbt_Edit", "pmenu_New", "pmenu_Edit", "mnuFileExport", "mnuFileImport"})
    EXPECT_FALSE(b.Enabled(name)) << name;
  EXPECT_TRUE(b.Enabled("tbt_PickoutSet"));
  EXPECT_FALSE(b.w->findChild<QToolButton*>("cmd_ModeMM")->isEnabled());
  EXPECT_FALSE(b.w->findChild<QToolButton*>("cmd_ModePickout")->isEnabled());
  EXPECT_FALSE(b.w->findChild<QToolButton*>("tbt_NewButton")->isEnabled());
  const int beeps = b.beeper.Count();
  QTest::keyClick(b.w->findChild<QScrollBar*>("scr_Key"), Qt::Key_Return);
  QTest::keyClick(b.w->findChild<QScrollBar*>("scr_Key"), Qt::Key_Insert);
  EXPECT_EQ(beeps + 2, b.beeper.Count()) << "a group row opens nothing";
  EXPECT_FALSE(b.w->InputForm()->isVisible());

  // released: the month, its rows and the cursor as they were
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  EXPECT_FALSE(b.Down());
  EXPECT_FALSE(b.w->State().groupShown);
  EXPECT_EQ(CMyView::kSheetMode, view.DisplayMode());
  EXPECT_EQ("2026/12", view.Label());
  EXPECT_EQ(cursor, view.CursorRow());
  EXPECT_EQ(2, b.RecordRows());
  EXPECT_TRUE(footerSays("今月の合計"));
  EXPECT_TRUE(b.Enabled("tbt_New"));
  EXPECT_TRUE(b.w->findChild<QToolButton*>("cmd_ModeMM")->isEnabled());
  EXPECT_EQ(Q("抽出実行..."), b.MenuCaption());

  // the saved method from the combo, over other settings
  b.DialogDoes([](TfrmPickup& d) {
    d.findChild<QRadioButton*>("rdo_HyouziPickup")->click();
    auto* combo = d.findChild<QComboBox*>("cbo_PickupName");
    ASSERT_EQ(2, combo->count());
    combo->setCurrentIndex(1);
    EXPECT_TRUE(d.findChild<QRadioButton*>("rdo_HyouziGroup")->isChecked());
  });
  ASSERT_TRUE(Trigger(*b.w, "mnuSelPickout"));
  EXPECT_TRUE(b.Down()) << "the menu item presses the button";
  EXPECT_TRUE(b.w->State().groupShown);
  EXPECT_EQ(2, view.RowCount());
  ASSERT_TRUE(Trigger(*b.w, "mnuSelPickout"));
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(CMyView::kSheetMode, view.DisplayMode());
}

TEST(TfrmMainExtract, TheToggleTheSettingsAndThePageDisplay) {
  Book b(kHousehold);
  b.Purchases();
  CMyView& view = *b.w->View();
  // cancelled: the button pops up again and nothing changes
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  EXPECT_EQ(1u, b.dialogs.unscripted.size());
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(CMyView::kSheetMode, view.DisplayMode());

  // a compact list of this year, two lines a page
  b.DialogDoes([](TfrmPickup& d) {
    d.findChild<QRadioButton*>("rdo_KikanYYYY")->click();
    d.findChild<SjLineEdit*>("txt_Line")->setText(Q("2"));
    d.findChild<QTabWidget*>("tab_Main")->setCurrentIndex(1);
  });
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(CMyView::kListMode, view.DisplayMode());
  EXPECT_EQ(2, view.RowCount());
  EXPECT_EQ(2, view.LastListPage()) << "five entries of this year, two a page";
  EXPECT_EQ((std::vector<std::string>{"2026/01/05", "2026/02/11"}), b.Keys());
  EXPECT_TRUE(b.Enabled("tbt_New")) << "records, not groups: entries may open";

  // the settings item cancelled leaves the extraction shown
  b.dialogs.scripts.erase("frmPickup");
  ASSERT_TRUE(Trigger(*b.w, "tbt_PickoutSet"));
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(CMyView::kListMode, view.DisplayMode());

  // applied as page display: the month with the filter in the book's order
  b.DialogDoes([](TfrmPickup& d) {
    d.findChild<QRadioButton*>("rdo_HyouziNormal")->click();
    d.findChild<QRadioButton*>("rdo_KikanAll")->click();
    d.findChild<QTabWidget*>("tab_Main")->setCurrentIndex(1);
    d.Model().SetCellText(d.Model().RowOfCaption("分類"_sj), d.Model().ValueColumn(), "食費"_sj);
  });
  ASSERT_TRUE(Trigger(*b.w, "mnuSelPickoutSet"));
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(CMyView::kSheetMode, view.DisplayMode());
  EXPECT_EQ("2026/12", view.Label());
  EXPECT_EQ(1, b.RecordRows()) << "the 8th's milk, not the 5th's toothbrush";

  // ended: the display from before the first extraction
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(CMyView::kSheetMode, view.DisplayMode());
  EXPECT_EQ(2, b.RecordRows());
}

TEST(TfrmMainExtract, TheDiaryFindsAWordInARangeNewestFirst) {
  Book b(kDiary);
  ASSERT_TRUE(b.w->Started());
  b.Add("2026/04/01", {{"日記", "花見に行った"}});
  b.Add("2026/04/03", {{"日記", "雨"}});
  b.Add("2026/04/10", {{"日記", "また花見"}});
  b.Add("2026/05/10", {{"日記", "花見は終わり"}});
  b.prompter.ClearShown();
  b.DialogDoes([](TfrmPickup& d) {
    auto box = [&d](const char* name, const char* text) {
      auto* e = d.findChild<SjLineEdit*>(name);
      e->setText(Q(text));
      emit e->textEdited(e->text());
    };
    box("txt_KikanFrom", "2026/4/1");
    EXPECT_TRUE(d.txt_KikanFromExit());
    box("txt_KikanTo", "2026/4/30");
    EXPECT_TRUE(d.txt_KikanToExit());
    d.findChild<QCheckBox*>("chk_KeySortDown")->setChecked(true);
    auto* name = d.findChild<SjComboBox*>("cbo_Name");
    name->setCurrentIndex(name->findText(Q("日記")));
    d.findChild<SjLineEdit*>("txt_Data")->setText(Q("花見"));
  });
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  ASSERT_TRUE(b.Down()) << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8()[0]);
  EXPECT_EQ(CMyView::kListMode, b.w->View()->DisplayMode());
  EXPECT_EQ((std::vector<std::string>{"2026/04/10", "2026/04/01"}), b.Keys());
}

TEST(TfrmMainExtract, AScreenNamingASavedMethodExtractsWhenItOpens) {
  // at start-up a screen's own extraction is not run, only told
  Book b(kHousehold, {{"月の収支", "=今年"}});
  ASSERT_TRUE(b.w->Started());
  EXPECT_EQ((std::vector<std::string>{"起動直後の自動抽出は行えません。"}), b.prompter.ShownUtf8());
  EXPECT_FALSE(b.Down());
  b.Purchases();
  const std::string dir = b.w->Global()->DivisionPath("") + "/";
  WriteBytes(dir + "今年.pic", "1\t1\t\t2\t\t\t1\t\t\t3\t0\t\t0\t1\t0\r\n"_sj);
  WriteBytes(dir + "今年の分類別.pic",
             "2\t1\t\t2\t\t\t1\t\t\t3\t0\t\t0\t0\t0\r\n"
             "分類\t1\t0:昇順\t\t\t(ｸﾞﾙｰﾌﾟ)\t0\r\n"
             "税込\t\t\t\t\t2:SUM\t\r\n"_sj);
  QTabBar* screens = Tabs(*b.w, "tab_Scr");
  ASSERT_EQ(2, screens->count());

  // this year's entries, newest first, as soon as the list screen opens
  b.firstTexts = {{"明細一覧", "=今年"}};
  screens->setCurrentIndex(1);
  EXPECT_TRUE(b.prompter.Shown().empty()) << b.prompter.ShownUtf8()[0];
  EXPECT_TRUE(b.Down());
  EXPECT_EQ((std::vector<std::string>{"2026/12/08", "2026/12/05", "2026/03/02", "2026/02/11", "2026/01/05"}),
            b.Keys());
  // another screen ends it
  screens->setCurrentIndex(0);
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(CMyView::kSheetMode, b.w->View()->DisplayMode());

  // a group method: its rows replace the list, until the screen changes
  b.firstTexts = {{"明細一覧", "=今年の分類別"}};
  screens->setCurrentIndex(1);
  EXPECT_TRUE(b.w->State().groupShown);
  EXPECT_EQ(2, b.w->View()->RowCount());
  screens->setCurrentIndex(0);
  EXPECT_FALSE(b.w->State().groupShown);
  EXPECT_FALSE(b.w->Objects().sheetRecords->GroupShown());
  EXPECT_EQ(2, b.RecordRows());

  // a method that is not there: told, and the screen shows without extraction
  b.firstTexts = {{"明細一覧", "=ない"}};
  screens->setCurrentIndex(1);
  EXPECT_EQ((std::vector<std::string>{"抽出条件の読み込み失敗"}), b.prompter.ShownUtf8());
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(CMyView::kListMode, b.w->View()->DisplayMode());
}

TEST(TfrmMainExtract, ValuesThatAreNoNumbersAreCountedUnderTheGroupRows) {
  Book b(kHousehold);
  b.Add("2026/01/05", {{"品目", "パン"}, {"分類", "食費"}, {"金額", "300"}, {"支払方法", "現金"}});
  b.Add("2026/01/06", {{"品目", "米"}, {"分類", "食費"}, {"金額", "2000"}, {"支払方法", "カード"}});
  b.Add("2026/01/07", {{"品目", "水"}, {"分類", "食費"}, {"金額", "100"}});
  b.w->View()->ReloadView();
  b.DialogDoes([](TfrmPickup& d) {
    Book::ByCategory(d);
    Book::Key(d, "支払方法", 4, "2");  // a SUM over words
  });
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  ASSERT_TRUE(b.w->State().groupShown);
  EXPECT_EQ("0", b.GroupValue(0, "DAT007"));
  EXPECT_EQ("数値でない値を0として集計: 支払方法 2件", cp932::ToUtf8(b.w->Objects().painter->FooterNote()));
  EXPECT_GT(b.w->View()->NoteHeight(), 0);
  ASSERT_TRUE(Trigger(*b.w, "tbt_Pickout"));
  EXPECT_TRUE(b.w->Objects().painter->FooterNote().empty());
  EXPECT_EQ(0, b.w->View()->NoteHeight());
}

}  // namespace
