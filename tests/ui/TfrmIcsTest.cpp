// The calendar dialogs from the file menu of a real household book: an
// entry written to a calendar file chosen in the save dialog, counted and
// imported back into a new, empty book.
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>

#include "exchange/TfrmIcsExport.h"
#include "exchange/TfrmIcsImport.h"
#include "input/TfrmInput.h"
#include "mainview/sheet/CMyView.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"

namespace {

struct Book : MainFixture {
  std::unique_ptr<TfrmMain> w;
  Book() {
    packageIndex = 2;  // the household book
    UserAnswers("u");
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
    prompter.ClearShown();
  }
  int RecordRows() {
    int n = 0;
    for (const SheetRow& r : w->View()->Rows()) n += r.record >= 0;
    return n;
  }
  std::string Last() { return prompter.Shown().empty() ? "" : prompter.ShownUtf8().back(); }
};

void SetText(QDialog& dlg, const char* name, const std::string& text) {
  auto* e = dlg.findChild<SjLineEdit*>(name);
  ASSERT_NE(nullptr, e) << name;
  e->setText(QString::fromStdString(text));
}

TEST(TfrmIcs, AnEntryGoesToACalendarAndComesBackIntoAnEmptyBook) {
  TempDir out;
  const std::string ics = out / "kakeibo.ics";
  Book from;
  ASSERT_TRUE(from.w->Started());
  ASSERT_TRUE(Trigger(*from.w, "tbt_NowNew"));
  TfrmInput& f = *from.w->InputForm();
  auto* item = f.findChild<SjLineEdit*>("txt_dat001");
  ASSERT_NE(nullptr, item);
  item->setText(QString::fromUtf8("米"));
  emit item->textEdited(item->text());
  f.cmd_InputClick();
  ASSERT_EQ(1, from.RecordRows()) << from.Last();

  int code = -99;
  from.dialogs.On<TfrmIcsExport>("frmIcsExport", [&](TfrmIcsExport& dlg) {
    EXPECT_EQ(IcsExport::kNoPath, dlg.cmd_ExportClick());
    from.files.answers.push_back(ics);
    dlg.cmd_FNameClick();
    EXPECT_TRUE(from.files.asked.back().save);
    SetText(dlg, "txt_Zone", "Asia/Tokyo");
    from.prompter.ClearShown();
    code = dlg.cmd_ExportClick();
    return QDialog::Accepted;
  });
  ASSERT_TRUE(Trigger(*from.w, "mnuFileIcsExport"));
  ASSERT_EQ(IcsExport::kOk, code) << from.Last();
  EXPECT_EQ("カレンダーに 1件を書き出しました。", from.Last());
  // the book's main text (its memo) is empty: the summary is its first field
  EXPECT_NE(std::string::npos, ReadBytes(ics).find("SUMMARY:品目: 米"));

  Book into;
  code = -99;
  into.dialogs.On<TfrmIcsImport>("frmIcsImport", [&](TfrmIcsImport& dlg) {
    into.files.answers.push_back(ics);
    dlg.cmd_FNameClick();
    SetText(dlg, "txt_Zone", "Asia/Tokyo");
    EXPECT_EQ(IcsImport::kOk, dlg.cmd_CheckClick());
    EXPECT_EQ(QString::fromUtf8("予定 1件: 追加 1件 / 更新 0件 / 期間外・取消 0件"),
              dlg.findChild<QLabel*>("lbl_Counts")->text());
    into.prompter.Queue(kAnswerYes);  // データを取り込みます。よろしいですか？
    into.prompter.Queue(kAnswerOk);   // the counts
    into.prompter.Queue(kAnswerOk);
    code = dlg.cmd_InportClick();
    return QDialog::Accepted;
  });
  ASSERT_TRUE(Trigger(*into.w, "mnuFileIcsImport"));
  ASSERT_EQ(IcsImport::kOk, code) << into.Last();
  EXPECT_EQ(1, into.RecordRows());
  const std::string month = ReadBytes(into.w->Global()->DivisionPath("dt202612.jdt"));
  EXPECT_NE(std::string::npos, month.find("米"_sj));
  EXPECT_EQ(std::string::npos, month.find("品目"_sj)) << "the summary did not come back as memo text";
}

}  // namespace
