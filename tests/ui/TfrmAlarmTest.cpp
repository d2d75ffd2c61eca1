// The alarms in the main window: the alarm dialogs driven by objectName,
// the tick over a clock the test moves, missed alarms at start-up, the tray
// item without a tray host, and "関連付け実行".
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "alarm/TfrmAlarm.h"
#include "alarm/TfrmAlarmSet.h"
#include "alarm/TfrmMissedAlarms.h"
#include "input/CMyInput.h"
#include "input/TfrmInput.h"
#include "mainview/editing/EditActions.h"
#include "mainview/editing/FieldRun.h"
#include "mainview/tray/AlarmActions.h"
#include "platform/Notifier.h"
#include "platform/SoundPlayer.h"
#include "qtkit/SjLineEdit.h"
#include "ui/MainWindowFixture.h"
#include "ui/Widgets.h"

namespace {

struct Diary : MainFixture {
  std::unique_ptr<TfrmMain> w;
  RecordingPlayer player;
  RecordingNotifier notifier;
  explicit Diary(bool create = true) {
    clock.Set(TimeOfDay{10, 30, 0});
    UserAnswers("u");
    if (create) Create();
  }
  void Create() {
    w = std::make_unique<TfrmMain>(Env());
    window = w.get();
    w->FormCreate();
    w->Feature<AlarmActions>().UseSeams(&player, &notifier, nullptr);
  }
  std::string Add(const std::string& key, const std::string& memo) {
    CMyInput& m = w->InputForm()->Model();
    EXPECT_TRUE(w->ShowEntry(key, -1));
    m.SetValue(m.FindControl("MEM001"), memo);
    EXPECT_TRUE(m.SaveRecord());
    return m.SavedSerial();
  }
  std::vector<std::string> Lines(TfrmAlarm& d) {
    std::vector<std::string> out;
    auto* list = Child<QListWidget>(d, "lst_Main");
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
  }
  std::string Last() const { return prompter.Shown().empty() ? "" : prompter.ShownUtf8().back(); }
};

// One tick, and the boxes it leaves to the event loop.
void Tick(Diary& d) {
  d.w->Feature<AlarmActions>().Timer1Timer();
  QCoreApplication::processEvents();
}

}  // namespace

TEST(TfrmAlarm, EveryButtonOfTheDialog) {
  Diary d;
  d.Add("2026/12/09", "[11:00]歯医者"_sj);
  bool ran = false;
  d.dialogs.On<TfrmAlarm>("frmAlarm", [&](TfrmAlarm& dlg) {
    auto* cmd_Update = Child<QPushButton>(dlg, "cmd_Update");
    auto* cmd_AlarmOnOff = Child<QPushButton>(dlg, "cmd_AlarmOnOff");
    auto* cmd_Delete = Child<QPushButton>(dlg, "cmd_Delete");
    auto* txt_YMD = Child<SjLineEdit>(dlg, "txt_YMD");
    auto* txt_Time = Child<SjLineEdit>(dlg, "txt_Time");
    auto* txt_Sc = Child<SjLineEdit>(dlg, "txt_Sc");
    auto* lst_Main = Child<QListWidget>(dlg, "lst_Main");
    ran = true;
    EXPECT_EQ(QStringLiteral("アラーム設定"), dlg.windowTitle());
    EXPECT_EQ((std::vector<std::string>{" 2026/12/09 11:00  [11:00]歯医者"}), d.Lines(dlg));
    EXPECT_FALSE(cmd_Update->isEnabled());
    EXPECT_FALSE(cmd_AlarmOnOff->isEnabled());
    EXPECT_FALSE(cmd_Delete->isEnabled());
    // update without a line being edited
    dlg.cmd_UpdateClick();
    EXPECT_EQ("更新の場合、対象データを選択して下さい。(E080915)", d.Last());
    // the input method is off for the date and time, and digits typed full-width are digits
    EXPECT_FALSE(ImEnabled(txt_YMD) || ImEnabled(txt_Time));
    EXPECT_TRUE(ImEnabled(txt_Sc));
    txt_YMD->insert(QString::fromUtf8("２０２６１２３１"));
    EXPECT_TRUE(dlg.txt_YMDExit());
    EXPECT_EQ(QStringLiteral("2026/12/31"), txt_YMD->text());
    txt_Time->insert(QString::fromUtf8("０９３０"));
    EXPECT_TRUE(dlg.txt_TimeExit());
    EXPECT_EQ(QStringLiteral("09:30"), txt_Time->text());
    // a new alarm, typed as people type dates and times
    txt_YMD->setText("2026.12.24");
    EXPECT_TRUE(dlg.txt_YMDExit());
    EXPECT_EQ(QStringLiteral("2026/12/24"), txt_YMD->text());
    txt_Time->setText("25:99");
    EXPECT_FALSE(dlg.txt_TimeExit());
    EXPECT_EQ("不正な時間です。", d.Last());
    txt_Time->setText("1900");
    EXPECT_TRUE(dlg.txt_TimeExit());
    txt_Sc->setText(QStringLiteral("イブ"));
    dlg.cmd_InsertClick();
    EXPECT_EQ((std::vector<std::string>{" 2026/12/24 19:00  イブ", " 2026/12/09 11:00  [11:00]歯医者"}),
              d.Lines(dlg));
    EXPECT_TRUE(txt_YMD->text().isEmpty());
    // a double click edits the line: switch it off
    lst_Main->setCurrentRow(1);
    dlg.lst_MainDblClick();
    EXPECT_EQ(QStringLiteral("2026/12/09"), txt_YMD->text());
    EXPECT_EQ(QStringLiteral("アラーム停止"), cmd_AlarmOnOff->text());
    EXPECT_TRUE(cmd_Update->isEnabled());
    dlg.cmd_AlarmOnOffClick();
    EXPECT_EQ("-2026/12/09 11:00  [11:00]歯医者", d.Lines(dlg)[1]);
    EXPECT_FALSE(cmd_AlarmOnOff->isEnabled());
    lst_Main->setCurrentRow(1);
    dlg.lst_MainDblClick();
    EXPECT_EQ(QStringLiteral("アラーム開始"), cmd_AlarmOnOff->text());
    // a click on another line stops the editing
    lst_Main->setCurrentRow(0);
    dlg.lst_MainClick();
    EXPECT_FALSE(cmd_Update->isEnabled());
    // "使用済全削除" asks, and leaves the armed one
    d.prompter.Queue(kAnswerYes);
    dlg.cmd_DelAllClick();
    EXPECT_EQ((std::vector<std::string>{" 2026/12/24 19:00  イブ"}), d.Lines(dlg));
    lst_Main->setCurrentRow(0);
    d.prompter.Queue(kAnswerNo);
    dlg.cmd_DeleteClick();
    EXPECT_EQ(1, lst_Main->count());
    return QDialog::Accepted;
  });
  ASSERT_TRUE(Trigger(*d.w, "mnu_FileAlarm"));
  EXPECT_TRUE(ran);
  EXPECT_EQ(1, d.w->Alarms()->Count());
  // the menu item sits in the file menu, above "終了"
  QAction* item = d.w->findChild<QAction*>("mnu_FileAlarm");
  ASSERT_TRUE(item);
  EXPECT_EQ(QStringLiteral("アラームの設定(&L)..."), item->text());
  const QList<QAction*> file = d.w->Actions().Menu(QStringLiteral("ファイル(&F)"))->actions();
  EXPECT_LT(file.indexOf(item), file.indexOf(d.w->findChild<QAction*>("mnuFileExit")));
}

TEST(TfrmAlarm, TheSettingsDialogChecksAndStores) {
  Diary d;
  const std::string wav = d.dir / "bell.wav";
  WriteBytes(wav, std::string("RIFF\0\0\0\0WAVEfmt ", 16));
  d.files.answers.push_back(wav);
  int runs = 0;
  d.dialogs.On<TfrmAlarmSet>("frmAlarmSet", [&](TfrmAlarmSet& s) {
    auto* chk_OnMsg = Child<QCheckBox>(s, "chk_OnMsg");
    auto* txt_SoundPath = Child<SjLineEdit>(s, "txt_SoundPath");
    auto* chk_OnTask = Child<QCheckBox>(s, "chk_OnTask");
    auto* chk_TaskAnime = Child<QCheckBox>(s, "chk_TaskAnime");
    auto* chk_OnSound = Child<QCheckBox>(s, "chk_OnSound");
    auto* cmd_SoundPath = Child<QPushButton>(s, "cmd_SoundPath");
    auto* txt_TimeFrom = Child<SjLineEdit>(s, "txt_TimeFrom");
    auto* txt_TimeTo = Child<SjLineEdit>(s, "txt_TimeTo");
    ++runs;
    EXPECT_EQ(QStringLiteral("アラーム設定詳細"), s.windowTitle());
    EXPECT_TRUE(chk_OnMsg->isChecked());
    EXPECT_FALSE(txt_SoundPath->isEnabled());
    chk_OnTask->setChecked(false);
    EXPECT_FALSE(chk_TaskAnime->isEnabled());
    chk_OnMsg->setChecked(false);
    s.cmd_OkClick();
    EXPECT_EQ("アラームの知らせる方法をどれか一つは選択して下さい。", d.Last());
    chk_OnSound->setChecked(true);
    EXPECT_TRUE(cmd_SoundPath->isEnabled());
    s.cmd_OkClick();
    EXPECT_EQ("サウンドファイルを入力して下さい。", d.Last());
    txt_SoundPath->setText(QString::fromStdString(d.dir.path()));
    s.cmd_OkClick();
    EXPECT_EQ("サウンドファイルではなくフォルダーです。", d.Last());
    s.cmd_SoundPathClick();
    EXPECT_EQ(QString::fromStdString(wav), txt_SoundPath->text());
    EXPECT_EQ("Wav files (*.wav)", cp932::ToUtf8(d.files.asked.back().filter));
    txt_TimeFrom->clear();
    s.cmd_OkClick();
    EXPECT_EQ("時間囲み文字の最初を入力して下さい。", d.Last());
    txt_TimeFrom->setText(QStringLiteral("【"));
    txt_TimeTo->clear();
    s.cmd_OkClick();
    EXPECT_EQ("時間囲み文字の後ろを入力して下さい。", d.Last());
    txt_TimeTo->setText(QStringLiteral("】"));
    s.cmd_OkClick();
    return s.result();
  });
  d.dialogs.On<TfrmAlarm>("frmAlarm", [&](TfrmAlarm& dlg) {
    dlg.cmd_DetailSetClick();
    return QDialog::Accepted;
  });
  ASSERT_TRUE(Trigger(*d.w, "mnu_FileAlarm"));
  EXPECT_EQ(1, runs);
  CMyGlobal& g = *d.w->Global();
  EXPECT_FALSE(g.alarmMsg);
  EXPECT_FALSE(g.alarmTask);
  EXPECT_TRUE(g.alarmSound);
  EXPECT_EQ(wav, g.alarmSoundPath);
  EXPECT_EQ("【"_sj, g.timeF);
  // the memo's marks follow at once, and are kept in the settings file
  d.Add("2026/12/10", "【08:30】朝礼"_sj);
  EXPECT_EQ("08:30", d.w->Alarms()->Item(0).time);
  EXPECT_NE(std::string::npos, ReadBytes(g.UserPath("jbxuser.ini")).find("TIME_F="));
}

TEST(TfrmAlarm, ADiaryLineRingsAtItsMinuteAndIsWrittenAtOnce) {
  Diary d;
  d.Add("2026/12/09", "[10:32]テスト"_sj);
  // written by the next tick, not only at the close
  Tick(d);
  CMyAlarm onDisk(*d.w->Global(), d.clock);
  onDisk.Load(d.w->Global()->UserPath("alarm.dat"));
  ASSERT_EQ(1, onDisk.Count());
  EXPECT_EQ(1, onDisk.Item(0).state);
  d.prompter.ClearShown();
  d.clock.Set(TimeOfDay{10, 31, 0});
  Tick(d);
  EXPECT_TRUE(d.prompter.Shown().empty());
  d.clock.Set(TimeOfDay{10, 32, 0});
  d.w->Feature<AlarmActions>().Timer1Timer();
  EXPECT_TRUE(d.prompter.Shown().empty());  // the box comes once the tick has returned
  QCoreApplication::processEvents();
  ASSERT_EQ(1u, d.prompter.Shown().size());
  EXPECT_EQ("お知らせ(10:32)", cp932::ToUtf8(d.prompter.Shown()[0].caption));
  EXPECT_EQ("[10:32]テスト", d.Last());
  ASSERT_EQ(1u, d.notifier.sent.size());
  onDisk.Load(d.w->Global()->UserPath("alarm.dat"));
  EXPECT_EQ(0, onDisk.Item(0).state);
}

TEST(TfrmAlarm, AStartAfterTheMinuteListsTheAlarmAsMissed) {
  Diary d;
  d.Add("2026/12/09", "[10:45]会議"_sj);
  d.w->close();
  d.w.reset();
  d.clock.Set(TimeOfDay{11, 20, 0});  // the program was closed through 10:45
  std::vector<std::string> shown;
  d.dialogs.On<TfrmMissedAlarms>("frmMissedAlarms", [&](TfrmMissedAlarms& m) {
    EXPECT_EQ(QStringLiteral("お知らせ（見逃したアラーム）"), m.windowTitle());
    auto* list = Child<QListWidget>(m, "lst_Missed");
    for (int i = 0; i < list->count(); ++i) shown.push_back(list->item(i)->text().toStdString());
    return QDialog::Accepted;
  });
  d.Create();
  Tick(d);
  EXPECT_EQ((std::vector<std::string>{"2026/12/09 10:45  [10:45]会議  （35分遅れ）"}), shown);
  EXPECT_EQ(0, d.w->Alarms()->Item(0).state);
  Tick(d);
  EXPECT_EQ(1u, shown.size());
}

TEST(TfrmAlarm, WithoutATrayHostTheWindowNeverHides) {
  Diary d(false);  // remembered as closed from the tray, started with "-C"
  MainEnvironment e = d.Env();
  e.arguments = {QStringLiteral("-C")};
  d.w = std::make_unique<TfrmMain>(e);
  d.window = d.w.get();
  d.w->FormCreate();
  d.w->Global()->task = true;
  ASSERT_TRUE(d.w->StartsInTray());
  d.w->ShowAtStart();  // offscreen there is no tray
  EXPECT_TRUE(d.w->isVisible());
  EXPECT_FALSE(d.w->Feature<AlarmActions>().InTray());
  QAction* task = d.w->findChild<QAction*>("mnuFileTask");
  ASSERT_TRUE(task);
  d.w->Actions().Refresh();
  EXPECT_FALSE(task->isEnabled());
  EXPECT_EQ(AlarmActions::NoTrayTip(), task->toolTip());
  task->trigger();  // the predicate holds it back
  EXPECT_TRUE(d.w->isVisible());
  // the close button still closes, and TASK is not kept
  EXPECT_TRUE(d.w->close());
  EXPECT_FALSE(d.w->Global()->task);
}

TEST(TfrmAlarm, RunFieldTargetOpensThroughTheOpener) {
  Diary d;
  MainContext ctx{d.w->Objects(), d.prompter, d.beeper, d.clock, d.files, d.clipboard, d.opener};
  // a text file of the user's folder is made first
  EXPECT_TRUE(fieldrun::Run(ctx, "買い物.txt"_sj));
  const std::string made = d.w->Global()->UserPath("買い物.txt"_sj);
  EXPECT_TRUE(fileops::IsFile(made));
  ASSERT_EQ(1u, d.opener.opened.size());
  EXPECT_EQ(made, d.opener.opened[0]);
  EXPECT_FALSE(fieldrun::Run(ctx, "/no/such/file.pdf"));
  EXPECT_EQ("実行するファイルが存在しません。", d.Last());
  EXPECT_TRUE(fieldrun::Run(ctx, "https://example.com/"));
  EXPECT_EQ("https://example.com/", d.opener.opened.back());
  EXPECT_FALSE(fieldrun::Run(ctx, (std::string(300, 'a') + ".txt")));
  EXPECT_EQ("サイズがオーバーしました。", d.Last());

  // the popup item names the field under the mouse, and runs its value
  d.Add("2026/12/09", "/no/such/file.pdf");
  QAction* run = d.w->findChild<QAction*>("pmenu_FieldRun");
  ASSERT_TRUE(run);
  QMenu* popup = d.w->Actions().Menu(QStringLiteral("#pmenu_MainPopup"));
  d.w->Feature<EditFeature>().Commands().SetFieldUnderMouse({});
  emit popup->aboutToShow();
  EXPECT_EQ(QStringLiteral("関連付け実行(&R)"), run->text());
  EXPECT_FALSE(run->isEnabled());
  ASSERT_TRUE(d.w->Feature<EditFeature>().Commands().SelectRow("2026/12/09", {}));
  d.w->Feature<EditFeature>().Commands().SetFieldUnderMouse("MEM001");
  emit popup->aboutToShow();
  EXPECT_EQ(QStringLiteral("『MEM001』の関連付け実行(&R)"), run->text());
  EXPECT_TRUE(run->isEnabled());
  d.prompter.ClearShown();
  run->trigger();
  EXPECT_EQ("実行するファイルが存在しません。", d.Last());
}
