// The CSV dialogs from the file menu of a real household book: an entry
// exported to a file chosen in the save dialog, and imported back into a
// new, empty book.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QRadioButton>
#include <memory>

#include "exchange/TfrmExport.h"
#include "exchange/TfrmInport.h"
#include "exchange/menu/ExchangeActions.h"
#include "input/TfrmInput.h"
#include "mainview/sheet/CMyView.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"

namespace {

constexpr int kHousehold = 2;

struct Book : MainFixture {
  std::unique_ptr<TfrmMain> w;
  Book() {
    packageIndex = kHousehold;
    UserAnswers("u");
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
    prompter.ClearShown();
  }
  // One purchase of today, entered through the input form.
  void AddPurchase() {
    ASSERT_TRUE(Trigger(*w, "tbt_NowNew"));
    TfrmInput& f = *w->InputForm();
    auto edit = [&f](const char* name, const char* text) {
      auto* e = f.findChild<SjLineEdit*>(name);
      ASSERT_NE(nullptr, e) << name;
      e->setFocus();
      e->setText(QString::fromUtf8(text));
      emit e->textEdited(e->text());
    };
    edit("txt_dat001", "米");
    edit("txt_dat002", "1000");
    edit("txt_dat003", "1.1");
    f.cmd_InputClick();
    ASSERT_FALSE(f.isVisible()) << (prompter.Shown().empty() ? "" : prompter.ShownUtf8()[0]);
    prompter.ClearShown();
  }
  std::string MonthFile() { return ReadBytes(w->Global()->DivisionPath("dt202612.jdt")); }
  int RecordRows() {
    int n = 0;
    for (const SheetRow& r : w->View()->Rows()) n += r.record >= 0;
    return n;
  }
  bool Told(const char* text) {
    for (const std::string& s : prompter.ShownUtf8())
      if (s.find(text) != std::string::npos) return true;
    return false;
  }
};

TEST(TfrmExchange, TheMenuOffersBothItemsOnceTheWindowHasStarted) {
  Book b;
  ASSERT_TRUE(b.w->Started());
  for (const char* name : {"mnuFileExport", "mnuFileImport"}) {
    QAction* a = b.w->findChild<QAction*>(name);
    ASSERT_NE(nullptr, a) << name;
    b.w->Actions().Refresh();
    EXPECT_TRUE(a->isEnabled()) << name;
  }
}

TEST(TfrmExchange, AnEntryExportedThroughTheChooserImportsBackIntoAnEmptyBook) {
  TempDir out;
  const std::string csv = out / "kakeibo.csv";

  Book from;
  ASSERT_TRUE(from.w->Started());
  from.AddPurchase();
  const std::string original = from.MonthFile();
  ASSERT_NE(std::string::npos, original.find("1100"));

  int code = -99;
  from.dialogs.On<TfrmExport>("frmExport", [&](TfrmExport& dlg) {
    // the shipped book starts with every column chosen
    auto* to = dlg.findChild<QListWidget*>("lst_To");
    EXPECT_GT(to->count(), 2);
    EXPECT_EQ(QString::fromUtf8("年月日"), to->item(0)->text());
    // nothing chosen is refused before any question
    dlg.cmd_LeftAllClick();
    EXPECT_EQ(0, to->count());
    dlg.findChild<SjLineEdit*>("txt_Path")->setText(QString::fromStdString(csv));
    EXPECT_EQ(CMyExport::kNoColumns, dlg.cmd_OkClick());
    EXPECT_TRUE(from.Told("転送項目を選択してください。"));
    dlg.cmd_RightAllClick();
    // the file comes from the save dialog
    dlg.findChild<SjLineEdit*>("txt_Path")->clear();
    from.files.answers.push_back(csv);
    dlg.cmd_FNameClick();
    EXPECT_TRUE(from.files.asked.back().save);
    EXPECT_EQ(QString::fromStdString(csv), dlg.findChild<SjLineEdit*>("txt_Path")->text());
    from.prompter.ClearShown();
    from.prompter.Queue(kAnswerYes);  // データを出力します。よろしいですか？
    from.prompter.Queue(kAnswerOk);
    code = dlg.cmd_OkClick();
    return QDialog::Rejected;  // 閉じる
  });
  ASSERT_TRUE(Trigger(*from.w, "mnuFileExport"));
  ASSERT_EQ(CMyExport::kOk, code) << (from.prompter.Shown().empty() ? "" : from.prompter.ShownUtf8().back());
  EXPECT_TRUE(from.Told("正常にエクスポートされました。"));
  const std::string written = ReadBytes(csv);
  EXPECT_EQ(0u, written.find("\"年月日\""_sj)) << written;
  EXPECT_NE(std::string::npos, written.find("\"2026/12/09\""));
  EXPECT_NE(std::string::npos, written.find("\"米\""_sj));
  EXPECT_NE(std::string::npos, written.find("1100"));
  // the choice is remembered for the next export
  EXPECT_TRUE(fileops::Exists(from.w->Global()->DivisionPath("JotBoxExp.dat")));

  Book into;
  ASSERT_TRUE(into.w->Started());
  ASSERT_EQ(0, into.RecordRows());
  code = -99;
  into.dialogs.On<TfrmInport>("frmImport", [&](TfrmInport& dlg) {
    EXPECT_TRUE(dlg.findChild<QRadioButton*>("rdo_Add")->isChecked());
    // an empty file name is refused with the focus on it
    EXPECT_EQ(CMyImport::kNoPath, dlg.cmd_InportClick());
    EXPECT_TRUE(into.Told("ファイル名を入力してください。"));
    into.files.answers.push_back(csv);
    dlg.cmd_FNameClick();
    EXPECT_FALSE(into.files.asked.back().save);
    into.prompter.ClearShown();
    into.prompter.Queue(kAnswerYes);  // データを取り込みます。よろしいですか？
    into.prompter.Queue(kAnswerOk);   // what the import will do
    into.prompter.Queue(kAnswerOk);
    code = dlg.cmd_InportClick();
    return QDialog::Rejected;
  });
  ASSERT_TRUE(Trigger(*into.w, "mnuFileImport"));
  ASSERT_EQ(CMyImport::kOk, code) << (into.prompter.Shown().empty() ? "" : into.prompter.ShownUtf8().back());
  EXPECT_TRUE(into.Told("正常にインポートしました。"));
  const std::string imported = into.MonthFile();
  EXPECT_NE(std::string::npos, imported.find("米"_sj)) << imported;
  EXPECT_NE(std::string::npos, imported.find("1100"));
  EXPECT_EQ(1, into.RecordRows());
  // the day's safety copy of the (empty) book was made first
  EXPECT_TRUE(fileops::Exists(into.w->Global()->DivisionPath("BK20261209.csv")));
}

}  // namespace
