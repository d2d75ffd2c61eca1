// The backup and restore dialogs from the file menu of a real diary: a user
// with two books backed up, restored under a new name through the dialog,
// and the window changed to the restored user; the offer at start-up.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <memory>

#include "exchange/CMyBackup.h"
#include "exchange/CMyRestore.h"
#include "exchange/TfrmDataBack.h"
#include "exchange/TfrmRestore.h"
#include "input/TfrmInput.h"
#include "platform/IniFile.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"

namespace {

struct Diary : MainFixture {
  std::unique_ptr<TfrmMain> w;
  std::string back = dir / "back";
  Diary() {
    EXPECT_TRUE(fileops::MakeDir(back));
    UserAnswers("u");
    Start();
    prompter.ClearShown();
  }
  void Start() {
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
  }
  // Closes the window as the user does (the settings are written) and
  // starts it again.
  void Restart() {
    w->FormCloseQuery();
    w.reset();
    Start();
  }
  CMyGlobal& G() { return *w->Global(); }
  std::string UserDir(const char* name) { return program + "/" + name; }
  void AddBook(const char* utf8) {
    const std::string name = cp932::FromUtf8(utf8);
    dialogs.On<QDialog>("frmNewDiv", [this, name](QDialog&) {
      return MakeDivision(name) ? QDialog::Accepted : QDialog::Rejected;
    });
    ASSERT_TRUE(Trigger(*w, "mnuFileNewDiv"));
  }
  // Today's diary entry with a bracketed time (an alarm too).
  void AddMemo(const char* utf8) {
    ASSERT_TRUE(Trigger(*w, "tbt_NowNew"));
    TfrmInput& f = *w->InputForm();
    f.findChild<SjTextEdit*>("txt_Mem001")->setPlainText(QString::fromUtf8(utf8));
    f.cmd_InputClick();
    ASSERT_FALSE(f.isVisible()) << (prompter.Shown().empty() ? "" : prompter.ShownUtf8()[0]);
  }
  QStringList DivisionTabs() {
    QStringList t;
    for (int i = 0; i < Tabs(*w, "tab_Div")->count(); ++i) t << Tabs(*w, "tab_Div")->tabText(i);
    return t;
  }
  bool Told(const char* text) {
    for (const std::string& s : prompter.ShownUtf8())
      if (s.find(text) != std::string::npos) return true;
    return false;
  }
  // The backup dialog from the menu, answered by `script`.
  void BackUpWith(const std::function<void(TfrmDataBack&)>& script) {
    dialogs.On<TfrmDataBack>("frmDataBack", [script](TfrmDataBack& dlg) {
      script(dlg);
      return dlg.result();
    });
    ASSERT_TRUE(Trigger(*w, "mnu_FileUserBackBack"));
  }
};

bool Ran(const Diary& d, const char* dialog) {
  return std::find(d.dialogs.run.begin(), d.dialogs.run.end(), QString::fromUtf8(dialog)) !=
         d.dialogs.run.end();
}

template <class T>
QString TextOf(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  return c ? c->text() : QStringLiteral("<no %1>").arg(name);
}

TEST(TfrmBackup, BothItemsFollowTheUserItemInTheFileMenu) {
  Diary d;
  ASSERT_TRUE(d.w->Started());
  QStringList names;
  for (QAction* a : d.w->Actions().Menu(QString::fromUtf8("ファイル(&F)"))->actions())
    names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
  const QStringList want = {"mnu_FileUser", "-", "mnu_FileUserBackBack", "mnu_FileUserBackRestore", "-",
                            "mnuFileNewDiv"};
  EXPECT_EQ(want, names.mid(0, want.size()));
  d.w->Actions().Refresh();
  EXPECT_EQ(QString::fromUtf8("バックアップ(&B)..."), d.w->Actions().Find("mnu_FileUserBackBack")->text());
  EXPECT_EQ(QString::fromUtf8("リストア(復元)(&R)..."),
            d.w->Actions().Find("mnu_FileUserBackRestore")->text());
  EXPECT_TRUE(d.w->Actions().Find("mnu_FileUserBackRestore")->isEnabled());
}

TEST(TfrmBackup, TheDialogRefusesNoFolderShowsAFailureAndClosesOnSuccess) {
  Diary d;
  int code = -99;
  d.BackUpWith([&](TfrmDataBack& dlg) {
    EXPECT_EQ(QString::fromUtf8("バックアップ"), dlg.windowTitle());
    EXPECT_EQ(QString::fromUtf8("バックアップします。よろしいですか？"), TextOf<QLabel>(dlg, "lbl_Msg"));
    EXPECT_EQ(QString::fromUtf8("※画像のようなパスデータのパス先は保持しません。"),
              TextOf<QLabel>(dlg, "lbl_Note"));
    EXPECT_EQ(QString::fromUtf8("保存先フォルダ"), TextOf<QLabel>(dlg, "lbl_Copy"));
    EXPECT_EQ(QString::fromUtf8("＜保存先フォルダの指定がありません。＞"),
              TextOf<SjLineEdit>(dlg, "txt_Path"));
    EXPECT_EQ(QString::fromUtf8("Ok(&O)"), TextOf<QPushButton>(dlg, "cmd_Ok"));
    EXPECT_EQ(QString::fromUtf8("キャンセル(&C)"), TextOf<QPushButton>(dlg, "cmd_Cancel"));
    EXPECT_TRUE(dlg.findChild<QLabel*>("lbl_Last")->isHidden());  // no backup yet
    code = dlg.cmd_OkClick();
  });
  EXPECT_EQ(CMyBackup::kNoPath, code);
  EXPECT_TRUE(d.Told("オプション画面より保存先フォルダを指定してください。"));
  EXPECT_TRUE(d.G().backLastTime.empty());

  // a destination that is a file, not a folder: loud, and the dialog says so too
  WriteBytes(d.dir / "afile", "x");
  d.G().backPath = d.dir / "afile";
  d.prompter.ClearShown();
  d.BackUpWith([&](TfrmDataBack& dlg) {
    code = dlg.cmd_OkClick();
    EXPECT_NE(QDialog::Accepted, dlg.result());
    EXPECT_EQ(
        QString::fromUtf8("最終バックアップ: 2026/12/09 09:00 失敗(-1)\n保存先フォルダの指定が不正です。"),
        TextOf<QLabel>(dlg, "lbl_Last"));
    EXPECT_FALSE(dlg.findChild<QLabel*>("lbl_Last")->isHidden());
  });
  EXPECT_EQ(CMyBackup::kCannotCreate, code);
  ASSERT_EQ(1u, d.prompter.Shown().size());
  EXPECT_NE(std::string::npos, d.prompter.ShownUtf8()[0].find("afile/u_1.mbk"));

  // a folder: the copy names each source file as it goes, then the dialog closes
  d.G().backPath = d.back;
  d.prompter.ClearShown();
  QStringList shown;
  d.BackUpWith([&](TfrmDataBack& dlg) {
    auto* path = dlg.findChild<SjLineEdit*>("txt_Path");
    EXPECT_EQ(QString::fromStdString(d.back), path->text());
    QObject::connect(path, &QLineEdit::textChanged, &dlg,
                     [&](const QString& t) { shown << TextOf<QLabel>(dlg, "lbl_Copy") + " " + t; });
    code = dlg.cmd_OkClick();
    EXPECT_TRUE(dlg.BackedUp());
    EXPECT_EQ(QDialog::Accepted, dlg.result());
  });
  EXPECT_EQ(CMyBackup::kOk, code);
  EXPECT_TRUE(d.prompter.Shown().empty()) << d.prompter.ShownUtf8()[0];
  EXPECT_TRUE(fileops::IsFile(d.back + "/u_1.mbk"));
  EXPECT_EQ(QString::fromStdString("バックアップしました: " + d.back + "/u_1.mbk"),
            d.w->statusBar()->currentMessage());
  EXPECT_TRUE(shown.contains(QString::fromUtf8("コピー元 ") +
                             QString::fromStdString(d.UserDir("u") + "/jbxuser.jpr")))
      << shown.join("\n").toStdString();
  // the next time the dialog shows how the last one ended, also after a restart
  d.Restart();
  d.BackUpWith([&](TfrmDataBack& dlg) {
    EXPECT_EQ(QString::fromUtf8("最終バックアップ: 2026/12/09 09:00 正常"), TextOf<QLabel>(dlg, "lbl_Last"));
    dlg.reject();
  });
  IniFile ini;
  ASSERT_TRUE(ini.Load(d.UserDir("u") + "/jbxuser.ini"));
  EXPECT_EQ(1, ini.GetInt("BACK", "CU", -1));
  EXPECT_EQ(0, ini.GetInt("BACK", "LAST_RESULT", -1));
}

TEST(TfrmBackup, ARestoreUnderANewNameOpensTheRestoredUserWithBothBooks) {
  Diary d;
  ASSERT_NO_FATAL_FAILURE(d.AddMemo("歯医者\n[10:30]薬局"));
  ASSERT_NO_FATAL_FAILURE(d.AddBook("家計簿"));
  ASSERT_EQ((QStringList{QString::fromUtf8("日記帳"), QString::fromUtf8("家計簿")}), d.DivisionTabs());
  d.G().backPath = d.back;
  d.BackUpWith([](TfrmDataBack& dlg) { (void)dlg.cmd_OkClick(); });
  const std::string archive = d.back + "/u_1.mbk";
  ASSERT_TRUE(fileops::IsFile(archive));
  const std::string diary = cp932::ToUtf8("日記帳"_sj);
  const std::string month = ReadBytes(d.UserDir("u") + "/" + diary + "/dt202612.jdt");
  ASSERT_NE(std::string::npos, month.find("歯医者"_sj));
  // the alarm of the entry is in the archive although the window has not
  // saved its alarms yet
  ASSERT_EQ(1, d.w->Alarms()->Count());

  int code = -99;
  d.prompter.ClearShown();
  d.dialogs.On<TfrmRestore>("frmRestore", [&](TfrmRestore& dlg) {
    EXPECT_EQ(QString::fromUtf8("リストア(復元)"), dlg.windowTitle());
    EXPECT_EQ(QString::fromUtf8("ｷｬﾝｾﾙ(&C)"), TextOf<QPushButton>(dlg, "cmd_Cancel"));
    EXPECT_EQ(QString::fromUtf8("..."), TextOf<QPushButton>(dlg, "cmd_Path"));
    EXPECT_EQ(
        QString::fromUtf8("自動バックアップ機能で指定したフォルダに作成したファイルからデータを復元します。"),
        TextOf<QLabel>(dlg, "lbl_Note1"));
    // the archive from the file dialog, which starts in the backup folder
    d.files.answers.push_back(archive);
    dlg.cmd_PathClick();
    EXPECT_EQ(1u, d.files.asked.size());
    if (d.files.asked.empty()) return 0;
    EXPECT_EQ(d.back, d.files.asked.back().folder);
    EXPECT_FALSE(d.files.asked.back().save);
    EXPECT_EQ("ひとことバックアップファイル(*.mbk)", cp932::ToUtf8(d.files.asked.back().filter));
    EXPECT_EQ(QString::fromStdString(archive), TextOf<SjLineEdit>(dlg, "txt_Path"));
    // not over the user in use, whatever the case
    dlg.findChild<SjLineEdit*>("txt_UserName")->setText("U");
    EXPECT_EQ(CMyRestore::kCurrentUser, dlg.cmd_OkClick());
    EXPECT_NE(QDialog::Accepted, dlg.result());
    EXPECT_TRUE(d.Told("選択中のユーザーは指定出来ません。"));
    dlg.findChild<SjLineEdit*>("txt_UserName")->setText(QString::fromUtf8("復元"));
    code = dlg.cmd_OkClick();
    EXPECT_TRUE(dlg.Restored());
    return dlg.result();
  });
  ASSERT_TRUE(Trigger(*d.w, "mnu_FileUserBackRestore"));
  ASSERT_EQ(0, code) << (d.prompter.Shown().empty() ? "" : d.prompter.ShownUtf8().back());
  // the window is the restored user's: name table, books, alarms
  EXPECT_EQ("復元"_sj, d.G().UserName());
  EXPECT_NE(std::string::npos, ReadBytes(d.program + "/jotbox.ini").find("NAME=" + "復元"_sj));
  EXPECT_EQ((QStringList{QString::fromUtf8("日記帳"), QString::fromUtf8("家計簿")}), d.DivisionTabs());
  EXPECT_EQ(d.UserDir("復元") + "/" + diary, d.G().DivisionPath(""));
  EXPECT_EQ(month, ReadBytes(d.UserDir("復元") + "/" + diary + "/dt202612.jdt"));
  ASSERT_GE(d.w->Alarms()->Count(), 1);
  EXPECT_NE(std::string::npos, d.w->Alarms()->Item(0).message.find("薬局"_sj));
  // the backups shown from now on are the restored user's, not those of
  // the user it came from (whose backup had not noted itself yet when the
  // archive took its settings)
  EXPECT_TRUE(d.G().backLastTime.empty()) << d.G().backLastTime;
  EXPECT_EQ(0, d.G().backCu);
  IniFile from;
  ASSERT_TRUE(from.Load(d.UserDir("u") + "/jbxuser.ini"));
  EXPECT_EQ(1, from.GetInt("BACK", "CU", 0));
  // the sheet shows the restored entry
  bool onSheet = false;
  for (const SheetRow& r : d.w->View()->Rows()) onSheet = onSheet || r.record >= 0;
  EXPECT_TRUE(onSheet);
  // and the user it came from is as it was
  EXPECT_EQ(month, ReadBytes(d.UserDir("u") + "/" + diary + "/dt202612.jdt"));
}

TEST(TfrmBackup, ATruncatedArchiveLeavesTheTargetAndTheWindowAsTheyWere) {
  Diary d;
  d.G().backPath = d.back;
  d.BackUpWith([](TfrmDataBack& dlg) { (void)dlg.cmd_OkClick(); });
  const std::string good = ReadBytes(d.back + "/u_1.mbk");
  ASSERT_GT(good.size(), 1000u);
  WriteBytes(d.back + "/cut.mbk", good.substr(0, good.size() / 2));
  ASSERT_TRUE(fileops::MakeDirs(d.UserDir("v")));
  WriteBytes(d.UserDir("v") + "/jbxuser.ini", "v's own");
  d.prompter.ClearShown();
  d.prompter.Queue(kAnswerYes);  // 上書きしてよろしいですか？
  int code = 0;
  d.dialogs.On<TfrmRestore>("frmRestore", [&](TfrmRestore& dlg) {
    dlg.findChild<SjLineEdit*>("txt_UserName")->setText("v");
    dlg.findChild<SjLineEdit*>("txt_Path")->setText(QString::fromStdString(d.back + "/cut.mbk"));
    code = dlg.cmd_OkClick();
    EXPECT_FALSE(dlg.Restored());
    return QDialog::Rejected;
  });
  ASSERT_TRUE(Trigger(*d.w, "mnu_FileUserBackRestore"));
  EXPECT_LT(code, 0);
  ASSERT_EQ(2u, d.prompter.Shown().size());
  EXPECT_EQ(0u, d.prompter.ShownUtf8()[1].find("読み込みに失敗しました。")) << d.prompter.ShownUtf8()[1];
  EXPECT_EQ("u", d.G().UserName());
  EXPECT_EQ("v's own", ReadBytes(d.UserDir("v") + "/jbxuser.ini"));
  EXPECT_EQ(1u, fileops::List(d.UserDir("v"), "*").size());
  EXPECT_EQ(QStringList{QString::fromUtf8("日記帳")}, d.DivisionTabs());
}

// The offer when the window is first shown, by KIND and the date of the
// last offer; the offer is on disk at once whatever the answer.
TEST(TfrmBackup, TheStartUpOfferByIntervalAndDateOfTheLastOffer) {
  struct Case {
    int kind, ymd;
    CivilDate today;
    bool offered;
    int ymdAfter;
  } cases[] = {
      {7, 20261201, {2026, 12, 9}, true, 20261209},    // eight days ago
      {7, 20261202, {2026, 12, 9}, true, 20261209},    // seven days ago
      {7, 20261203, {2026, 12, 9}, false, 20261203},   // six
      {1, 20261208, {2026, 12, 9}, true, 20261209},    // daily
      {1, 20261209, {2026, 12, 9}, false, 20261209},   // offered today already
      {31, 20261108, {2026, 12, 9}, true, 20261209},   // monthly: 31 days
      {31, 20261109, {2026, 12, 9}, false, 20261109},  // 30 days
      {0, 20200101, {2026, 12, 9}, false, 20200101},   // never
      {7, 0, {2026, 12, 9}, false, 20261209},          // the first start only starts the count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + std::to_string(c.ymd));
    Diary d;
    d.w->FormCloseQuery();
    d.w.reset();
    IniFile ini;
    ASSERT_TRUE(ini.Load(d.UserDir("u") + "/jbxuser.ini"));
    ini.SetInt("BACK", "KIND", c.kind);
    ini.SetInt("BACK", "YMD", c.ymd);
    ASSERT_TRUE(ini.Save(d.UserDir("u") + "/jbxuser.ini"));
    d.clock.Set(c.today);
    d.dialogs.run.clear();
    d.Start();
    d.w->show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(c.offered, Ran(d, "frmDataBack"));
    ASSERT_TRUE(ini.Load(d.UserDir("u") + "/jbxuser.ini"));
    EXPECT_EQ(c.ymdAfter, ini.GetInt("BACK", "YMD", -1));
    // the offer is shown once: showing the window again asks nothing
    d.dialogs.run.clear();
    d.w->hide();
    d.w->show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(d.dialogs.run.empty());
    d.w->hide();
  }
}

TEST(TfrmBackup, ACancelledOfferComesBackOnlyWhenTheIntervalHasPassedAgain) {
  Diary d;
  d.G().backKind = 7;
  d.G().backYmd = 20261201;
  d.Restart();  // the settings above are written at close
  d.w->show();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  ASSERT_TRUE(Ran(d, "frmDataBack"));  // unscripted: cancelled
  d.w->hide();
  for (CivilDate day : {CivilDate{2026, 12, 9}, CivilDate{2026, 12, 15}, CivilDate{2026, 12, 16}}) {
    d.clock.Set(day);
    d.dialogs.run.clear();
    d.Restart();
    d.w->show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(day.day == 16, Ran(d, "frmDataBack")) << day.day;
    d.w->hide();
  }
}

}  // namespace
