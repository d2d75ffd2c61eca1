// The one-second tick, the tray's rules and "関連付け実行"'s checks, each
// over fakes of the desktop: a clock set by the test, a recording tray,
// player and notifier.
#include <gtest/gtest.h>

#include "alarm/CMyAlarm.h"
#include "mainview/editing/FieldRun.h"
#include "mainview/tray/AlarmTicker.h"
#include "mainview/tray/TrayModel.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Notifier.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "shell/CMyGlobal.h"
#include "support/TempDir.h"

namespace {

struct FakeTray : TrayPort {
  bool available = true;
  bool windowShown = true;
  bool iconShown = false;
  int frame = -1;
  std::string tip;
  int day = 0;
  int adds = 0;
  int referenceClosed = 0;
  std::vector<int> frames;
  std::string menuCaption = "タスクに入れる", viewCaption;
  bool Available() const override { return available; }
  void AddIcon(int d, const std::string& t) override {
    iconShown = true;
    day = d;
    tip = cp932::ToUtf8(t);
    frame = -1;
    ++adds;
  }
  void ShowFrame(int f) override {
    frame = f;
    frames.push_back(f);
  }
  void RemoveIcon() override { iconShown = false; }
  void ShowWindow() override { windowShown = true; }
  void HideWindow() override { windowShown = false; }
  void Captions(bool inTray, bool shown) override {
    menuCaption = inTray ? "タスクから出す" : "タスクに入れる";
    viewCaption = shown ? "非表示" : "表示";
  }
  void CloseReference() override { ++referenceClosed; }
};

struct FakePort : AlarmTickPort {
  std::vector<std::string> notes;
  std::vector<std::vector<std::string>> missed;
  std::vector<CivilDate> days;
  void Note(const std::string& t) override { notes.push_back(cp932::ToUtf8(t)); }
  void ShowMissed(const std::vector<std::string>& lines) override {
    std::vector<std::string> u;
    for (const auto& l : lines) u.push_back(cp932::ToUtf8(l));
    missed.push_back(u);
  }
  void DateChanged(CivilDate d) override { days.push_back(d); }
};

struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 12, 9}, {10, 29, 58}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal g{prompter, clock, dir.path()};
  CMyAlarm alarms{g, clock, &prompter};
  RecordingPlayer player;
  RecordingNotifier notifier;
  FakeTray trayPort;
  TrayModel tray{trayPort, clock};
  FakePort port;
  AlarmTicker ticker{alarms, g, clock, prompter, player, notifier, tray, port};
  Fixture() {
    g.SetUserName("u");
    EXPECT_TRUE(fileops::MakeDirs(g.UserPath("")));
    g.SetDivisionFolder("日記"_sj);
    alarms.Load(g.UserPath("alarm.dat"));  // none yet: an empty list, as at start-up
  }
  void At(int h, int m, int s = 0) { clock.Set(TimeOfDay{h, m, s}); }
  std::vector<std::string> Boxes() const { return prompter.ShownUtf8(); }
};

}  // namespace

TEST(AlarmTicker, ADueAlarmIsToldAsTheSettingsSay) {
  struct Case {
    bool msg, task, sound;
    size_t boxes, sounds;
    int frame;
  } cases[] = {
      {true, true, false, 1, 0, 1},
      {false, true, true, 0, 1, 1},
      {true, false, true, 1, 1, -1},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.g.alarmMsg = c.msg;
    f.g.alarmTask = c.task;
    f.g.alarmSound = c.sound;
    f.g.alarmSoundPath = "/sounds/bell.wav";
    ASSERT_TRUE(f.tray.EnterTray());
    f.alarms.Add("2026/12/09", "00001", "10:30", "歯医者"_sj, 1, -1);
    f.ticker.Timer1Timer();  // 10:29:58: nothing due
    EXPECT_TRUE(f.Boxes().empty());
    f.At(10, 30, 0);
    f.ticker.Timer1Timer();
    EXPECT_EQ(c.boxes, f.Boxes().size());
    if (c.boxes) {
      EXPECT_EQ("お知らせ(10:30)", cp932::ToUtf8(f.prompter.Shown()[0].caption));
      EXPECT_EQ("歯医者", f.Boxes()[0]);
      EXPECT_EQ(PromptIcon::Information, f.prompter.Shown()[0].icon);
    }
    EXPECT_EQ(c.sounds, f.player.played.size());
    EXPECT_EQ(c.frame, f.trayPort.frame);
    // the desktop is told in any case
    ASSERT_EQ(1u, f.notifier.sent.size());
    EXPECT_EQ("お知らせ(10:30)", cp932::ToUtf8(f.notifier.sent[0].first));
    EXPECT_EQ("歯医者", cp932::ToUtf8(f.notifier.sent[0].second));
    // it fired once, and the list on disk knows
    f.At(10, 30, 1);
    f.ticker.Timer1Timer();
    EXPECT_EQ(c.boxes, f.Boxes().size());
    CMyAlarm onDisk(f.g, f.clock);
    onDisk.Load(f.g.UserPath("alarm.dat"));
    ASSERT_EQ(1, onDisk.Count());
    EXPECT_EQ(0, onDisk.Item(0).state);
  }
}

TEST(AlarmTicker, TheTrayIconBlinksUntilTheWindowIsShown) {
  Fixture f;
  ASSERT_TRUE(f.tray.EnterTray());
  f.alarms.Add("2026/12/09", "0", "10:30", "a", 0, 1);
  f.alarms.Add("2026/12/09", "0", "10:30", "b", 0, 1);  // the same minute: the next tick
  f.At(10, 30, 0);
  for (int s = 0; s < 5; ++s) {
    f.At(10, 30, s);
    f.ticker.Timer1Timer();
  }
  // a, then b (each a step), then blinking on
  EXPECT_EQ((std::vector<int>{1, 0, 2, 0, 2}), f.trayPort.frames);
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), f.Boxes());
  f.tray.ShowFromTray();
  EXPECT_EQ(-1, f.trayPort.frame);
  f.At(10, 30, 6);
  f.ticker.Timer1Timer();
  EXPECT_EQ(-1, f.trayPort.frame);

  // without ONTASK_ANIME the icon shows the first picture and stays there
  Fixture g;
  g.g.alarmTaskAnime = false;
  ASSERT_TRUE(g.tray.EnterTray());
  g.alarms.Add("2026/12/09", "0", "10:30", "a", 0, 1);
  for (int s = 0; s < 3; ++s) {
    g.At(10, 30, s);
    g.ticker.Timer1Timer();
  }
  EXPECT_EQ((std::vector<int>{1}), g.trayPort.frames);
  // outside the tray nothing blinks
  Fixture h;
  h.alarms.Add("2026/12/09", "0", "10:30", "a", 0, 1);
  h.At(10, 30, 0);
  h.ticker.Timer1Timer();
  EXPECT_TRUE(h.trayPort.frames.empty());
  EXPECT_EQ(-1, h.tray.Frame());
}

TEST(AlarmTicker, AlarmsThatWentByAreListedOnceAndSwitchedOff) {
  Fixture f;
  // written while the program was not running
  f.clock.Set(CivilDate{2026, 12, 4});
  f.At(9, 0);
  f.alarms.Add("2026/12/05", "0", "08:00", "土曜の朝"_sj, 0, 1);
  f.alarms.Add("2026/12/09", "0", "10:00", "歯医者"_sj, 0, 1);
  f.alarms.Add("2026/12/09", "0", "10:31", "次"_sj, 0, 1);
  f.alarms.Add("2026/11/20", "0", "10:00", "古い"_sj, 0, 1);  // before the window: left alone
  ASSERT_TRUE(f.alarms.Save(f.g.UserPath("alarm.dat")));
  f.clock.Set(CivilDate{2026, 12, 9});
  f.At(10, 30);
  f.alarms.Load(f.g.UserPath("alarm.dat"));  // the start-up
  f.ticker.Timer1Timer();
  ASSERT_EQ(1u, f.port.missed.size());
  EXPECT_EQ((std::vector<std::string>{"2026/12/05 08:00  土曜の朝  （4日2時間遅れ）",
                                      "2026/12/09 10:00  歯医者  （30分遅れ）"}),
            f.port.missed[0]);
  EXPECT_TRUE(f.Boxes().empty());  // one list, no box per alarm
  EXPECT_EQ("お知らせ（見逃したアラーム）", cp932::ToUtf8(f.notifier.sent.back().first));
  f.At(10, 30, 1);
  f.ticker.Timer1Timer();
  EXPECT_EQ(1u, f.port.missed.size());  // once
  // the machine sleeps from 10:30 to 12:10: the skipped minutes are missed
  f.At(12, 10, 0);
  f.ticker.Timer1Timer();
  ASSERT_EQ(2u, f.port.missed.size());
  EXPECT_EQ((std::vector<std::string>{"2026/12/09 10:31  次  （1時間39分遅れ）"}), f.port.missed[1]);
  // off on disk too
  CMyAlarm onDisk(f.g, f.clock);
  onDisk.Load(f.g.UserPath("alarm.dat"));
  int armed = 0;
  for (const auto& e : onDisk.Entries()) armed += e.state;
  EXPECT_EQ(1, armed);  // the old one only
  // a clock set back misses nothing
  f.At(9, 0);
  f.ticker.Timer1Timer();
  EXPECT_EQ(2u, f.port.missed.size());
}

TEST(AlarmTicker, ATickThatSkipsOneMinuteDoesNotLoseItsAlarm) {
  Fixture f;
  f.At(10, 29, 59);
  f.ticker.Timer1Timer();
  f.alarms.Add("2026/12/09", "0", "10:30", "会議"_sj, 0, 1);
  f.At(10, 31, 0);  // the event loop was busy through 10:30
  f.ticker.Timer1Timer();
  ASSERT_EQ(1u, f.port.missed.size());
  EXPECT_EQ("2026/12/09 10:30  会議  （1分遅れ）", f.port.missed[0][0]);
}

TEST(AlarmTicker, ANewDayRefreshesTodayAndTheTray) {
  Fixture f;
  ASSERT_TRUE(f.tray.EnterTray());
  EXPECT_EQ("ひとこと(2026年12月9日(水曜日))", f.trayPort.tip);
  f.alarms.Add("2026/12/10", "0", "00:00", "真夜中"_sj, 0, 1);
  f.At(23, 59, 59);
  f.ticker.Timer1Timer();
  f.clock.Set(CivilDate{2026, 12, 10});
  f.At(0, 0, 0);
  f.ticker.Timer1Timer();  // the due check still looks at yesterday; the date follows
  ASSERT_EQ(1u, f.port.days.size());
  EXPECT_EQ(10, f.port.days[0].day);
  EXPECT_EQ(10, f.trayPort.day);
  EXPECT_EQ("ひとこと(2026年12月10日(木曜日))", f.trayPort.tip);
  EXPECT_EQ(2, f.trayPort.adds);
  f.At(0, 0, 1);
  f.ticker.Timer1Timer();
  EXPECT_EQ((std::vector<std::string>{"真夜中"}), f.Boxes());
}

TEST(AlarmTicker, QuietSoundAndAFailedSaveAreNotedInPassing) {
  Fixture f;
  f.g.alarmSound = true;
  f.player.fail = true;
  f.alarms.Add("2026/12/09", "0", "10:30", "a", 0, 1);
  f.At(10, 30);
  f.ticker.Timer1Timer();
  ASSERT_EQ(1u, f.port.notes.size());
  EXPECT_EQ("no sound", f.port.notes[0]);
  f.ticker.SetSavePath([&f] { return f.dir / "no/such/folder/alarm.dat"; });
  f.alarms.Add("2026/12/09", "0", "11:00", "b", 0, 1);
  f.At(10, 30, 1);
  f.ticker.Timer1Timer();
  f.At(10, 30, 2);
  f.ticker.Timer1Timer();
  ASSERT_EQ(2u, f.port.notes.size());  // said once
  EXPECT_EQ("アラームを保存できませんでした。", f.port.notes[1]);
}

TEST(TrayModel, EnterLeaveShowHideAndClose) {
  FixedClock clock{{2026, 12, 9}};
  FakeTray port;
  TrayModel tray(port, clock);
  // not in the tray: the close button closes
  EXPECT_TRUE(tray.CloseRequest());
  tray.mnuFileTask();
  EXPECT_TRUE(tray.InTray());
  EXPECT_FALSE(port.windowShown);
  EXPECT_EQ("タスクから出す", port.menuCaption);
  EXPECT_EQ("表示", port.viewCaption);
  EXPECT_EQ(9, port.day);
  tray.mnusTaskView();
  EXPECT_TRUE(port.windowShown);
  EXPECT_EQ("非表示", port.viewCaption);
  // in the tray a shown window hides, a hidden one ignores the request
  EXPECT_FALSE(tray.CloseRequest());
  EXPECT_FALSE(port.windowShown);
  EXPECT_EQ("表示", port.viewCaption);
  EXPECT_GE(port.referenceClosed, 2);
  EXPECT_FALSE(tray.CloseRequest());
  EXPECT_FALSE(port.windowShown);
  tray.mnuFileTask();
  EXPECT_FALSE(tray.InTray());
  EXPECT_FALSE(port.iconShown);
  EXPECT_TRUE(port.windowShown);
  EXPECT_EQ("タスクに入れる", port.menuCaption);

  // no tray host: the window never goes
  FakeTray none;
  none.available = false;
  TrayModel nowhere(none, clock);
  EXPECT_FALSE(nowhere.EnterTray());
  nowhere.mnuFileTask();
  EXPECT_FALSE(nowhere.InTray());
  EXPECT_TRUE(none.windowShown);
  EXPECT_TRUE(nowhere.CloseRequest());
}

TEST(FieldRun, WhatAFieldValueIs) {
  struct Case {
    const char* value;
    fieldrun::Kind kind;
    const char* message;
  } cases[] = {
      {"", fieldrun::kRefused, "データがありません。"},
      {"ab", fieldrun::kRefused, "実行出来ないファイルです。"},
      {"/home/u/memo", fieldrun::kRefused, "拡張子がないため実行出来ないファイルです。"},
      {"/home/u.d/memo", fieldrun::kRefused, "拡張子がないため実行出来ないファイルです。"},
      {"memo.", fieldrun::kRefused, "拡張子がないため実行出来ないファイルです。"},
      {"/home/u/報告.pdf", fieldrun::kFile, ""},
      {"買い物.TXT", fieldrun::kUserText, ""},
      {"sub/買い物.txt", fieldrun::kRefused, "実行可能データでありません。"},
      {"report.pdf", fieldrun::kRefused, "実行可能データでありません。"},
      {"C:\\memo.txt", fieldrun::kRefused, "実行可能データでありません。"},
      {"HTTPS://example.com/", fieldrun::kWeb, ""},
      {"http://example.com/a.html", fieldrun::kWeb, ""},
      {"http://", fieldrun::kRefused, "拡張子がないため実行出来ないファイルです。"},
      {"ftp://example.com/a.txt", fieldrun::kRefused, "実行可能データでありません。"},
  };
  for (const auto& c : cases) {
    std::string message;
    EXPECT_EQ(c.kind, fieldrun::Classify(cp932::FromUtf8(c.value), message)) << c.value;
    EXPECT_EQ(c.message, cp932::ToUtf8(message)) << c.value;
  }
}

TEST(AlarmTicker, BoxesLeftForLaterFindTheTicksWorkDone) {
  Fixture f;
  std::vector<std::function<void()>> later;
  f.ticker.SetLater([&later](std::function<void()> box) { later.push_back(std::move(box)); });
  ASSERT_TRUE(f.tray.EnterTray());
  f.alarms.Add("2026/12/09", "0", "10:30", "a", 0, 1);
  f.At(10, 30, 0);
  f.ticker.Timer1Timer();
  ASSERT_EQ(1u, later.size());
  EXPECT_TRUE(f.Boxes().empty());
  // the next tick runs while the box is not yet closed: the icon blinks on
  f.At(10, 30, 1);
  f.ticker.Timer1Timer();
  EXPECT_EQ((std::vector<int>{1, 0}), f.trayPort.frames);
  later[0]();
  EXPECT_EQ((std::vector<std::string>{"a"}), f.Boxes());
}

TEST(AlarmTicker, LatenessReadsAsPeopleSayIt) {
  EXPECT_EQ("0分", cp932::ToUtf8(AlarmTicker::Lateness(0)));
  EXPECT_EQ("59分", cp932::ToUtf8(AlarmTicker::Lateness(59)));
  EXPECT_EQ("1時間0分", cp932::ToUtf8(AlarmTicker::Lateness(60)));
  EXPECT_EQ("23時間59分", cp932::ToUtf8(AlarmTicker::Lateness(1439)));
  EXPECT_EQ("7日0時間", cp932::ToUtf8(AlarmTicker::Lateness(7 * 1440)));
}
