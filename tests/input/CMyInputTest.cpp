#include <gtest/gtest.h>

#include "catalogue/InputDefWriter.h"
#include "input/CMyInput.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

namespace {

// The main view as the form sees it: every live record in key order, saves
// that can be made to fail, and a filter that can hide a record.
class FakeView : public InputViewPort {
 public:
  FakeView(CMyDB& db) : rec_(&db) {}
  int NextSerial(const std::string& period, const std::string& key) override {
    serialsAsked.push_back(period + " " + key);
    return ++serial;
  }
  int SavePeriod(const std::string& period) override {
    saved.push_back(period);
    return failSave ? -1 : 0;
  }
  void ReloadView() override {
    ASSERT_EQ(0, rec_.SetSort("キー項目,行連番"_sj, false));
    ASSERT_GE(rec_.Select(hideAll ? "キー項目='none'"_sj : std::string()), 0);
  }
  int FindRecord(const std::string& key, const std::string& s) override {
    return rec_.Find(("キー項目='"_sj + key + "' and 行連番='"_sj + s + "'").c_str(), 0, true);
  }
  int RecordRow(int i) override { return i >= 0 && i < rec_.Count() ? rec_.Items()[i] : -1; }
  void MoveCursorTo(int i) override { cursor = i; }
  int StepRecord(int i, int d) override {
    int n = i + (d < 0 ? -1 : 1);
    return n >= 0 && n < rec_.Count() ? n : -1;
  }
  std::string DefaultKey() override { return "00007/00003"; }
  int Count() const { return rec_.Count(); }

  int serial = 0;
  bool failSave = false, hideAll = false;
  int cursor = -1;
  std::vector<std::string> saved, serialsAsked;

 private:
  CMyRec rec_;
};

class FakeAlarms : public InputAlarmPort {
 public:
  void RemoveForRecord(const std::string& d, const std::string& s) override {
    log.push_back("rm " + d + " " + s);
  }
  void ScanMemo(const std::string& d, const std::string& s, const std::string& m) override {
    log.push_back("memo " + d + " " + s + " " + m);
  }
  void AddTimeAlarm(const std::string& d, const std::string& s, const std::string& t,
                    const std::string& m) override {
    log.push_back("time " + d + " " + s + " " + t + " " + m);
  }
  std::vector<std::string> log;
};

class FakeLists : public InputListPort {
 public:
  void LearnComboValue(int slot, const std::string& t) override {
    log.push_back("combo" + std::to_string(slot) + " " + t);
  }
  void LearnListValue(int slot, const std::string& t, const std::string& p) override {
    log.push_back("list" + std::to_string(slot) + " " + t + " " + p);
  }
  std::vector<std::string> log;
};

class CountingCalc : public InputCalcPort {
 public:
  void RunCalculations(CMyInput&, int control) override { runs.push_back(control); }
  std::vector<int> runs;
};

jsc::Control Ctl(int kind, int slot, const std::string& field, int type = 0, const std::string& alias = "") {
  jsc::Control c;
  c.kind = kind;
  c.slot = slot;
  c.field = field;
  c.alias = alias.empty() ? field : alias;
  c.dataType = type;
  c.left = 10;
  c.top = 10 + 25 * slot;
  c.width = 100;
  c.height = 20;
  return c;
}

jsc::InputDef Def(int dataKind, std::vector<jsc::Control> controls) {
  jsc::InputDef d;
  d.header.formWidth = 400;
  d.header.inputHeight = 600;
  d.header.dataKind = dataKind;
  d.header.controlCount = static_cast<int>(controls.size());
  d.controls = std::move(controls);
  return d;
}

struct Form {
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 14}, {9, 0, 0}};
  CMyDB db;
  FakeView view{db};
  FakeAlarms alarms;
  FakeLists lists;
  CountingCalc calc;
  CMyInput in{db, prompter, clock, view};
  Form() {
    EXPECT_EQ(0, DefineMemoSchema(db));
    in.SetAlarmPort(&alarms);
    in.SetListPort(&lists);
    in.SetCalcPort(&calc);
  }
  std::vector<std::string> Shown() const { return prompter.ShownUtf8(); }
  std::string Stored(int field) const {
    return db.RecordCount() ? db.Value(field, db.RecordCount() - 1) : "-";
  }
};

// A diary with a time, its message, a number, a memo and a combo box.
jsc::InputDef Diary() {
  jsc::Control when = Ctl(jsc::kText, 0, "DAT001", jsc::kTime2, "時刻"_sj);
  jsc::Control what = Ctl(jsc::kText, 1, "DAT002", 0, "用件"_sj);
  jsc::Control amount = Ctl(jsc::kText, 2, "DAT003", jsc::kDecimal, "金額"_sj);
  amount.decimals = 2;
  jsc::Control day = Ctl(jsc::kText, 3, "DAT004", jsc::kDate, "期日"_sj);
  day.defaultValue = "=now";
  jsc::Control combo = Ctl(jsc::kCombo, 0, "DAT005", 0, "天気"_sj);
  jsc::Control memo = Ctl(jsc::kMemo, 0, "MEM001", 0, "メモ"_sj);
  return Def(0, {when, what, amount, day, combo, memo});
}

}  // namespace

TEST(CMyInput, BuildsTheControlListAndSkipsWhatCannotWork) {
  Form f;
  jsc::Control outside = Ctl(jsc::kText, 4, "DAT010");
  outside.left = 5000;
  outside.top = -30;
  jsc::Control twiceSlot = Ctl(jsc::kText, 0, "DAT011");
  jsc::Control twiceField = Ctl(jsc::kText, 5, "DAT001");
  jsc::Control unknown = Ctl(jsc::kText, 6, "NOSUCH");
  jsc::Control memo = Ctl(jsc::kMemo, 0, "MEM001");
  jsc::Control badLink = Ctl(jsc::kText, 7, "DAT012");
  badLink.listFlag = 1;
  badLink.linkedSlot = 9;  // no text editor 9 on this form
  jsc::Control caption = Ctl(jsc::kCaption, 0, "", jsc::kFlatCaption, "見出し"_sj);
  jsc::InputDef def =
      Def(0, {Ctl(jsc::kText, 0, "DAT001"), outside, twiceSlot, twiceField, unknown, memo, badLink, caption});
  ASSERT_TRUE(f.in.BuildForm(def));
  const auto& list = f.in.ControlList();
  ASSERT_EQ(4u, list.size());
  EXPECT_EQ("DAT010", list[1].field);
  EXPECT_EQ(300, list[1].left);  // moved inside the 400-pixel window and shrunk to it
  EXPECT_EQ(0, list[1].top);
  EXPECT_EQ(100, list[1].width);
  EXPECT_EQ(CMyInput::kDefaultTextLength, list[0].maxLength);
  EXPECT_EQ(CMyInput::kDefaultMemoLength, list[2].maxLength);
  EXPECT_EQ(-1, list[3].linkedSlot);
  ASSERT_EQ(1u, f.in.Captions().size());
  EXPECT_TRUE(f.in.Captions()[0].flat);
  EXPECT_EQ(3u, f.prompter.Shown().size());  // slot twice, field twice, unknown field
  EXPECT_EQ(1, f.in.FindControl("dat010"));
  EXPECT_EQ(350, [] {
    Form g;
    jsc::InputDef narrow = Def(0, {Ctl(jsc::kText, 0, "DAT001")});
    narrow.header.formWidth = 200;
    g.in.BuildForm(narrow);
    return g.in.FormWidth();
  }());
}

TEST(CMyInput, ReadsTheDefinitionFileAndRefusesADamagedOne) {
  TempDir dir;
  jsc::InputDef def = Diary();
  ASSERT_EQ(0, WriteInputDefFile(dir / "scrin.jsc", def.header, def.controls));
  Form f;
  ASSERT_TRUE(f.in.BuildForm(dir / "scrin.jsc"));
  EXPECT_EQ(6u, f.in.ControlList().size());
  EXPECT_EQ(2, f.in.FindControl("金額"_sj));
  std::string bytes = ReadBytes(dir / "scrin.jsc");
  for (size_t cut : {bytes.size() - 9, bytes.size() / 2, size_t(20), size_t(3)}) {
    WriteBytes(dir / "cut.jsc", bytes.substr(0, cut));
    Form g;
    EXPECT_FALSE(g.in.BuildForm(dir / "cut.jsc")) << cut;
    EXPECT_TRUE(g.in.ControlList().empty());
  }
  Form g;
  EXPECT_FALSE(g.in.BuildForm(dir / "missing.jsc"));
}

TEST(CMyInput, LeavingAFieldChecksAndRewritesItByDataType) {
  struct Case {
    int control;
    const char* typed;
    const char* after;  // nullptr: refused with `message`
    const char* message;
  } cases[] = {
      {0, "0930", "09:30", nullptr},
      {0, "25:00", nullptr, "不正な時間です。"},
      {0, "12:60", nullptr, "不正な時間です。"},
      {0, "7:5", "07:05", nullptr},
      {2, "12.5", "12.50", nullptr},
      {2, "1.2.3", nullptr, "数値を入力して下さい。"},
      {2, "-", nullptr, "数値を入力して下さい。"},
      {3, "2026.3.4", "2026/03/04", nullptr},
      {3, "2026/02/30", nullptr, "不正な日付です。"},
      {1, "自由な文", "自由な文", nullptr},
      {0, "", "", nullptr},
  };
  for (const Case& c : cases) {
    Form f;
    ASSERT_TRUE(f.in.BuildForm(Diary()));
    f.in.ShowRecord("2026/03/14", -1);
    f.in.SetValue(c.control, cp932::FromUtf8(c.typed));
    bool ok = f.in.LeaveField(c.control);
    EXPECT_EQ(c.after != nullptr, ok) << c.typed;
    if (c.after) {
      EXPECT_EQ(cp932::FromUtf8(c.after), f.in.Value(c.control)) << c.typed;
      EXPECT_EQ(std::vector<int>{c.control}, f.calc.runs);
    } else {
      EXPECT_EQ(std::vector<std::string>{c.message}, f.Shown()) << c.typed;
      EXPECT_EQ(cp932::FromUtf8(c.typed), f.in.Value(c.control)) << "typed text kept";
      EXPECT_EQ(c.control, f.in.FocusTarget());
      EXPECT_TRUE(f.calc.runs.empty());
    }
  }
  // type 15 allows hours up to 99
  Form f;
  f.in.BuildForm(Def(0, {Ctl(jsc::kText, 0, "DAT001", jsc::kTime)}));
  f.in.SetValue(0, "25:00");
  EXPECT_TRUE(f.in.LeaveField(0));
}

TEST(CMyInput, KeyBoxesAreCheckedAndNameTheirBox) {
  struct Case {
    const char* page;
    const char* line;
    const char* message;  // nullptr: accepted
    int focus;
  } cases[] = {
      {"0", "1", "1から4999の範囲で入力して下さい。", CMyInput::kFocusPage},
      {"5000", "1", "1から4999の範囲で入力して下さい。", CMyInput::kFocusPage},
      {"4999", "30", nullptr, 0},
      {"12", "31", "1から30の範囲で入力して下さい。", CMyInput::kFocusLine},
      {"1x", "1", "不正な文字が入力されました。", CMyInput::kFocusPage},
      {"", "1", "ページを入力して下さい。", CMyInput::kFocusPage},
      {"3", "", "行番号を入力して下さい。", CMyInput::kFocusLine},
  };
  for (const Case& c : cases) {
    Form f;
    f.in.BuildForm(Def(100, {Ctl(jsc::kText, 0, "DAT001")}));
    f.in.SetLinesPerPage(30);
    f.in.ShowRecord({}, -1);
    f.in.SetPageText(c.page);
    f.in.SetLineText(c.line);
    std::string period, key;
    f.db.New();
    bool ok = f.in.ValidateKey(period, key);
    EXPECT_EQ(c.message == nullptr, ok) << c.page << "/" << c.line;
    if (c.message) {
      EXPECT_EQ(std::vector<std::string>{c.message}, f.Shown());
      EXPECT_EQ(c.focus, f.in.FocusTarget());
    } else {
      EXPECT_EQ("04999/00030", key);
      EXPECT_EQ("04999", period);
    }
  }
  struct DateCase {
    const char* date;
    bool ok;
  } dates[] = {{"2020/03/05", true}, {"2020/3/05", false}, {"2020/02/30", false}, {"", false}};
  for (const DateCase& c : dates) {
    Form f;
    f.in.BuildForm(Diary());
    f.in.SetDateText(c.date);
    std::string period, key;
    f.db.New();
    EXPECT_EQ(c.ok, f.in.ValidateKey(period, key)) << c.date;
    if (c.ok) {
      EXPECT_EQ("202003", period);
      EXPECT_STREQ("5", f.db.EditValue(memo::kWeekday));  // a Thursday
    } else {
      EXPECT_EQ(CMyInput::kFocusDate, f.in.FocusTarget());
    }
  }
  Form f;
  f.in.BuildForm(Diary());
  f.in.SetDateText("20260304");
  EXPECT_TRUE(f.in.LeaveDateBox());
  EXPECT_EQ("2026/03/04", f.in.DateText());
}

TEST(CMyInput, ANewRecordGetsItsDefaultsAndIsSavedWithItsStamps) {
  Form f;
  ASSERT_TRUE(f.in.BuildForm(Diary()));
  f.in.ShowRecord("2026/03/14", -1);
  EXPECT_EQ("2026/03/14", f.in.Value(3));  // "=now" in lower case
  EXPECT_FALSE(f.in.Modified());
  f.in.SetValue(0, "10:30");
  f.in.SetValue(1, "歯医者"_sj);
  f.in.SetValue(4, "晴れ"_sj);
  f.in.SetValue(5, "一行目\r\n二行目 [11:00]"_sj);
  EXPECT_TRUE(f.in.Modified());
  ASSERT_TRUE(f.in.SaveRecord());
  EXPECT_TRUE(f.Shown().empty());
  ASSERT_EQ(1, f.db.LiveCount());
  EXPECT_EQ("2026/03/14", f.Stored(memo::kKey));
  EXPECT_EQ("00001", f.Stored(memo::kLineSerial));
  EXPECT_EQ("7", f.Stored(memo::kWeekday));
  EXPECT_EQ("0", f.Stored(memo::kKubun));
  EXPECT_EQ("1", f.Stored(memo::kNoData));
  EXPECT_EQ("2", f.Stored(memo::kMem001L));
  EXPECT_EQ("2026/03/14", f.Stored(memo::kCreated));
  EXPECT_EQ("", f.Stored(memo::kCr001));
  EXPECT_EQ(std::vector<std::string>{"202603"}, f.view.saved);
  EXPECT_FALSE(f.in.IsNew());
  EXPECT_EQ(0, f.view.cursor);
  EXPECT_TRUE(f.in.KeyReadOnly());
  // the alarm from the time and the field after it, and the memo handed on
  ASSERT_EQ(3u, f.alarms.log.size());
  EXPECT_EQ("rm 2026/03/14 00001", f.alarms.log[0]);
  EXPECT_EQ("memo 2026/03/14 00001 " + "一行目\r\n二行目 [11:00]"_sj, f.alarms.log[1]);
  EXPECT_EQ("time 2026/03/14 00001 10:30 " + "歯医者"_sj, f.alarms.log[2]);
  EXPECT_EQ(std::vector<std::string>{"combo0 " + "晴れ"_sj}, f.lists.log);

  // editing it keeps its serial and creation date and stamps the update
  f.clock.Set(CivilDate{2026, 3, 20});
  f.in.SetValue(1, "眼科"_sj);
  ASSERT_TRUE(f.in.SaveRecord());
  EXPECT_EQ(1, f.db.LiveCount());
  EXPECT_EQ(1, f.view.serial);
  int row = f.in.CurrentRow();
  EXPECT_STREQ("2026/03/14", f.db.Value(memo::kCreated, row));
  EXPECT_STREQ("2026/03/20", f.db.Value(memo::kUpdated, row));
  EXPECT_EQ("眼科"_sj, f.db.Value(memo::Dat(2), row));
}

TEST(CMyInput, AnAlarmNeedsExactlyATimeAndTheFieldAfterIt) {
  struct Case {
    const char* time;
    const char* message;
    bool alarm;
  } cases[] = {{"08:15", "", true},
               {"8:15", "x", false},
               {"", "x", false},
               {"08:15",
                "12345678901234567890123456789012345678901234567890123456789012345678901234567890"
                "12345678901234567890123456789012345678901",
                true}};  // too long for a message: the (empty) field after it is taken
  for (const Case& c : cases) {
    Form f;
    f.in.BuildForm(Diary());
    f.in.ShowRecord("2026/03/14", -1);
    f.in.SetValue(0, c.time);
    f.in.SetValue(1, c.message);
    f.in.SetValue(4, "x");
    ASSERT_TRUE(f.in.SaveRecord());
    bool timed = false;
    for (const auto& l : f.alarms.log) timed = timed || l.rfind("time ", 0) == 0;
    EXPECT_EQ(c.alarm, timed) << c.time << " " << c.message;
  }
  // a division by page has no alarms
  Form f;
  f.in.BuildForm(Def(100, {Ctl(jsc::kText, 0, "DAT001", jsc::kTime2), Ctl(jsc::kText, 1, "DAT002")}));
  f.in.ShowRecord("00002/00004", -1);
  f.in.SetValue(0, "10:00");
  f.in.SetValue(1, "x");
  ASSERT_TRUE(f.in.SaveRecord());
  EXPECT_TRUE(f.alarms.log.empty());
  EXPECT_EQ(std::vector<std::string>{"00002 00002/00004"}, f.view.serialsAsked);
}

TEST(CMyInput, ARefusedSaveKeepsEverythingAsItWas) {
  Form f;
  jsc::InputDef def = Diary();
  def.controls[1].maxLength = 999;  // more than DAT002 holds: clamped, so the box cannot take it
  ASSERT_TRUE(f.in.BuildForm(def));
  EXPECT_EQ(250, f.in.ControlList()[1].maxLength);
  f.in.ShowRecord("2026/03/14", -1);
  f.in.SetValue(1, std::string(251, 'a'));
  f.in.SetValue(4, "晴れ"_sj);
  EXPECT_FALSE(f.in.SaveRecord());
  EXPECT_EQ(std::vector<std::string>{"不正な用件が入力されました。"}, f.Shown());
  EXPECT_EQ(1, f.in.FocusTarget());
  EXPECT_EQ(0, f.db.LiveCount());
  EXPECT_TRUE(f.view.saved.empty());
  EXPECT_TRUE(f.view.serialsAsked.empty()) << "no serial spent on a refused record";
  EXPECT_TRUE(f.lists.log.empty());
  EXPECT_EQ(std::string(251, 'a'), f.in.Value(1));
  EXPECT_TRUE(f.in.Modified());

  // a period that cannot be written takes the new record back out of the table
  f.prompter.ClearShown();
  f.in.SetValue(1, "ok");
  f.view.failSave = true;
  EXPECT_FALSE(f.in.SaveRecord());
  EXPECT_EQ(0, f.db.LiveCount());
  EXPECT_TRUE(f.in.IsNew());
  EXPECT_TRUE(f.alarms.log.empty());
  EXPECT_EQ("ok", f.in.Value(1));

  // and an edited record gets its old values back
  f.view.failSave = false;
  ASSERT_TRUE(f.in.SaveRecord());
  f.view.failSave = true;
  f.in.SetValue(1, "changed");
  EXPECT_FALSE(f.in.SaveRecord());
  ASSERT_EQ(1, f.db.LiveCount());
  f.view.ReloadView();
  EXPECT_STREQ("ok", f.db.Value(memo::Dat(2), f.view.RecordRow(0)));
  EXPECT_EQ("changed", f.in.Value(1));
}

TEST(CMyInput, EmptyingARecordDeletesItAndDeleteRefusesANewOne) {
  Form f;
  f.in.BuildForm(Diary());
  f.in.ShowRecord("2026/03/14", -1);
  EXPECT_FALSE(f.in.DeleteRecord(true));
  EXPECT_EQ(std::vector<std::string>{"新規レコードです。削除出来ません。"}, f.Shown());
  for (int i = 0; i < 6; ++i) f.in.SetValue(i, "");
  EXPECT_TRUE(f.in.SaveRecord());  // nothing to save
  EXPECT_TRUE(f.view.saved.empty());
  f.in.SetValue(1, "x");
  ASSERT_TRUE(f.in.SaveRecord());
  // asking: No keeps it
  f.prompter.ClearShown();
  f.prompter.Queue(kAnswerNo);
  EXPECT_FALSE(f.in.DeleteRecord(true));
  EXPECT_EQ(1, f.db.LiveCount());
  // a failing save keeps it too
  f.view.failSave = true;
  EXPECT_FALSE(f.in.DeleteRecord(false));
  EXPECT_EQ(1, f.db.LiveCount());
  EXPECT_FALSE(f.in.IsNew());
  f.view.failSave = false;
  // emptied: deleted without asking
  f.prompter.ClearShown();
  for (int i = 0; i < 6; ++i) f.in.SetValue(i, "");
  EXPECT_TRUE(f.in.SaveRecord());
  EXPECT_TRUE(f.Shown().empty());
  EXPECT_EQ(0, f.db.LiveCount());
  EXPECT_EQ("rm 2026/03/14 00001", f.alarms.log.back());
  EXPECT_TRUE(f.in.IsNew());
}

TEST(CMyInput, ColourKindsAreStoredAndFoundAgain) {
  Form f;
  f.in.BuildForm(Diary());
  ColorKind red{"赤"_sj, true, false, false, 0, 0x0000FF, 0xFFFFFF};
  ColorKind back{"背景"_sj, false, true, false, 0, 0, 0x00FFFF};
  ColorKind both{"両方"_sj, true, true, false, 0, 0x0000FF, 0x00FFFF};
  f.in.SetColorKinds({red, back, both});
  ASSERT_EQ(5u, f.in.ColorItems().size());
  EXPECT_EQ("その他"_sj, f.in.ColorItems()[4]);
  struct Case {
    const char* cr1;
    const char* cr2;
    int index;
  } cases[] = {{"", "", 0},         {"255", "", 1}, {"", "65535", 2},
               {"255", "65535", 3}, {"254", "", 4}, {"", "1", 4}};
  for (const Case& c : cases) {
    f.db.New();
    ASSERT_EQ(0, f.db.SetValue(memo::kKey, "2026/03/01"));
    ASSERT_EQ(0, f.db.SetValue(memo::kLineSerial, std::to_string(f.db.RecordCount() + 10)));
    ASSERT_EQ(0, f.db.SetValue(memo::kCr001, c.cr1));
    ASSERT_EQ(0, f.db.SetValue(memo::kCr002, c.cr2));
    ASSERT_EQ(0, f.db.Store());
    f.view.ReloadView();
    const char* serial = f.db.Value(memo::kLineSerial, f.db.RecordCount() - 1);
    f.in.ShowRecord({}, f.view.FindRecord("2026/03/01", serial));
    EXPECT_EQ(c.index, f.in.ColorIndex()) << c.cr1 << "/" << c.cr2;
  }
  // a record whose colours match no kind keeps them when saved again
  f.in.SetValue(1, "x");
  ASSERT_TRUE(f.in.SaveRecord());
  EXPECT_STREQ("1", f.db.Value(memo::kCr002, f.in.CurrentRow()));
  // choosing a kind writes its colours, an unused one as empty
  f.in.ShowRecord("2026/03/02", -1);
  f.in.SetValue(3, "");
  f.in.ChooseColor(2);
  ASSERT_TRUE(f.in.SaveRecord());  // a colour alone is something to save
  EXPECT_STREQ("", f.db.Value(memo::kCr001, f.in.CurrentRow()));
  EXPECT_STREQ("65535", f.db.Value(memo::kCr002, f.in.CurrentRow()));
  EXPECT_STREQ("0", f.db.Value(memo::kNoData, f.in.CurrentRow()));
}

TEST(CMyInput, ASavedRecordOutsideTheViewTurnsTheFormToANewOne) {
  Form f;
  f.in.BuildForm(Def(100, {Ctl(jsc::kText, 0, "DAT001")}));
  f.in.ShowNewRecord();
  EXPECT_EQ("7", f.in.PageText());
  EXPECT_EQ("3", f.in.LineText());
  f.in.SetValue(0, "x");
  f.view.hideAll = true;
  ASSERT_TRUE(f.in.SaveRecord());
  EXPECT_EQ(std::vector<std::string>{"登録は成功しましたが、表示条件外のデータです。"}, f.Shown());
  EXPECT_TRUE(f.in.IsNew());
  EXPECT_EQ("", f.in.Value(0));
  EXPECT_EQ("00007/00003", f.in.SavedKey());
  EXPECT_EQ(1, f.db.LiveCount());
}

TEST(CMyInput, StepsSaveFirstAndStopAtTheEnds) {
  Form f;
  f.in.BuildForm(Diary());
  for (const char* d : {"2026/03/01", "2026/03/02"}) {
    f.in.ShowRecord(d, -1);
    f.in.SetValue(1, d);
    ASSERT_TRUE(f.in.SaveRecord());
  }
  EXPECT_EQ(1, f.in.CurrentIndex());
  EXPECT_FALSE(f.in.StepRecord(+1));
  f.in.SetValue(1, "edited");
  ASSERT_TRUE(f.in.StepRecord(-1));
  EXPECT_EQ(0, f.in.CurrentIndex());
  EXPECT_EQ("2026/03/01", f.in.DateText());
  f.view.ReloadView();
  EXPECT_STREQ("edited", f.db.Value(memo::Dat(2), f.view.RecordRow(1)));
}
