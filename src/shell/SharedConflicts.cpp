#include "shell/SharedConflicts.h"

#include <cerrno>
#include <cstdio>

#include "alarm/CMyAlarm.h"
#include "calendar/CMyHoliday.h"
#include "catalogue/CMyMaster.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/SharedFile.h"
#include "shell/CMyGlobal.h"
#include "store/CMyLine.h"

namespace sharedconflicts {
namespace {

enum Kind { kAlarms, kTable, kRules, kSettings };

struct Known {
  std::string path;
  Kind kind;
};

std::vector<Known> Files(const CMyGlobal& g) {
  std::vector<Known> out = {
      {g.UserPath("alarm.dat"), kAlarms},     {g.UserPath("jbxuser.jpr"), kTable},
      {g.UserPath("jbxuser.ini"), kSettings}, {g.RootPath("holiday.dat"), kRules},
      {g.RootPath("kinen.dat"), kRules},      {g.RootPath("jotbox.ini"), kSettings},
  };
  if (!g.DivisionFolder().empty()) {
    out.push_back({g.DivisionPath("divin.jpr"), kTable});
    out.push_back({g.DivisionPath("color.dat"), kTable});
  }
  return out;
}

std::string Label(const std::string& path) { return cp932::FromUtf8(fileops::BaseName(path)); }

// Alarms of the copy that the file does not hold (as many times as the
// copy holds them more often) are added.
bool MergeAlarms(const CMyGlobal& g, const std::string& file, const std::string& copy, Prompter& p) {
  CMyLine list(2048);
  const int n = list.ReadList(copy);
  if (n < 0 || !list.ReadWhole()) return false;
  std::vector<std::string> theirs;
  for (int i = 0; i < n; ++i) {
    AlarmEntry e;
    if (!CMyAlarm::ParseEntry(list.Item(i), static_cast<size_t>(list.Length(i)), e)) return false;
    theirs.push_back(CMyAlarm::EntryBytes(e));
  }
  FixedClock clock(g.Today());
  CMyAlarm alarms(g, clock, &p);
  alarms.Load(file);
  std::vector<std::string> ours;
  for (const AlarmEntry& e : alarms.Entries()) ours.push_back(CMyAlarm::EntryBytes(e));
  std::vector<std::string> all = sharedfile::MergeRecords<std::string>({}, theirs, ours);
  for (const std::string& bytes : ours) {
    auto it = std::find(all.begin(), all.end(), bytes);
    if (it != all.end()) all.erase(it);
  }
  for (const std::string& bytes : all) {
    AlarmEntry e;
    if (CMyAlarm::ParseEntry(bytes.data(), bytes.size(), e)) alarms.Insert(e);
  }
  return alarms.Save(file);
}

// Records of the copy under a name the file does not hold are added; a
// name both hold keeps the file's record.
bool MergeTable(const CMyGlobal& g, const std::string& file, const std::string& copy, Prompter& p) {
  CMyMaster theirs;
  if (theirs.Load(copy) != CMyMaster::kLoaded) return false;
  CMyMaster ours(theirs.TableName(), &p);
  ours.Share(g.UserPath(fileops::WriteLock::kFileName));
  const int read = ours.Load(file);
  if (read != CMyMaster::kLoaded && read != CMyMaster::kMissing) return false;
  if (read == CMyMaster::kMissing) ours.Init(theirs.TableName());
  for (int i = 0; i < theirs.RecordCount(); ++i) {
    if (ours.FindByText(0, theirs.Name(i)) >= 0) continue;
    const std::string text = theirs.Text(i);
    if (ours.Append(std::string(theirs.Record(i), CMyMaster::kRecordSize),
                    text.empty() ? nullptr : text.c_str()) != 0)
      return false;
  }
  return ours.Write(file) >= 0;
}

// Rules of both, each distinct rule once more than either holds it.
bool MergeRules(const std::string& file, const std::string& copy, Prompter& p) {
  fileops::WriteLock lock;
  if (!sharedfile::Lock(lock, sharedfile::LockBeside(file), &p)) return false;
  std::string ours, theirs;
  if (!fileops::ReadAll(copy, theirs)) return false;
  if (!fileops::ReadAll(file, ours) && errno != ENOENT) return false;
  CMyHoliday check;
  for (const std::string* text : {&ours, &theirs}) {
    (void)check.LoadText(0, 2000, *text);
    if (!check.Recognised(0)) return false;
  }
  std::string merged = "CL01\r\n";
  for (const std::string& line :
       sharedfile::MergeRecords<std::string>({}, CMyHoliday::RuleLines(theirs), CMyHoliday::RuleLines(ours)))
    merged += line + "\r\n";
  return fileops::WriteAtomic(file, merged);
}

std::string Stamp(const CMyGlobal& g) {
  char buf[16];
  const CivilDate d = g.Today();
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year % 10000, d.month % 100, d.day % 100);
  return buf;
}

}  // namespace

std::vector<Copy> Find(const CMyGlobal& global) {
  std::vector<Copy> out;
  for (const Known& k : Files(global))
    for (const std::string& name : sharedfile::ConflictCopies(k.path))
      out.push_back({k.path, fileops::DirName(k.path) + name, k.kind != kSettings});
  return out;
}

int Merge(const CMyGlobal& global, Prompter& prompter, std::vector<std::string>& report) {
  int merged = 0;
  for (const Known& k : Files(global)) {
    for (const std::string& name : sharedfile::ConflictCopies(k.path)) {
      const std::string copy = fileops::DirName(k.path) + name;
      if (k.kind == kSettings) {
        report.push_back(Label(copy) + ": 設定のコピーは統合しません。内容を確かめてから削除してください"_sj);
        continue;
      }
      const bool ok = k.kind == kAlarms  ? MergeAlarms(global, k.path, copy, prompter)
                      : k.kind == kTable ? MergeTable(global, k.path, copy, prompter)
                                         : MergeRules(k.path, copy, prompter);
      if (!ok) {
        prompter.Warn("「"_sj + Label(copy) + "」を「"_sj + Label(k.path) + "」に統合できませんでした。"_sj);
        return -1;
      }
      std::string kept = copy + ".merged-" + Stamp(global);
      for (int n = 2; fileops::Exists(kept); ++n)
        kept = copy + ".merged-" + Stamp(global) + "-" + std::to_string(n);
      if (!fileops::Move(copy, kept)) {
        prompter.Warn("「"_sj + Label(copy) + "」を退避できませんでした。"_sj);
        return -1;
      }
      report.push_back(Label(copy) + ": 「"_sj + Label(k.path) + "」に統合"_sj);
      ++merged;
    }
  }
  return merged;
}

}  // namespace sharedconflicts
