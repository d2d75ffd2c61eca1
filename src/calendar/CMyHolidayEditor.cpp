#include "calendar/CMyHolidayEditor.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

#include "calendar/HolidayCalendar.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SharedFile.h"
#include "shell/CivilDays.h"

namespace {

// printf with a UTF-8 format; string arguments are CP932 already.
std::string Format(const char* utf8, ...) {
  const std::string fmt = cp932::FromUtf8(utf8);
  char buf[512];
  va_list ap;
  va_start(ap, utf8);
  std::vsnprintf(buf, sizeof buf, fmt.c_str(), ap);
  va_end(ap);
  return buf;
}

// A whole number as typed: ASCII or full-width digits (the input method may
// be on), nothing else, at most nine of them.
bool Number(const std::string& text, int& out) {
  std::string digits;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= '0' && c <= '9') {
      digits += static_cast<char>(c);
    } else if (c == 0x82 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x4F &&
               static_cast<unsigned char>(text[i + 1]) <= 0x58) {
      digits += static_cast<char>('0' + (static_cast<unsigned char>(text[i + 1]) - 0x4F));
      ++i;
    } else {
      return false;
    }
  }
  if (digits.empty() || digits.size() > 9) return false;
  out = std::stoi(digits);
  return true;
}

HolidayCheck Refuse(HolidayField field, const char* utf8) { return {field, cp932::FromUtf8(utf8)}; }

const char* const kWeekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};

std::string WeekdayOf(CivilDate d) { return cp932::FromUtf8(kWeekdays[civil::Weekday(d) - 1]); }

// The most days a month ever has.
int MostDays(int month) { return month == 2 ? 29 : civil::DaysInMonth(2001, month); }

}  // namespace

CMyHolidayEditor::CMyHolidayEditor(std::string holidayPath, std::string anniversaryPath,
                                   std::string programFolder, int year, Prompter& prompter)
    : rules_(std::move(programFolder)), year_(year), prompter_(prompter) {
  paths_[0] = std::move(holidayPath);
  paths_[1] = std::move(anniversaryPath);
}

std::string CMyHolidayEditor::FileLabel(int list) const {
  std::string sj;
  if (cp932::FromUtf8(fileops::BaseName(paths_[list]), sj) != 0 || sj.empty())
    sj = CMyHoliday::FileName(list);
  return sj;
}

void CMyHolidayEditor::Remember(int list) {
  (void)fileops::Identify(paths_[list], ids_[list]);
  base_[list] = CMyHoliday::RuleLines(rules_.Text(list));
}

bool CMyHolidayEditor::SaveList(int list) {
  const std::string& path = paths_[list];
  // read, check and write as one step: no other program writes meanwhile
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockBeside(path), &prompter_)) return false;
  fileops::FileId now;
  const int changed = sharedfile::Compare(path, ids_[list], now);
  if (changed < 0) {
    lock.Release();  // never held while a message is up
    prompter_.Warn(sharedfile::UnreadableText(path));
    return false;
  }
  if (changed > 0) {
    std::string text;
    if (now.Exists() && !fileops::ReadAll(path, text)) {
      lock.Release();
      prompter_.Warn(sharedfile::UnreadableText(path));
      return false;
    }
    CMyHoliday disk;
    (void)disk.LoadText(list, year_, text);
    if (!disk.Recognised(list)) {
      lock.Release();
      prompter_.Warn(sharedfile::ChangedText(path));
      return false;
    }
    std::string merged = "CL01\r\n";
    for (const std::string& line : sharedfile::MergeRecords(
             base_[list], CMyHoliday::RuleLines(rules_.Text(list)), CMyHoliday::RuleLines(disk.Text(list))))
      merged += line + "\r\n";
    (void)rules_.LoadText(list, year_, merged);
  }
  if (!rules_.Save(list, path)) return false;
  Remember(list);
  return true;
}

void CMyHolidayEditor::Open() {
  for (int list = 0; list < 2; ++list) {
    changed_[list] = false;
    locked_[list] = false;
    foreign_[list] = false;
    // taken before the read: a write that lands during it shows at the save
    (void)fileops::Identify(paths_[list], ids_[list]);
    std::string text;
    if (fileops::Exists(paths_[list])) {
      if (fileops::IsFile(paths_[list]) && fileops::ReadAll(paths_[list], text)) {
        (void)rules_.LoadText(list, year_, text);
        base_[list] = CMyHoliday::RuleLines(rules_.Text(list));
        if (rules_.Recognised(list)) continue;
        // Another file under this name: saving would put the rules in its
        // place, and what it held would be lost.
        locked_[list] = true;
        foreign_[list] = true;
        prompter_.Error(
            Format("%s は祝日・記念日のファイルとして読めません（見出しも規則の行もありません）。"
                   "ファイルを壊さないよう、この一覧は変更できません。",
                   FileLabel(list).c_str()));
        continue;
      }
      // Saving would replace the file by the defaults and whatever is added
      // now: what it holds is not known, so it is left alone.
      locked_[list] = true;
      prompter_.Error(Format("%s を読めませんでした。ファイルを壊さないよう、この一覧は変更できません。",
                             FileLabel(list).c_str()));
    }
    (void)rules_.Load(list, year_, paths_[list]);  // the program's defaults, or empty
    base_[list] = CMyHoliday::RuleLines(rules_.Text(list));
  }
}

std::string CMyHolidayEditor::Note(int list) const {
  if (list < 0 || list > 1) return {};
  if (foreign_[list])
    return Format("%s は祝日・記念日のファイルではないため、この一覧は変更できません。",
                  FileLabel(list).c_str());
  if (locked_[list])
    return Format("%s を読めないため、この一覧は変更できません（表示は既定のものです）。",
                  FileLabel(list).c_str());
  const int unread = rules_.UnreadLines(list);
  if (unread > 0)
    return Format("%s の %d 行は正しく読めませんでした（読めた部分だけを使います）。",
                  FileLabel(list).c_str(), unread);
  return {};
}

std::vector<CMyHolidayEditor::Row> CMyHolidayEditor::Rows(int list, bool allYears) const {
  std::vector<Row> rows;
  const int n = rules_.Count(list);
  if (n > 1) rows.reserve(static_cast<size_t>(n - 1));
  for (int i = 1; i < n; ++i) {
    const HolidayEntry& e = rules_.Item(i, list);
    if (allYears || (e.startYear <= year_ && year_ <= e.endYear))
      rows.push_back({i, CMyHoliday::DisplayLine(e)});
  }
  return rows;
}

bool CMyHolidayEditor::RequireSelection(int list, int index) const {
  if (index >= 1 && index < rules_.Count(list)) return true;
  prompter_.Warn(cp932::FromUtf8("選択されていません"));
  return false;
}

bool CMyHolidayEditor::RefuseLocked(int list) const {
  if (Editable(list)) return false;
  prompter_.Warn(Format(foreign_[list] ? "%s は祝日・記念日のファイルではないため、この一覧は変更できません。"
                                       : "%s を読めないため、この一覧は変更できません。",
                        FileLabel(list).c_str()));
  return true;
}

CMyHolidayEditor::Values CMyHolidayEditor::ValuesOf(const HolidayForm& f) {
  Values v{1000, 9999, 0, 0, -1, 0, f.name};
  if (!f.startYear.empty()) (void)Number(f.startYear, v.start);
  if (!f.endYear.empty()) (void)Number(f.endYear, v.end);
  (void)Number(f.month, v.month);
  if (f.kind == HolidayKind::Day) (void)Number(f.day, v.day);
  if (f.kind == HolidayKind::Week) v.week = f.week;
  if (f.kind == HolidayKind::Etc) v.term = f.term + 1;
  return v;
}

int CMyHolidayEditor::FindRule(int list, const Values& v) const {
  // Adding puts a rule after the equal ones, so the last match is the one
  // just added.
  for (int i = rules_.Count(list) - 1; i >= 1; --i) {
    const HolidayEntry& e = rules_.Item(i, list);
    if (e.month == v.month && e.startYear == v.start && e.endYear == v.end && e.weekRule == v.week &&
        e.solarTerm == v.term && e.Name() == v.name && (v.week != -1 || v.term != 0 || e.day == v.day))
      return i;
  }
  return -1;
}

int CMyHolidayEditor::Insert(int list, HolidayForm form) {
  if (list < 0 || list > 1 || RefuseLocked(list)) return -1;
  HolidayCheck c = CheckForm(form);
  if (!c.Ok()) {
    prompter_.Warn(c.message);
    return -1;
  }
  const Values v = ValuesOf(form);
  rules_.Add(v.start, v.end, v.month, v.day, v.term, year_, v.week, v.name, list);
  changed_[list] = true;
  return FindRule(list, v);
}

void CMyHolidayEditor::Reorder(int list) { (void)rules_.LoadText(list, year_, rules_.Text(list)); }

int CMyHolidayEditor::Update(int list, int index, HolidayForm form) {
  if (list < 0 || list > 1 || RefuseLocked(list) || !RequireSelection(list, index)) return -1;
  HolidayCheck c = CheckForm(form);
  if (!c.Ok()) {
    prompter_.Warn(c.message);
    return -1;
  }
  const Values v = ValuesOf(form);
  rules_.Update(index, v.start, v.end, v.month, v.day, v.term, year_, v.week, v.name, list);
  // Reading back the file just written would resolve every rule for the
  // year and restore the order; doing it from memory gives the same list
  // and keeps the change when the write fails.
  Reorder(list);
  changed_[list] = true;
  if (SaveList(list)) {
    changed_[list] = false;
  } else {
    prompter_.Error(
        Format("%s を保存できませんでした。変更は閉じるときにもう一度保存します。", FileLabel(list).c_str()));
  }
  return FindRule(list, v);
}

bool CMyHolidayEditor::Delete(int list, int index) {
  if (list < 0 || list > 1 || RefuseLocked(list) || !RequireSelection(list, index)) return false;
  if (!prompter_.Confirm(cp932::FromUtf8("削除してよろしいですか？"), true)) return false;
  rules_.Remove(index, list);
  changed_[list] = true;
  return true;
}

bool CMyHolidayEditor::SaveChanged() {
  bool ok = true;
  for (int list = 0; list < 2; ++list) {
    if (!changed_[list] || locked_[list]) continue;
    if (SaveList(list)) {
      changed_[list] = false;
    } else {
      prompter_.Error(Format("%s を保存できませんでした。", FileLabel(list).c_str()));
      ok = false;
    }
  }
  return ok;
}

bool CMyHolidayEditor::Finish() {
  if (SaveChanged()) return true;
  return prompter_.Confirm(cp932::FromUtf8("保存できなかった変更があります。変更を捨てて閉じますか？"), true);
}

std::vector<std::string> CMyHolidayEditor::Preview(int year) const {
  std::vector<std::string> lines;
  if (year < 1 || year > 9999) return lines;
  auto cal = HolidayCalendar::FromTexts(rules_.Text(0), rules_.Text(1));
  cal->LoadYear(year);
  cal->ResetCursors();
  const std::string holiday = cp932::FromUtf8("祝日");
  const std::string anniversary = cp932::FromUtf8("記念日");
  for (CivilDate d{year, 1, 1}; d.year == year; d = civil::AddDays(d, 1)) {
    const HolidayEntry* h = nullptr;
    const HolidayEntry* a = nullptr;
    cal->Find(d, h, a);
    char buf[160];
    const std::string wd = WeekdayOf(d);
    if (h) {
      std::snprintf(buf, sizeof buf, "%02d/%02d(%s) %-6s %s", d.month, d.day, wd.c_str(), holiday.c_str(),
                    h->name);
      lines.push_back(buf);
    }
    if (a) {
      std::string name = a->name;
      if (a->startYear > 1000 && year > a->startYear) name += Format("（%d年目）", year - a->startYear);
      std::snprintf(buf, sizeof buf, "%02d/%02d(%s) %-6s %s", d.month, d.day, wd.c_str(), anniversary.c_str(),
                    name.c_str());
      lines.push_back(buf);
    }
  }
  return lines;
}

HolidayCheck CMyHolidayEditor::CheckForm(HolidayForm& f) {
  // 1: what the kind does not use goes
  switch (f.kind) {
    case HolidayKind::Day:
      f.week = -1;
      f.term = -1;
      break;
    case HolidayKind::Week:
      f.day.clear();
      f.term = -1;
      break;
    case HolidayKind::Etc:
      f.day.clear();
      f.week = -1;
      break;
  }
  if (f.month.empty()) return Refuse(HolidayField::Month, "月が入力されていません");
  if (f.kind == HolidayKind::Day) {
    if (f.day.empty()) return Refuse(HolidayField::Day, "日が入力されていません");
    int d = 0;
    if (!Number(f.day, d) || d < 1 || d > 31)
      return Refuse(HolidayField::Day, "日は１から３１の間で入力してください");
  }
  if (f.kind == HolidayKind::Week && (f.week < 0 || f.week > 27))
    return Refuse(HolidayField::Week, "曜日が入力されていません");
  if (f.name.empty()) return Refuse(HolidayField::Name, "祝日が入力されていません");
  // The files end a name at white space: a name with a space would come
  // back cut, with the rest of its line read as broken numbers.
  for (char c : f.name)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F)
      return Refuse(HolidayField::Name, "内容に半角の空白や改行は使えません");
  if (f.name.size() > static_cast<size_t>(kMaxName))
    return Refuse(HolidayField::Name, "内容は半角30文字（全角15文字）までです");
  int m = 0;
  if (!Number(f.month, m) || m < 1 || m > 12)
    return Refuse(HolidayField::Month, "月は１から１２の間で入力してください");
  int start = 1000, end = 9999;
  if (!f.startYear.empty() && (!Number(f.startYear, start) || start < 1900 || start > 3999))
    return Refuse(HolidayField::StartYear, "開始年の指定が不正です");
  if (!f.endYear.empty() && (!Number(f.endYear, end) || end < 1900 || end > 3999))
    return Refuse(HolidayField::EndYear, "終了年の指定が不正です");
  // A rule from 2030 to 2020 would be stored and never apply.
  if (start > end) return Refuse(HolidayField::StartYear, "開始年が終了年より後になっています");
  if (f.kind == HolidayKind::Etc) {
    static const int kMonth[4] = {3, 6, 9, 12};
    static const char* const kWrong[4] = {"春分は３月のみ設定可能です", "夏至は６月のみ設定可能です",
                                          "秋分は９月のみ設定可能です", "冬至は１２月のみ設定可能です"};
    if (f.term < 0) return Refuse(HolidayField::Term, "その他の項目が選択されていません");
    if (f.term > 3) return Refuse(HolidayField::Term, "該当しない項目が選択されました");
    if (m != kMonth[f.term]) return Refuse(HolidayField::Term, kWrong[f.term]);
  }
  return {};
}

HolidayForm CMyHolidayEditor::FormOf(const HolidayEntry& e) {
  HolidayForm f;
  if (e.startYear != 1000) f.startYear = std::to_string(e.startYear);
  if (e.endYear != 9999) f.endYear = std::to_string(e.endYear);
  f.month = std::to_string(e.month);
  f.day = std::to_string(e.day);
  f.name = e.Name();
  // a solar term decides the day even when a week rule is set too
  if (e.solarTerm >= 1 && e.solarTerm <= 4) {
    f.kind = HolidayKind::Etc;
    f.term = e.solarTerm - 1;
  } else if (e.weekRule >= 0 && e.weekRule <= 27) {
    f.kind = HolidayKind::Week;
    f.week = e.weekRule;
  }
  return f;
}

std::string CMyHolidayEditor::FormNote(const HolidayForm& f, int year) {
  int m = 0;
  if (!Number(f.month, m) || m < 1 || m > 12 || year < 1 || year > 9999) return {};
  int d = 0;
  switch (f.kind) {
    case HolidayKind::Day:
      if (!Number(f.day, d) || d < 1 || d > 31) return {};
      if (d > MostDays(m)) return Format("%d月%d日はどの年にもないため、この規則の日は来ません。", m, d);
      if (d > civil::DaysInMonth(year, m))
        return Format("%d年には%d月%d日がありません（うるう年だけの日です）。", year, m, d);
      break;
    case HolidayKind::Week:
      if (f.week < 0 || f.week > 27) return {};
      d = CMyHoliday::NthWeekdayDay(f.week, year, m);
      break;
    case HolidayKind::Etc:
      if (f.term < 0 || f.term > 3 || m != 3 * (f.term + 1)) return {};
      d = CMyHoliday::SolarTermDay(year, f.term + 1);
      if (d == 0)
        return Format("%d年は%sの日が求まらないため、%d月1日になります。", year, TermName(f.term).c_str(), m);
      break;
  }
  std::string note = Format("%d年は%2d月%2d日(%s)", year, m, d, WeekdayOf({year, m, d}).c_str());
  int start = 1000, end = 9999;
  if (!f.startYear.empty()) (void)Number(f.startYear, start);
  if (!f.endYear.empty()) (void)Number(f.endYear, end);
  if (year < start || year > end) note += cp932::FromUtf8("（範囲外の年）");
  return note;
}

std::string CMyHolidayEditor::WeekName(int week) {
  static const char* const kNth[4] = {"１", "２", "３", "４"};
  if (week < 0 || week > 27) return {};
  return cp932::FromUtf8(std::string("第") + kNth[week / 7] + kWeekdays[week % 7] + "曜");
}

std::string CMyHolidayEditor::TermName(int term) {
  static const char* const kTerms[4] = {"春分", "夏至", "秋分", "冬至"};
  if (term < 0 || term > 3) return {};
  return cp932::FromUtf8(kTerms[term]);
}
