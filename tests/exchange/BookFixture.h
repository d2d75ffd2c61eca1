// A division in a temporary data root with the objects the main window
// keeps (table, period list, input form), records written through the input
// form's own model, and helpers to compare what lies on disk.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "exchange/ExchangeColumns.h"
#include "exchange/ExchangeFixture.h"
#include "input/CMyInput.h"
#include "input/StoreInputPorts.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "screens/InputDef.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"
#include "support/TempDir.h"

namespace bookfix {

inline jsc::Control Ctl(int kind, int slot, const std::string& field, const std::string& aliasUtf8,
                        int type = 0, int decimals = 0) {
  jsc::Control c;
  c.kind = kind;
  c.slot = slot;
  c.field = field;
  c.alias = cp932::FromUtf8(aliasUtf8);
  c.dataType = type;
  c.decimals = decimals;
  c.left = 10;
  c.top = 10 + 25 * slot;
  c.width = 100;
  c.height = 20;
  return c;
}

// A household book by date: text, combo, number, decimal, time, memo, photo.
inline std::vector<jsc::Control> DiaryControls() {
  return {Ctl(jsc::kText, 0, "DAT001", "品目"),
          Ctl(jsc::kCombo, 0, "DAT002", "分類"),
          Ctl(jsc::kText, 1, "DAT004", "金額", jsc::kNumber),
          Ctl(jsc::kText, 2, "DAT005", "税率", jsc::kDecimal, 2),
          Ctl(jsc::kText, 3, "TIME_F", "時刻", jsc::kTime),
          Ctl(jsc::kMemo, 0, "MEM001", "メモ"),
          Ctl(jsc::kPhoto, 0, "IMG001", "写真")};
}

// A notebook by page and line: a heading and a memo.
inline std::vector<jsc::Control> NoteControls() {
  return {Ctl(jsc::kText, 0, "DAT001", "見出し"), Ctl(jsc::kMemo, 0, "MEM001", "本文")};
}

struct Book {
  TempDir dir;
  ScriptedPrompter prompter;
  FixedClock clock{{2026, 3, 14}, {9, 0, 0}};
  bool portable = (WriteBytes(dir / "jotbox.ini", ""), true);  // the data root beside the "program"
  CMyGlobal global{prompter, clock, dir.path(), dir / "home"};
  CMyDB db{&prompter};
  CMyRec records{&db}, work{&db};
  CMyMaster divout{"DIVOUT", &prompter};
  CMyPeriods periods{global, db, work, divout, prompter};
  StoreInputView view{db, records, periods};
  CMyInput form{db, prompter, clock, view};
  std::vector<jsc::Control> controls;
  bool byPage;

  explicit Book(bool page = false, const std::string& division = "d") : byPage(page) {
    global.SetUserName("u");
    global.SetDivisionFolder(division);
    EXPECT_TRUE(fileops::MakeDirs(global.DivisionPath("")));
    EXPECT_EQ(0, DefineMemoSchema(db));
    controls = page ? NoteControls() : DiaryControls();
    jsc::InputDef def;
    def.header.formWidth = 400;
    def.header.inputHeight = 600;
    def.header.dataKind = page ? 100 : 0;
    def.header.controlCount = static_cast<int>(controls.size());
    def.controls = controls;
    EXPECT_TRUE(form.BuildForm(def));
    ColorKind red;
    red.name = "赤"_sj;
    red.useText = true;
    red.textColor = 0x0000FF;
    form.SetColorKinds({red});
  }
  std::string Div() const { return global.DivisionPath(""); }
  std::string Path(const std::string& name) const { return global.DivisionPath(name); }

  ExchangeBook Exchange() {
    ExchangeBook b{global, db, periods, divout, ScreenFieldsOf(form.ControlList())};
    b.byPage = byPage;
    b.linesPerPage = 30;
    return b;
  }

  // A new entry through the input form (values UTF-8 by display name; raw
  // CP932 when the name starts with "!"). False when the form refused it.
  bool Add(const std::string& key, const std::vector<std::pair<std::string, std::string>>& values,
           bool red = false) {
    form.ShowRecord({}, -1);
    if (byPage) {
      form.SetPageText(key.substr(0, key.find('/')));
      form.SetLineText(key.substr(key.find('/') + 1));
    } else {
      form.SetDateText(key);
    }
    for (const auto& [name, value] : values) {
      const bool raw = !name.empty() && name[0] == '!';
      const int c = form.FindControl(cp932::FromUtf8(raw ? name.substr(1) : name));
      EXPECT_GE(c, 0) << name;
      form.SetValue(c, raw ? value : cp932::FromUtf8(value));
      if (!form.LeaveField(c)) return false;
    }
    if (red) form.ChooseColor(1);
    return form.SaveRecord();
  }

  // Every live record, by key and serial; each record as its 43 values
  // (the serial left out when `withSerial` is false).
  std::vector<std::vector<std::string>> Records(bool withSerial = true) {
    CMyRec all(&db);
    EXPECT_EQ(0, all.SetSort("キー項目,行連番"_sj, false));
    EXPECT_GE(all.Select(nullptr), 0);
    std::vector<std::vector<std::string>> out;
    for (int k = 0; k < all.Count(); ++k) {
      std::vector<std::string> rec;
      for (int f = 0; f < memo::kFieldCount; ++f) {
        if (!withSerial && f == memo::kLineSerial) continue;
        const char* v = db.Value(f, all.Items()[k]);
        rec.push_back(v ? v : "");
      }
      out.push_back(rec);
    }
    return out;
  }

  // What the division's data files hold, read afresh.
  std::vector<std::vector<std::string>> OnDisk(bool withSerial = true) {
    ScriptedPrompter p;
    CMyDB fresh(&p);
    EXPECT_EQ(0, DefineMemoSchema(fresh));
    for (const std::string& name : fileops::List(Div(), "dt*.jdt")) (void)fresh.ReadFile(Path(name), false);
    CMyRec all(&fresh);
    EXPECT_EQ(0, all.SetSort("キー項目,行連番"_sj, false));
    EXPECT_GE(all.Select(nullptr), 0);
    std::vector<std::vector<std::string>> out;
    for (int k = 0; k < all.Count(); ++k) {
      std::vector<std::string> rec;
      for (int f = 0; f < memo::kFieldCount; ++f) {
        if (!withSerial && f == memo::kLineSerial) continue;
        const char* v = fresh.Value(f, all.Items()[k]);
        rec.push_back(v ? v : "");
      }
      out.push_back(rec);
    }
    return out;
  }

  // The division folder's files, without the day's safety copies.
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> t = exfix::Tree(Div());
    for (auto it = t.begin(); it != t.end();) {
      if (it->first.rfind("BK", 0) == 0)
        it = t.erase(it);
      else
        ++it;
    }
    return t;
  }
};

inline std::string Utf8(const std::string& sj) { return cp932::ToUtf8(sj); }

}  // namespace bookfix
