#include "store/CMyPeriods.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"
#include "store/MemoSchema.h"

std::string CMyPeriods::PeriodOf(std::string_view key) {
  if (key.size() == 10) return std::string(key.substr(0, 4)) + std::string(key.substr(5, 2));
  if (key.size() == 11) return std::string(key.substr(0, 5));
  return std::string(key);
}

std::string CMyPeriods::FileName(const std::string& period) { return "dt" + period + ".jdt"; }

int CMyPeriods::LoadPeriods(const std::string* from, const std::string* to) {
  std::vector<int> periods;
  std::vector<std::string> paths;
  for (int i = 0; i < divout_.RecordCount(); ++i) {
    std::string name = divout_.Name(i);
    if (to && name > *to) break;
    if (divout_.GetInt(i, CMyMaster::kRFlag) != 0) continue;
    if (from && name < *from) continue;
    periods.push_back(i);
    paths.push_back(global_.DivisionPath(FileName(name)));
  }
  // the whole book is read on a second thread while this one indexes
  std::vector<int> results;
  if (!from && !to) {
    db_.ReadFiles(paths, results);
  } else {
    for (const std::string& path : paths) results.push_back(db_.ReadFile(path, false));
  }
  for (size_t k = 0; k < periods.size(); ++k) {
    // a missing file is an empty period; a damaged one keeps what was sound
    // and is remembered, so that it is never saved over without a word
    const int rc = results[k];
    if (rc != 0 && (rc != CMyDB::kCannotOpen || fileops::Exists(paths[k])))
      damaged_.insert(divout_.Name(periods[k]));
    (void)divout_.SetInt(periods[k], CMyMaster::kRFlag, 1);
  }
  return periods.empty() ? 0 : 1;
}

namespace {
std::string Stamp(const CMyGlobal& global) {
  char buf[16];
  const CivilDate d = global.Today();
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
  return buf;
}

// The highest line serial of each period found in the table's records.
int SerialOf(const CMyDB& db, int r) { return std::atoi(db.Value(memo::kLineSerial, r)); }
}  // namespace

bool CMyPeriods::KeepDamaged(const std::string& path) {
  if (!fileops::Exists(path)) return true;  // gone meanwhile: nothing to keep
  std::string keep = path + ".damaged-" + Stamp(global_);
  for (int n = 2; fileops::Exists(keep); ++n)
    keep = path + ".damaged-" + Stamp(global_) + "-" + std::to_string(n);
  if (!Watch(path) || !Watch(keep)) return false;
  return fileops::Move(path, keep);
}

int CMyPeriods::LoadTable() {
  // what was damaged in the book read before (another book, or this one
  // before its files were put back) says nothing of this reading
  damaged_.clear();
  const std::string path = global_.DivisionPath("divout.jpr");
  const bool exists = fileops::Exists(path);
  if (exists && divout_.Read(path) == 0) return 0;
  divout_.Init("DIVOUT");
  std::vector<std::string> files = fileops::List(global_.DivisionPath(""), "dt*.jdt");
  if (files.empty()) return 0;  // a new book: nothing to rebuild from
  std::sort(files.begin(), files.end());
  std::string latest;
  for (const std::string& file : files) {
    const std::string name = fileops::BaseName(file);
    const std::string period = name.substr(2, name.size() - 6);
    if (period.empty() || divout_.FindByText(0, period) >= 0) continue;
    CMyDB one;
    if (DefineMemoSchema(one) != CMyDB::kOk) return -1;     // only memory can be short
    (void)one.ReadFile(global_.DivisionPath(name), false);  // whatever reads counts
    int highest = 0;
    for (int r = 0; r < one.RecordCount(); ++r) {
      if (one.IsDeleted(r)) continue;
      highest = std::max(highest, SerialOf(one, r));
      const std::string key = one.Value(memo::kKey, r);
      if (key.size() == 10 || key.size() == 11) {
        if (latest.size() != key.size() || key > latest) latest = key;
      }
    }
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, period);
    int at = divout_.RecordCount();
    while (at > 0 && divout_.Name(at - 1) > period) --at;
    if (divout_.InsertAt(at, rec) != 0) return -1;
    (void)divout_.SetInt(at, CMyMaster::kRKey11, highest);
  }
  divout_.SetHeaderText(latest);
  if (exists && !KeepDamaged(path)) {
    prompter_.Warn("「divout.jpr」を退避できませんでした。"_sj);
    return -1;
  }
  prompter_.Warn("期間の一覧（divout.jpr）が読めないため、データファイルから作り直しました。"_sj);
  return SaveDivout() == 0 ? 1 : -1;
}

int CMyPeriods::SaveDivout() {
  const std::string path = global_.DivisionPath("divout.jpr");
  if (!Watch(path)) return -1;
  return divout_.Write(path) >= 0 ? 0 : -1;
}

bool CMyPeriods::MaySave(const std::string& period) {
  if (!IsDamaged(period)) return true;
  const std::string path = global_.DivisionPath(FileName(period));
  const std::string file = FileName(period);
  if (!prompter_.Confirm(
          "「"_sj + file +
              "」は最後まで読み込めませんでした。このまま保存すると読み込めなかった記録が失われます。\n"
              "壊れたファイルを「"_sj +
              file + ".damaged-" + Stamp(global_) + "」として残して保存しますか？"_sj,
          true)) {
    prompter_.Warn("保存を取り止めました。"_sj);
    return false;
  }
  if (!KeepDamaged(path)) {
    prompter_.Warn("壊れたファイルを残せなかったため、保存しませんでした。"_sj);
    return false;
  }
  damaged_.erase(period);
  return true;
}

int CMyPeriods::SavePeriod(const std::string& period) {
  if (host_ && host_->GroupViewShown()) {
    prompter_.Warn("グループ集計中はデータの保存は出来ません。"_sj);
    return -1;
  }
  if (!MaySave(period)) return -1;
  std::string prefix = period.size() == 6 ? period.substr(0, 4) + "/" + period.substr(4, 2) : period;
  int rc = work_.SetSort("キー項目,行連番"_sj, false);
  if (rc == 0) rc = work_.Select("キー項目='"_sj + prefix + "*'");
  if (rc < 0) {  // any parse or selection failure: a stale selection is not the month
    prompter_.Warn("保存抽出に失敗しました。"_sj);
    return -1;
  }
  // the selection may be empty: the period is then written without records
  static const int kNone = 0;
  const int* numbers = work_.Count() > 0 ? work_.Items() : &kNone;
  const std::string target = global_.DivisionPath(FileName(period));
  if (!Watch(target) || !Watch(global_.DivisionPath("divout.jpr")) ||
      db_.WriteSubset(target, numbers, work_.Count()) != 0) {
    prompter_.Warn("保存に失敗しました。"_sj);
    return -1;
  }
  if (SaveDivout() != 0) {
    prompter_.Warn("保存に失敗しました。"_sj);
    return -1;
  }
  return 0;
}

int CMyPeriods::SavePeriods(const std::vector<std::string>& periods) {
  if (periods.empty()) return 0;
  if (periods.size() == 1) return SavePeriod(periods[0]);
  if (host_ && host_->GroupViewShown()) {
    prompter_.Warn("グループ集計中はデータの保存は出来ません。"_sj);
    return -1;
  }
  for (const std::string& p : periods)
    if (!MaySave(p)) return -1;
  // one sorted pass over the table instead of one selection per period
  if (work_.SetSort("キー項目,行連番"_sj, false) != 0 || work_.Select("キー項目<>''"_sj) < 0) {
    prompter_.Warn("保存抽出に失敗しました。"_sj);
    return -1;
  }
  std::map<std::string, std::vector<int>> byPeriod;
  for (const std::string& p : periods) byPeriod[p];
  for (int i = 0; i < work_.Count(); ++i) {
    const int r = work_.Items()[i];
    auto it = byPeriod.find(PeriodOf(db_.Value(memo::kKey, r)));
    if (it != byPeriod.end()) it->second.push_back(r);
  }
  if (!Watch(global_.DivisionPath("divout.jpr"))) {
    prompter_.Warn("保存に失敗しました。"_sj);
    return -1;
  }
  // every file written first, then made durable with one sync and renamed
  static const int kNone = 0;
  fileops::AtomicBatch batch;
  for (const auto& [period, numbers] : byPeriod) {
    const std::string target = global_.DivisionPath(FileName(period));
    fileops::AtomicFile* f = Watch(target) ? batch.Add(target) : nullptr;
    if (!f || db_.WriteSubsetTo(*f, numbers.empty() ? &kNone : numbers.data(),
                                static_cast<int>(numbers.size())) != 0) {
      prompter_.Warn("保存に失敗しました。"_sj);
      return -1;
    }
  }
  if (!batch.Commit()) {
    prompter_.Warn("保存に失敗しました。"_sj);
    return -1;
  }
  if (SaveDivout() != 0) {
    prompter_.Warn("保存に失敗しました。"_sj);
    return -1;
  }
  return 0;
}

int CMyPeriods::RegisterKey(const std::string& period, const std::string& key, bool renumber) {
  // counters read from a file may be anything; they wrap instead of overflowing
  auto next = [](int v) { return static_cast<int>(static_cast<uint32_t>(v) + 1u); };
  divout_.SetHeaderInt(CMyMaster::kHAdded, next(divout_.HeaderInt(CMyMaster::kHAdded)));
  std::string latest = divout_.HeaderText();
  if (key.size() != latest.size()) {
    if (!latest.empty()) prompter_.Warn("データ種類が変更されました。"_sj);
    divout_.SetHeaderText(key);
  } else if (key > latest) {
    divout_.SetHeaderText(key);
  }
  int index = divout_.FindByText(0, period);
  if (index < 0 && fileops::Exists(global_.DivisionPath(FileName(period)))) {
    // a file the list does not name (a damaged or rebuilt list): its records
    // must be read before anything is added, or the next save drops them
    int at = 0;
    while (at < divout_.RecordCount() && divout_.Name(at) < period) ++at;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, period);
    if (divout_.InsertAt(at, rec) != 0 || !divout_.Record(at)) {
      prompter_.Warn("p)出力用リストの更新に失敗しました。"_sj);
      return 1;
    }
    index = at;
  }
  if (index < 0) {
    int at = 0;
    while (at < divout_.RecordCount() && divout_.Name(at) < period) ++at;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, period);
    if (divout_.InsertAt(at, rec) != 0 || !divout_.Record(at)) {
      prompter_.Warn("p)出力用リストの更新に失敗しました。"_sj);
      return 1;
    }
    (void)divout_.SetInt(at, CMyMaster::kRFlag, 1);
    (void)divout_.SetInt(at, CMyMaster::kRKey11, 1);
    return 1;
  }
  if (divout_.GetInt(index, CMyMaster::kRFlag) == 0) {
    bool moved = host_ && host_->MoveViewToKey(key);
    if (!moved) {
      if (key.size() == 10) prompter_.Warn("変換に失敗しました。"_sj);
      // the serials must still come from the file's own records: load it
      std::string p = divout_.Name(index);
      LoadPeriods(&p, &p);
    }
    index = divout_.FindByText(0, period);
    if (index < 0) {
      prompter_.Warn("p)出力用リストの更新に失敗しました。"_sj);
      return 1;
    }
  }
  int serial = FreeSerial(period, divout_.GetInt(index, CMyMaster::kRKey11));
  (void)divout_.SetInt(index, CMyMaster::kRKey11, serial);
  if (renumber && host_) {
    int given = host_->RenumberAfter(key, serial);
    if (given > 0) serial = given;
  }
  return serial;
}

int CMyPeriods::FreeSerial(const std::string& period, int counter) const {
  const std::string prefix = period.size() == 6 ? period.substr(0, 4) + "/" + period.substr(4, 2) : period;
  std::vector<bool> used(100000, false);
  int highest = 0;
  for (int r = 0; r < db_.RecordCount(); ++r) {
    if (db_.IsDeleted(r) || std::strncmp(db_.Value(memo::kKey, r), prefix.c_str(), prefix.size()) != 0)
      continue;
    const int s = SerialOf(db_, r);
    if (s < 1 || s > 99999) continue;
    used[static_cast<size_t>(s)] = true;
    highest = std::max(highest, s);
  }
  const int next = static_cast<int>(static_cast<uint32_t>(counter) + 1u);
  if (next >= 1 && next <= 99999 && !used[static_cast<size_t>(next)]) return next;
  // "%05d" holds five digits: a serial in use identifies another record
  if (highest < 99999) return highest + 1;
  for (int s = 1; s <= 99999; ++s)
    if (!used[static_cast<size_t>(s)]) return s;
  return 0;  // a period of 99,999 lines has no room
}
