// The input form opened from the sheet of a real book, saving to disk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "input/PhotoState.h"
#include "input/TfrmInput.h"
#include "input/TfrmSetMaster.h"
#include "mainview/sheet/CMyView.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "qtkit/SjLineEdit.h"
#include "screens/JpegWrite.h"
#include "store/CMyDB.h"
#include "store/MemoSchema.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"

namespace {

struct Book : MainFixture {
  std::unique_ptr<TfrmMain> w;
  explicit Book(int pkg) {
    packageIndex = pkg;
    UserAnswers("u");
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
  }
  TfrmInput& Form() { return *w->InputForm(); }
  template <class T>
  T* Find(const char* name) {
    return Form().findChild<T*>(name);
  }
  std::string MonthFile(const char* yyyymm) {
    return ReadBytes(w->Global()->DivisionPath(std::string("dt") + yyyymm + ".jdt"));
  }
  // The sheet row that shows a record with this memo text, -1 none.
  int RowWithMemo(const std::string& memo) {
    CMyView& v = *w->View();
    for (int r = 0; r < v.RowCount(); ++r) {
      const SheetRow& row = v.Rows()[static_cast<size_t>(r)];
      if (row.record >= 0 && w->InputForm()->Model().Value(0) == memo) return r;
    }
    return -1;
  }
};

TEST(TfrmInput, AnEntryWrittenFromTheSheetIsOnDiskAndOnTheSheetAtOnce) {
  Book b(0);  // the diary
  ASSERT_TRUE(b.w->Started());
  ASSERT_NE(nullptr, b.w->InputForm());
  ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
  ASSERT_TRUE(b.Form().isVisible());
  EXPECT_EQ(QStringLiteral("2026/12/09"), b.Find<SjLineEdit>("txt_YMD")->text());
  auto* memo = b.Find<SjTextEdit>("txt_Mem001");
  ASSERT_NE(nullptr, memo);
  memo->setPlainText(QString::fromUtf8("歯医者に行った\n[10:30]薬局"));
  auto* time = b.Find<SjLineEdit>("txt_dat001");
  ASSERT_NE(nullptr, time);
  time->setText("0930");
  emit time->textEdited(time->text());
  b.Form().cmd_InputClick();
  EXPECT_FALSE(b.Form().isVisible()) << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8()[0]);
  const std::string file = b.MonthFile("202612");
  EXPECT_NE(std::string::npos, file.find("歯医者に行った"_sj));
  EXPECT_NE(std::string::npos, file.find("09:30"));  // rewritten by the time check
  // the sheet shows it on today's row, with the cursor there
  CMyView& v = *b.w->View();
  const SheetRow& row = v.Rows()[static_cast<size_t>(v.CursorRow())];
  EXPECT_STREQ("2026/12/09", row.key);
  EXPECT_GE(row.record, 0);
  EXPECT_EQ(row.record, b.w->Objects().rec->Position());  // the record set stands on it too
  // the memo's bracketed time became an alarm for today
  ASSERT_GE(b.w->Alarms()->Count(), 1);

  // Enter on that row opens the entry again; emptying it deletes it without asking
  ASSERT_TRUE(Trigger(*b.w, "pmenu_Edit"));
  EXPECT_FALSE(b.Form().Model().IsNew());
  EXPECT_EQ(QString::fromUtf8("歯医者に行った\n[10:30]薬局"), memo->toPlainText());
  memo->clear();
  time->clear();
  emit time->textEdited(QString());
  b.Form().cmd_InputClick();
  EXPECT_EQ(std::string::npos, b.MonthFile("202612").find("歯医者に行った"_sj));
  EXPECT_LT(v.Rows()[static_cast<size_t>(v.CursorRow())].record, 0);
}

TEST(TfrmInput, ClosingAFormWithChangesAsksWhetherToSaveThem) {
  const struct {
    int answer;
    bool byEscape, saved, stays;  // by Escape (else 閉じる); the form stays with the text
  } kCases[] = {
      {kAnswerYes, true, true, false}, {kAnswerNo, true, false, false}, {kAnswerCancel, false, false, true}};
  for (const auto& c : kCases) {
    Book b(0);
    ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
    QTest::keyClick(&b.Form(), Qt::Key_Escape);  // nothing typed: it goes without a word
    ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
    b.Find<SjTextEdit>("txt_Mem001")->setPlainText(QString::fromUtf8("書きかけ"));
    b.prompter.Queue(c.answer);
    c.byEscape ? QTest::keyClick(&b.Form(), Qt::Key_Escape) : b.Find<QPushButton>("cmd_Close")->click();
    ASSERT_EQ(std::vector<std::string>{"変更を登録しますか？"}, b.prompter.ShownUtf8()) << c.answer;
    EXPECT_EQ(c.saved, b.MonthFile("202612").find("書きかけ"_sj) != std::string::npos) << c.answer;
    EXPECT_EQ(c.stays, b.Form().isVisible() && !b.Find<SjTextEdit>("txt_Mem001")->toPlainText().isEmpty());
  }
}

TEST(TfrmInput, ARefusedFieldKeepsWhatWasTypedAndTheFocusReturnsToIt) {
  Book b(0);
  ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
  auto* memo = b.Find<SjTextEdit>("txt_Mem001");
  memo->setPlainText(QString::fromUtf8("メモ"));
  auto* time = b.Find<SjLineEdit>("txt_dat001");
  time->setText("12:60");  // no hour has sixty minutes
  emit time->textEdited(time->text());
  time->setFocus();
  b.Form().cmd_InputClick();
  ASSERT_FALSE(b.prompter.Shown().empty());
  EXPECT_EQ("不正な時間です。", b.prompter.ShownUtf8().back());
  EXPECT_TRUE(b.Form().isVisible());
  EXPECT_EQ(QStringLiteral("12:60"), time->text());
  EXPECT_EQ(QString::fromUtf8("メモ"), memo->toPlainText());
  EXPECT_FALSE(fileops::Exists(b.w->Global()->DivisionPath("dt202612.jdt")));
}

TEST(TfrmInput, DigitBoxesHaveTheInputMethodOffAndReadFullWidthDigitsAsDigits) {
  struct Case {
    const char* box;
    bool on;
    const char* typed;
    const char* kept;
  };
  const std::pair<int, std::vector<Case>> books[] = {
      {0,
       {{"txt_YMD", false, "２０２６／１２／３１", "2026/12/31"},
        {"txt_dat001", false, "０９３０", "0930"}}},  // 時刻, half-width alphanumeric
      {2,
       {{"txt_dat002", false, "１０００", "1000"},  // 金額
        {"txt_dat003", false, "１．１", "1.1"},     // 税率
        {"txt_dat001", true, "ｋｇ", "ｋｇ"}}},     // 品目, in hiragana
  };
  for (const auto& [package, cases] : books) {
    Book b(package);
    ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
    EXPECT_TRUE(ImEnabled(b.Find<SjTextEdit>("txt_Mem001")));
    EXPECT_TRUE(ImEnabled(b.Find<SjComboBox>("cbo_dat001")));
    for (const Case& c : cases) {
      auto* box = b.Find<SjLineEdit>(c.box);
      ASSERT_NE(nullptr, box) << c.box;
      EXPECT_EQ(c.on, ImEnabled(box)) << c.box;
      box->clear();
      box->insert(QString::fromUtf8(c.typed));
      EXPECT_EQ(QString::fromUtf8(c.kept), box->text()) << c.box;
    }
    b.Form().cmd_InputClick();
    EXPECT_FALSE(b.Form().isVisible()) << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8()[0]);
    if (package == 0) {
      EXPECT_NE(std::string::npos, b.MonthFile("202612").find("09:30"));
    }
  }
}

TEST(TfrmInput, TheHouseholdBookCalculatesAndLearnsItsPaymentMethods) {
  Book b(2);  // household accounts
  ASSERT_TRUE(b.w->Started());
  ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
  // the editors by slot: amount DAT004 in slot 1, rate DAT005 in slot 2, total DAT006 in slot 3
  auto* amount = b.Find<SjLineEdit>("txt_dat002");
  auto* rate = b.Find<SjLineEdit>("txt_dat003");
  auto* total = b.Find<SjLineEdit>("txt_dat004");
  ASSERT_TRUE(amount && rate && total);
  amount->setFocus();
  amount->setText("1000");
  emit amount->textEdited(amount->text());
  rate->setFocus();  // leaving the amount runs the calculation
  rate->setText("1.1");
  emit rate->textEdited(rate->text());
  auto* payment = b.Find<SjComboBox>("cbo_dat003");
  ASSERT_NE(nullptr, payment);
  payment->setEditText(QString::fromUtf8("商品券"));
  b.Find<SjLineEdit>("txt_dat001")->setText(QString::fromUtf8("米"));
  emit b.Find<SjLineEdit>("txt_dat001")->textEdited(QString::fromUtf8("米"));
  b.Form().cmd_InputClick();
  EXPECT_FALSE(b.Form().isVisible()) << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8()[0]);
  EXPECT_EQ(QStringLiteral("1100"), total->text().remove(','));
  EXPECT_NE(std::string::npos, b.MonthFile("202612").find("1100"));
  // the learned payment method is on top of the history, on disk
  const std::string history = ReadBytes(b.w->Global()->DivisionPath("cboms02.ms"));
  EXPECT_EQ(0u, history.find("$$$ 1\r\n"_sj + "商品券"_sj)) << history;
}

TEST(TfrmInput, TheHouseholdTaxKindLooksUpItsRateFromTheShippedTable) {
  Book b(2);
  ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
  auto* amount = b.Find<SjLineEdit>("txt_dat002");
  auto* rate = b.Find<SjLineEdit>("txt_dat003");
  auto* total = b.Find<SjLineEdit>("txt_dat004");
  auto* kind = b.Find<SjLineEdit>("txt_dat005");  // 税区分, slot 4
  ASSERT_TRUE(amount && rate && total && kind);
  EXPECT_EQ(QString::fromUtf8("標準"), kind->text());
  QApplication::setActiveWindow(&b.Form());  // leaving a box is a focus change
  amount->setFocus();
  amount->setText("2000");
  emit amount->textEdited(amount->text());
  kind->setFocus();
  EXPECT_EQ(QStringLiteral("2200"), total->text().remove(','));
  // the strip offers the kinds; a typed code becomes its row's text
  auto* strip = b.Find<QWidget>("pai_Sel");
  ASSERT_NE(nullptr, strip);
  EXPECT_TRUE(strip->isVisible());
  kind->setText("2");
  emit kind->textEdited(kind->text());
  b.Find<SjLineEdit>("txt_dat001")->setFocus();  // leaving the kind looks the rate up
  EXPECT_EQ(QString::fromUtf8("軽減"), kind->text());
  EXPECT_EQ(QStringLiteral("1.08"), rate->text());
  EXPECT_EQ(QStringLiteral("2160"), total->text().remove(','));
  // a kind the table does not hold empties the rate, and the total follows
  kind->setFocus();
  kind->setText(QString::fromUtf8("不明"));
  emit kind->textEdited(kind->text());
  amount->setFocus();
  EXPECT_EQ(QString(), rate->text());
  EXPECT_EQ(QStringLiteral("0"), total->text());
  // Alt+Down offers the strip's rows as a menu, as the keyboard's double click
  kind->setFocus();
  QTest::keyClick(kind, Qt::Key_Down, Qt::AltModifier);
  auto* menu = b.Form().findChild<QMenu*>("mnus_Sel");
  ASSERT_NE(nullptr, menu);
  for (QAction* a : menu->actions())
    if (a->text() == QString::fromUtf8("軽減")) a->trigger();
  EXPECT_EQ(QString::fromUtf8("軽減"), kind->text());
  QApplication::setActiveWindow(nullptr);
}

}  // namespace

namespace {

TEST(TfrmInput, ADoubleClickOnAComboOpensItsListEditorAndTheComboFollows) {
  Book b(2);
  ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
  auto* payment = b.Find<SjComboBox>("cbo_dat003");
  ASSERT_NE(nullptr, payment);
  int before = payment->count();
  b.dialogs.On<TfrmSetMaster>("frmSetMaster", [](TfrmSetMaster& dlg) {
    dlg.findChild<SjLineEdit*>("txt_Name")->setText(QString::fromUtf8("ポイント"));
    dlg.cmd_InsertClick();
    dlg.cmd_CloseClick();
    return dlg.result();
  });
  QTest::mouseDClick(payment->Edit(), Qt::LeftButton);
  ASSERT_EQ(1u, b.dialogs.run.size() - std::count(b.dialogs.run.begin(), b.dialogs.run.end(), "frmNewUser") -
                    std::count(b.dialogs.run.begin(), b.dialogs.run.end(), "frmNewDiv"));
  EXPECT_EQ(before + 1, payment->count());
  EXPECT_NE(-1, payment->findText(QString::fromUtf8("ポイント")));
  QTest::keyClick(payment->Edit(), Qt::Key_F9);  // the keyboard's road to the same editor
  EXPECT_EQ(2, std::count(b.dialogs.run.begin(), b.dialogs.run.end(), "frmSetMaster"));
}

}  // namespace

TEST(TfrmInput, APictureFromAJapaneseFolderIsChosenTurnedSavedAndShownOnTheSheet) {
  Book b(0);  // the diary, whose form has a photo box
  ASSERT_TRUE(Trigger(*b.w, "tbt_NowNew"));
  auto* box = b.Find<QWidget>("pai_Phot");
  auto* kao = b.Find<QPushButton>("cmd_Kao");
  ASSERT_NE(nullptr, box);
  ASSERT_NE(nullptr, kao);
  PhotoState& photo = *b.Form().Photo();
  // the pop-up offers nothing without a picture
  QContextMenuEvent menuAt(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(box, &menuAt);
  auto* menu = b.Form().findChild<QMenu*>("mnus_Phot");
  ASSERT_NE(nullptr, menu);
  menu->hide();
  std::vector<std::string> names;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    names.push_back(a->objectName().toStdString() + " " + a->text().toStdString());
    EXPECT_FALSE(a->isEnabled());
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"cmd_PhotView 画像を表示する", "mnus_PhotRollR 画像を右に回転",
                                      "mnus_PhotRollL 画像を左に回転", "mnus_PhotDel 画像を破棄する"}));

  const std::string folder = b.home + "/写真";
  ASSERT_TRUE(fileops::MakeDirs(folder));
  ASSERT_TRUE(WriteTestJpeg(folder + "/旅行.jpg", 640, 480));
  b.files.answers.push_back(folder + "/旅行.jpg");
  kao->click();
  ASSERT_EQ(b.files.asked.size(), 1u);
  const std::string filter = cp932::ToUtf8(b.files.asked[0].filter);
  EXPECT_NE(std::string::npos, filter.find("*.jpg")) << filter;
  EXPECT_EQ(std::string::npos, filter.find("png")) << filter;
  ASSERT_GT(photo.Bitmap().Width(), 0);
  EXPECT_EQ(QString::fromStdString(folder + "/旅行.jpg"), box->toolTip());
  QApplication::sendEvent(box, &menuAt);
  menu->hide();
  for (QAction* a : menu->actions()) EXPECT_TRUE(a->isSeparator() || a->isEnabled());
  b.Form().findChild<QAction*>("mnus_PhotRollR")->trigger();
  b.Form().findChild<QAction*>("mnus_PhotRollR")->trigger();
  EXPECT_EQ(photo.Shown(), 'C');
  WriteBytes(b.program + "/jbxview", "");  // the viewer beside the program
  QTest::mouseDClick(box, Qt::LeftButton);
  ASSERT_EQ(b.launcher.started.size(), 1u) << (b.prompter.Shown().empty() ? "" : b.prompter.ShownUtf8()[0]);
  EXPECT_EQ(b.launcher.started[0].args, (std::vector<std::string>{folder + "/旅行.jpg", "DB"}));

  b.Form().cmd_InputClick();
  CMyDB& db = *b.w->Objects().db;
  const int row = db.RecordCount() - 1;
  const std::string key = db.Value(memo::kIms001, row);
  ASSERT_EQ(key.size(), 37u);
  EXPECT_EQ(key.back(), 'C');
  EXPECT_EQ(cp932::ToUtf8(db.Value(memo::kImg001, row)), folder + "/旅行.jpg");
  EXPECT_TRUE(fileops::IsFile(photo::ThumbnailPath(b.w->Global()->DivisionPath("") + "/", key)));
  // the photo diary's rows draw it from the thumbnail
  Tabs(*b.w, "tab_Scr")->setCurrentIndex(2);
  (void)b.w->RenderSheetImage(440, 560);
  CMyScr& scr = *b.w->Objects().scr;
  bool drawn = false;
  for (int i = 0; i < CMyScr::kCacheSlots; ++i) drawn = drawn || scr.CachedName(i) == "S" + key;
  EXPECT_TRUE(drawn);
}
