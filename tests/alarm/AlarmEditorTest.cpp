// The alarm dialog's rules, the settings dialog's checks and the schedule
// beyond one minute (missed alarms, lists out of order, bad entries).
#include <gtest/gtest.h>

#include "alarm/AlarmEditor.h"
#include "alarm/AlarmSettings.h"
#include "alarm/CMyAlarm.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "shell/CMyGlobal.h"
#include "store/CMyLine.h"
#include "support/TempDir.h"

namespace {
struct Fixture {
  TempDir dir;
  ScriptedPrompter prompter;
  CountingBeeper beeper;
  FixedClock clock{{2026, 12, 9}, {10, 30, 0}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);
  CMyGlobal g{prompter, clock, dir.path()};
  CMyAlarm alarms{g, clock, &prompter};
  AlarmEditor editor{alarms, clock, prompter, beeper};
  Fixture() {
    g.SetUserName("u");
    g.SetDivisionFolder("日記"_sj);
    alarms.RefreshToday();
  }
  std::string Last() const { return prompter.Shown().empty() ? "" : prompter.ShownUtf8().back(); }
};

AlarmEntry Entry(const char* date, const char* time, const char* message, int state = 1) {
  AlarmEntry e;
  e.state = state;
  e.division = "日記"_sj;
  e.date = date;
  e.serial = "0";
  e.time = time;
  e.message = message;
  return e;
}

// alarm.dat with the entries in the given order, as another program might write it
void WriteRaw(const std::string& path, const std::vector<AlarmEntry>& entries) {
  CMyLine list(2048);
  for (const auto& e : entries) list.Append(CMyAlarm::EntryBytes(e));
  ASSERT_GE(list.WriteList(path), 0);
}
}  // namespace

TEST(AlarmEditor, BoxesAndButtonsRefuseWithTheirMessages) {
  Fixture f;
  struct Case {
    AlarmEditor::Mode mode;
    AlarmFields fields;
    const char* message;
  } cases[] = {
      {AlarmEditor::kUpdate,
       {"2026/12/10", "08:00", "x"},
       "更新の場合、対象データを選択して下さい。(E080915)"},
      {AlarmEditor::kOnOff,
       {"2026/12/10", "08:00", "x"},
       "更新の場合、対象データを選択して下さい。(E080915)"},
      {AlarmEditor::kInsert, {"", "08:00", "x"}, "年月日を入力して下さい。"},
      {AlarmEditor::kInsert, {"2026/12/10", "", "x"}, "時間を入力して下さい。"},
      {AlarmEditor::kInsert, {"2026/12/10", "08:00", ""}, "件名を入力して下さい。"},
      {AlarmEditor::kInsert, {"2026/13/45", "08:00", "x"}, "不正な日付です。"},
      {AlarmEditor::kInsert, {"2026/12/10", "25:99", "x"}, "不正な時間です。"},
      {AlarmEditor::kInsert, {"2026/12/10", "24:00", "x"}, "不正な時間です。"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(f.editor.Commit(c.mode, c.fields)) << c.message;
    EXPECT_EQ(c.message, f.Last());
  }
  EXPECT_EQ(0, f.alarms.Count());

  // leaving the boxes rewrites what was typed
  std::string d = "2026.12.1", t = "930", bad = "abc";
  EXPECT_TRUE(f.editor.LeaveDate(d));
  EXPECT_EQ("2026/12/01", d);
  t = "0930";
  EXPECT_TRUE(f.editor.LeaveTime(t));
  EXPECT_EQ("09:30", t);
  EXPECT_FALSE(f.editor.LeaveDate(bad));
  std::string empty;
  EXPECT_TRUE(f.editor.LeaveDate(empty));

  // a double click with nothing selected beeps; a line past the list is missing
  AlarmFields out;
  EXPECT_FALSE(f.editor.Edit(-1, out));
  EXPECT_EQ(1, f.beeper.Count());
  EXPECT_FALSE(f.editor.Edit(0, out));
  EXPECT_EQ("該当データが見付かりません。", f.Last());
  EXPECT_FALSE(f.editor.Delete(-1));
  EXPECT_EQ(2, f.beeper.Count());
}

TEST(AlarmEditor, AddSwitchOffAndOnKeepsTheAlarmInItsPlace) {
  Fixture f;
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kInsert, {"2026/12/10", "08:00", "朝"_sj}));
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kInsert, {"2026/12/11", "09:00", "次"_sj}));
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kInsert, {"2026/12/09", "08:00", "過ぎた"_sj}));  // by hand: armed
  ASSERT_EQ(3, f.alarms.Count());
  EXPECT_EQ(" 2026/12/11 09:00  次"_sj, f.editor.Lines()[0]);
  EXPECT_EQ(1, f.alarms.Item(2).state);
  EXPECT_EQ("0", f.alarms.Item(1).serial);
  EXPECT_EQ(0, f.alarms.Item(1).origin);

  AlarmFields fields;
  ASSERT_TRUE(f.editor.Edit(1, fields));
  EXPECT_EQ("朝"_sj, fields.message);
  EXPECT_TRUE(f.editor.EditingArmed());
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kOnOff, fields));
  EXPECT_EQ(-1, f.editor.Editing());
  EXPECT_EQ("-2026/12/10 08:00  朝"_sj, f.editor.Lines()[1]);
  ASSERT_TRUE(f.editor.Edit(1, fields));
  EXPECT_FALSE(f.editor.EditingArmed());
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kOnOff, fields));
  EXPECT_EQ(" 2026/12/10 08:00  朝"_sj, f.editor.Lines()[1]);

  // an update moves the entry to the current division and to its new place
  f.g.SetDivisionFolder("予定"_sj);
  ASSERT_TRUE(f.editor.Edit(1, fields));
  fields.date = "2026/12/12";
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kUpdate, fields));
  EXPECT_EQ("2026/12/12", f.alarms.Item(0).date);
  EXPECT_EQ("予定"_sj, f.alarms.Item(0).division);

  // "使用済全削除" leaves armed entries; "削除" asks with No preselected
  ASSERT_TRUE(f.editor.Edit(2, fields));
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kOnOff, fields));
  f.prompter.Queue(kAnswerNo);
  EXPECT_FALSE(f.editor.DeleteOff());
  EXPECT_EQ(3, f.alarms.Count());
  EXPECT_TRUE(f.editor.DeleteOff());
  EXPECT_EQ(2, f.alarms.Count());
  EXPECT_EQ("アラームがOFFのデータを全て削除します。よろしいですか？", f.Last());
  EXPECT_EQ(kAnswerNo, f.prompter.Shown().back().defaultButton);
  EXPECT_TRUE(f.editor.Delete(0));
  EXPECT_EQ("削除します。よろしいですか？", f.Last());
  EXPECT_EQ(1, f.alarms.Count());
}

TEST(AlarmEditor, AChangedTimeRearmsAnAlarmThatRangAlready) {
  Fixture f;
  f.alarms.Add("2026/12/09", "00001", "10:30", "診察"_sj, 2, 1);
  ASSERT_EQ(0, f.alarms.CheckDue(false));  // it rang
  AlarmFields fields;
  ASSERT_TRUE(f.editor.Edit(0, fields));
  // the same time again: still off (only a message was corrected)
  fields.message = "診察券"_sj;
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kUpdate, fields));
  EXPECT_EQ(0, f.alarms.Item(0).state);
  // put off to 11:00: rings again, as a record of the same key and serial
  ASSERT_TRUE(f.editor.Edit(0, fields));
  fields.time = "11:00";
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kUpdate, fields));
  EXPECT_EQ(1, f.alarms.Item(0).state);
  EXPECT_EQ("00001", f.alarms.Item(0).serial);
  EXPECT_EQ(2, f.alarms.Item(0).origin);
  // moved into the past: off, it would never ring there
  ASSERT_TRUE(f.editor.Edit(0, fields));
  fields.time = "09:00";
  ASSERT_TRUE(f.editor.Commit(AlarmEditor::kUpdate, fields));
  EXPECT_EQ(0, f.alarms.Item(0).state);
}

TEST(AlarmSettings, OkChecksInTheirOrder) {
  Fixture f;
  const std::string wav = f.dir / "bell.wav";
  WriteBytes(wav, std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(32, '\0'));
  WriteBytes(f.dir / "song.mp3", "ID3\x03 not a wave file");
  struct Case {
    AlarmSettings s;
    const char* message;
    alarmsettings::Box box;
  } cases[] = {
      {{false, false, true, false, "", "[", "]"},
       "アラームの知らせる方法をどれか一つは選択して下さい。",
       alarmsettings::kChecks},
      {{true, false, false, false, "", "", "]"},
       "時間囲み文字の最初を入力して下さい。",
       alarmsettings::kTimeFrom},
      {{true, false, false, false, "", "[", ""},
       "時間囲み文字の後ろを入力して下さい。",
       alarmsettings::kTimeTo},
      {{false, false, false, true, "", "[", "]"},
       "サウンドファイルを入力して下さい。",
       alarmsettings::kSoundPath},
      {{false, false, false, true, f.dir.path(), "[", "]"},
       "サウンドファイルではなくフォルダーです。",
       alarmsettings::kSoundPath},
      {{false, false, false, true, f.dir / "song.mp3", "[", "]"},
       "サウンドファイルが WAV 形式ではありません。",
       alarmsettings::kSoundPath},
      {{false, false, false, true, f.dir / "none.wav", "[", "]"},
       "サウンドファイルが見付かりません。",
       alarmsettings::kSoundPath},
      {{false, false, false, true, wav, "【"_sj, "】"_sj}, "", alarmsettings::kNone},
      {{false, true, false, false, f.dir.path(), "[", "]"},
       "",
       alarmsettings::kNone},  // no sound: path unused
  };
  for (const auto& c : cases) {
    alarmsettings::Box box = alarmsettings::kChecks;
    EXPECT_EQ(c.message, cp932::ToUtf8(alarmsettings::Check(c.s, box))) << c.message;
    EXPECT_EQ(c.box, box) << c.message;
  }
  AlarmSettings s{false, true, false, true, wav, "【】"_sj, ">>"};
  s.To(f.g);
  EXPECT_EQ("【"_sj, f.g.timeF);
  EXPECT_EQ(">", f.g.timeT);
  EXPECT_FALSE(f.g.alarmMsg);
  EXPECT_TRUE(f.g.alarmSound);
  EXPECT_EQ(wav, AlarmSettings::From(f.g).soundPath);
}

TEST(CMyAlarmSchedule, MissedAlarmsAreTakenOnceAndOldestFirst) {
  Fixture f;
  const long long now = CMyAlarm::MinuteOf({2026, 12, 9}, {10, 30, 0});
  WriteRaw(f.dir / "alarm.dat", {
                                    Entry("2026/12/09", "09:00", "today early"),
                                    Entry("2026/12/01", "08:00", "eight days ago"),
                                    Entry("2026/12/08", "23:59", "last night"),
                                    Entry("2026/12/09", "10:30", "this minute"),
                                    Entry("2026/12/09", "10:29", "done", 0),
                                    Entry("2026/13/45", "10:00", "not a date"),
                                    Entry("2026/12/09", "25:99", "not a time"),
                                    Entry("2026/12/10", "08:00", "tomorrow"),
                                });
  f.alarms.Load(f.dir / "alarm.dat");
  EXPECT_FALSE(f.alarms.Unsaved());
  EXPECT_EQ(-1, CMyAlarm::MinuteOf(Entry("2026/13/45", "10:00", "")));
  EXPECT_EQ(-1, CMyAlarm::MinuteOf(Entry("2026/12/09", "25:99", "")));
  const auto peek = f.alarms.Missed(now - 7 * 1440, now);
  ASSERT_EQ(2u, peek.size());
  const auto taken = f.alarms.TakeMissed(now - 7 * 1440, now);
  ASSERT_EQ(2u, taken.size());
  EXPECT_EQ("last night", taken[0].message);
  EXPECT_EQ("today early", taken[1].message);
  EXPECT_EQ(0, taken[0].state);
  EXPECT_TRUE(f.alarms.Unsaved());
  EXPECT_TRUE(f.alarms.TakeMissed(now - 7 * 1440, now).empty());  // once
  // this minute is still the due check's, and fires
  const int i = f.alarms.CheckDue(false);
  ASSERT_GE(i, 0);
  EXPECT_EQ("this minute", f.alarms.Item(i).message);
  EXPECT_EQ(-1, f.alarms.CheckDue(false));
  ASSERT_TRUE(f.alarms.Save(f.dir / "alarm.dat"));
  EXPECT_FALSE(f.alarms.Unsaved());
}

TEST(CMyAlarmSchedule, AListPutTogetherOutOfOrderFiresOnlyTodaysAlarm) {
  Fixture f;
  // another day's alarm of this minute between today's two, and a message
  // of 500 bytes with no end in its field
  AlarmEntry longOne = Entry("2026/12/07", "10:30", "");
  longOne.message = std::string(500, 'x');
  WriteRaw(f.dir / "odd.dat",
           {Entry("2026/12/09", "11:00", "today late"), Entry("2026/12/08", "10:30", "yesterday"), longOne,
            Entry("2026/12/09", "10:30", "today"), Entry("2026/12/09", "09:00", "early")});
  f.alarms.Load(f.dir / "odd.dat");
  ASSERT_EQ(5, f.alarms.Count());
  for (int k = 0; k < f.alarms.Count(); ++k) EXPECT_LE(f.alarms.Item(k).message.size(), 122u);
  const int i = f.alarms.CheckDue(false);
  ASSERT_GE(i, 0);
  EXPECT_EQ("today", f.alarms.Item(i).message);
  EXPECT_EQ(-1, f.alarms.CheckDue(false));
  for (int k = 0; k < f.alarms.Count(); ++k) {
    if (f.alarms.Item(k).date != "2026/12/09") {
      EXPECT_EQ(1, f.alarms.Item(k).state);
    }
  }
}

TEST(CMyAlarmSchedule, EveryChangeCountsAsUnsaved) {
  Fixture f;
  std::vector<std::function<void(CMyAlarm&)>> changes = {
      [](CMyAlarm& a) { a.Add("2026/12/10", "1", "08:00", "x", 1, 1); },
      [](CMyAlarm& a) { a.SwapSerials("2026/12/10", "1", "2"); },
      [](CMyAlarm& a) { a.RenameDivision("日記"_sj, "日誌"_sj); },
      [](CMyAlarm& a) { a.RemoveDivision("日誌"_sj); },
      [](CMyAlarm& a) { a.Insert(Entry("2026/12/10", "08:00", "y", 0)); },
      [](CMyAlarm& a) { a.RemoveOff(); },
  };
  for (size_t k = 0; k < changes.size(); ++k) {
    ASSERT_TRUE(f.alarms.Save(f.dir / "alarm.dat"));
    changes[k](f.alarms);
    EXPECT_TRUE(f.alarms.Unsaved()) << k;
  }
  ASSERT_TRUE(f.alarms.Save(f.dir / "alarm.dat"));
  f.alarms.RemoveOff();  // nothing to remove: nothing changed
  EXPECT_FALSE(f.alarms.Unsaved());
}

TEST(WavFile, WhatAPathNames) {
  TempDir dir;
  WriteBytes(dir / "a.wav", std::string("RIFF\0\0\0\0WAVE", 12));
  WriteBytes(dir / "b.wav", "RIFF");
  EXPECT_EQ(wavfile::kWav, wavfile::Inspect(dir / "a.wav"));
  EXPECT_EQ(wavfile::kNotWav, wavfile::Inspect(dir / "b.wav"));
  EXPECT_EQ(wavfile::kFolder, wavfile::Inspect(dir.path()));
  EXPECT_EQ(wavfile::kMissing, wavfile::Inspect(dir / "c.wav"));
  EXPECT_EQ(wavfile::kMissing, wavfile::Inspect(""));
  EXPECT_EQ(wavfile::kNotWav, wavfile::Inspect("/dev/null"));
  // the player says why it stays quiet, without trying
  CanberraPlayer player;
  std::string why;
  EXPECT_FALSE(player.Play(dir.path(), why));
  EXPECT_EQ("サウンドファイルではなくフォルダーです", cp932::ToUtf8(why));
}
