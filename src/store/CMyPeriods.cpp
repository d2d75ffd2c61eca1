#include "store/CMyPeriods.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "catalogue/CMyMaster.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"
#include "platform/Prompter.h"
#include "platform/Recovery.h"
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

std::string CMyPeriods::PeriodOfFile(const std::string& name) {
  if (name.size() != 12 && name.size() != 11) return {};
  if (name.compare(0, 2, "dt") != 0 || name.compare(name.size() - 4, 4, ".jdt") != 0) return {};
  const std::string period = name.substr(2, name.size() - 6);
  for (char c : period)
    if (c < '0' || c > '9') return {};
  return period;
}

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
  // a file's identity is taken before it is read: a change during the read
  // is then seen as a change at the next save
  for (size_t k = 0; k < paths.size(); ++k) Remember(divout_.Name(periods[k]));
  const int first = db_.RecordCount();
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
  if (tracking_) SnapshotFrom(first);
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

int CMyPeriods::LoadTable(bool mayWrite) {
  unread_ = true;
  const int rc = ReadTable(mayWrite);
  unread_ = rc < 0;
  return rc;
}

int CMyPeriods::ReadTable(bool mayWrite) {
  // what was damaged in the book read before (another book, or this one
  // before its files were put back) says nothing of this reading
  damaged_.clear();
  ids_.clear();
  snaps_.clear();
  fileops::WriteLock lock;
  if (mayWrite && (!Lock(lock) || !Recover())) return -1;
  const std::string path = global_.DivisionPath("divout.jpr");
  RememberDivout();
  const int read = divout_.Load(path);
  if (read == CMyMaster::kLoaded) {
    const int adopted = AdoptUnlisted();
    if (adopted <= 0 || !mayWrite) return adopted < 0 ? -1 : 0;
    return SaveDivout() == 0 ? 0 : -1;
  }
  divout_.Init("DIVOUT");
  if (read == CMyMaster::kUnreadable) {
    // there but unreadable (a failing disk, a file another program holds):
    // rebuilt now, the list would be written over a sound one
    prompter_.Warn(
        "期間の一覧（divout.jpr）を読み込めませんでした。ファイルを確認してからやり直してください。"_sj);
    return -1;
  }
  std::vector<std::string> files;
  if (!fileops::List(global_.DivisionPath(""), "dt*.jdt", files)) {
    prompter_.Warn("分類フォルダの一覧を読み込めませんでした。"_sj);
    return -1;
  }
  if (files.empty()) return 0;  // a new book: nothing to rebuild from
  std::string latest;
  for (const std::string& file : files) {
    const std::string name = fileops::BaseName(file);
    const std::string period = PeriodOfFile(name);
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
  if (!mayWrite) return 1;
  if (read == CMyMaster::kDamaged && !KeepDamaged(path)) {
    prompter_.Warn("「divout.jpr」を退避できませんでした。"_sj);
    return -1;
  }
  prompter_.Warn("期間の一覧（divout.jpr）が読めないため、データファイルから作り直しました。"_sj);
  return SaveDivout() == 0 ? 1 : -1;
}

int CMyPeriods::AdoptUnlisted() {
  std::vector<std::string> files;
  if (!fileops::List(global_.DivisionPath(""), "dt*.jdt", files)) {
    prompter_.Warn("分類フォルダの一覧を読み込めませんでした。"_sj);
    return -1;
  }
  int adopted = 0;
  for (const std::string& name : files) {
    const std::string period = PeriodOfFile(name);
    if (period.empty() || divout_.FindByText(0, period) >= 0) continue;
    int at = 0;
    while (at < divout_.RecordCount() && divout_.Name(at) < period) ++at;
    std::string rec = CMyMaster::Blank();
    CMyMaster::SetName(rec, period);
    if (divout_.InsertAt(at, rec) != 0) return -1;
    ++adopted;
  }
  return adopted;
}

std::string CMyPeriods::LockPath() const { return global_.UserPath(fileops::WriteLock::kFileName); }

bool CMyPeriods::Lock(fileops::WriteLock& lock) const {
  if (lock.Acquire(LockPath())) return true;
  // no user folder yet: no book of it another program could be writing
  if (!fileops::IsDir(global_.UserPath(""))) return true;
  prompter_.Warn("他のプログラムがこのデータを書き込み中です。しばらくしてからやり直してください。"_sj);
  return false;
}

bool CMyPeriods::Recover() {
  return recovery::RecoverAndTell(global_.DivisionPath(""), prompter_, "分類フォルダ"_sj);
}

bool CMyPeriods::AllReadWhole(const std::string& what) const {
  if (damaged_.empty()) return true;
  std::string files;
  for (const std::string& p : damaged_) files += "\n" + FileName(p);
  prompter_.Warn("最後まで読み込めなかったファイルがあるため、"_sj + what + "は行いません。"_sj + files);
  return false;
}

void CMyPeriods::Remember(const std::string& period) {
  fileops::FileId id;
  (void)fileops::Identify(global_.DivisionPath(FileName(period)), id);
  ids_[period] = id;
}

void CMyPeriods::RememberDivout() { (void)fileops::Identify(global_.DivisionPath("divout.jpr"), divoutId_); }

namespace {
// A record's identity within its period (key and line serial) and its
// contents (everything but the status byte).
uint64_t IdOf(const CMyDB& db, int r) {
  const uint64_t key = std::hash<std::string_view>()(db.Value(memo::kKey, r));
  return key * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(SerialOf(db, r));
}
uint64_t HashOf(const CMyDB& db, int r) {
  const std::string_view bytes = db.RecordBytes(r);
  return std::hash<std::string_view>()(bytes.empty() ? bytes : bytes.substr(1));
}
}  // namespace

void CMyPeriods::Snapshot(const std::string& period, const int* numbers, int count) {
  if (!tracking_) return;
  auto& snap = snaps_[period];
  snap.clear();
  for (int k = 0; k < count; ++k)
    if (!db_.IsDeleted(numbers[k])) snap[IdOf(db_, numbers[k])] = HashOf(db_, numbers[k]);
}

void CMyPeriods::SnapshotFrom(int first) {
  for (int r = first; r < db_.RecordCount(); ++r)
    if (!db_.IsDeleted(r)) snaps_[PeriodOf(db_.Value(memo::kKey, r))][IdOf(db_, r)] = HashOf(db_, r);
}

void CMyPeriods::MergeDivout(const CMyMaster& disk) {
  for (int i = 0; i < disk.RecordCount(); ++i) {
    const std::string name = disk.Name(i);
    int at = divout_.FindByText(0, name);
    if (at < 0) {
      // a period another program began: listed, to be read when reached
      at = 0;
      while (at < divout_.RecordCount() && divout_.Name(at) < name) ++at;
      std::string rec(disk.Record(i), CMyMaster::kRecordSize);
      if (divout_.InsertAt(at, rec) != 0) continue;
      (void)divout_.SetInt(at, CMyMaster::kRFlag, 0);
      continue;
    }
    const int theirs = disk.GetInt(i, CMyMaster::kRKey11);
    if (theirs > divout_.GetInt(at, CMyMaster::kRKey11)) (void)divout_.SetInt(at, CMyMaster::kRKey11, theirs);
  }
  const std::string latest = disk.HeaderText();
  if (latest.size() == divout_.HeaderText().size() && latest > divout_.HeaderText())
    divout_.SetHeaderText(latest);
  if (disk.HeaderInt(CMyMaster::kHAdded) > divout_.HeaderInt(CMyMaster::kHAdded))
    divout_.SetHeaderInt(CMyMaster::kHAdded, disk.HeaderInt(CMyMaster::kHAdded));
}

bool CMyPeriods::MergePeriod(const std::string& period, const CMyDB& disk, bool conflictCopy) {
  const auto found = snaps_.find(period);
  static const std::map<uint64_t, uint64_t> kNoSnapshot;
  const std::map<uint64_t, uint64_t>& snap =
      found == snaps_.end() || conflictCopy ? kNoSnapshot : found->second;
  std::map<uint64_t, int> mine;
  std::set<int> serials;  // in use in the table
  for (int r = 0; r < db_.RecordCount(); ++r) {
    if (db_.IsDeleted(r) || PeriodOf(db_.Value(memo::kKey, r)) != period) continue;
    mine[IdOf(db_, r)] = r;
    serials.insert(SerialOf(db_, r));
  }
  auto setSerial = [&](int serial) {
    char five[16];
    std::snprintf(five, sizeof five, "%05d", serial);
    return db_.SetValue(memo::kLineSerial, five) == 0;
  };
  auto copy = [&](int from, int into, int serial) {
    if (into >= 0 ? db_.Load(into) != 0 : (db_.New(), false)) return false;
    for (int f = 0; f < db_.FieldCount() && f < disk.FieldCount(); ++f)
      if (db_.SetValue(f, disk.Value(f, from)) != 0) return false;
    if (serial > 0 && !setSerial(serial)) return false;
    serials.insert(serial > 0 ? serial : SerialOf(disk, from));
    return db_.Store() == 0;
  };
  auto newSerial = [&] {
    const int at = divout_.FindByText(0, period);
    const int serial = FreeSerial(period, at >= 0 ? divout_.GetInt(at, CMyMaster::kRKey11) : 0);
    if (at >= 0 && serial > 0) (void)divout_.SetInt(at, CMyMaster::kRKey11, serial);
    return serial;
  };
  std::set<uint64_t> seen;
  std::set<int> theirSerials;
  std::vector<int> later;  // their new lines whose serial one of ours has
  for (int d = 0; d < disk.RecordCount(); ++d) {
    if (disk.IsDeleted(d) || PeriodOf(disk.Value(memo::kKey, d)) != period) continue;
    const uint64_t id = IdOf(disk, d);
    seen.insert(id);
    theirSerials.insert(SerialOf(disk, d));
    const auto s = snap.find(id);
    const auto m = mine.find(id);
    const uint64_t theirs = HashOf(disk, d);
    const bool theyChanged = s == snap.end() || s->second != theirs;
    if (!theyChanged) continue;  // as read: what the table holds stands
    if (m == mine.end()) {
      // theirs alone, or ours deleted while they changed it: never dropped;
      // a copy's line whose serial is taken here gets a new one
      if (conflictCopy && serials.count(SerialOf(disk, d))) {
        later.push_back(d);
      } else if (!copy(d, -1, 0)) {
        return false;
      }
      continue;
    }
    const uint64_t ours = HashOf(db_, m->second);
    if (ours == theirs) continue;
    const bool weChanged = s == snap.end() || s->second != ours;
    if (conflictCopy || weChanged) {
      // both versions stand: ours as it is, theirs as a new line of the day
      later.push_back(d);
    } else if (!copy(d, m->second, 0)) {
      return false;
    }
  }
  // lines they deleted: gone here too, unless we changed them meanwhile
  for (const auto& [id, hash] : snap) {
    if (conflictCopy || seen.count(id)) continue;
    const auto m = mine.find(id);
    if (m != mine.end() && HashOf(db_, m->second) == hash) (void)db_.MarkDeleted(m->second);
  }
  // our new lines whose serial another program gave meanwhile: theirs is on
  // disk and may be named elsewhere, ours takes the next free one
  if (!conflictCopy) {
    for (const auto& [id, r] : mine) {
      if (snap.count(id) || seen.count(id) || db_.IsDeleted(r) || !theirSerials.count(SerialOf(db_, r)))
        continue;
      const int serial = newSerial();
      if (serial <= 0 || db_.Load(r) != 0 || !setSerial(serial) || db_.Store() != 0) return false;
      serials.insert(serial);
    }
  }
  for (int d : later) {
    const int serial = newSerial();
    if (serial <= 0 || !copy(d, -1, serial)) return false;
  }
  // the period's counter covers every serial now in use
  const int at = divout_.FindByText(0, period);
  if (at >= 0 && !serials.empty()) {
    const int highest = std::max(divout_.GetInt(at, CMyMaster::kRKey11), *serials.rbegin());
    (void)divout_.SetInt(at, CMyMaster::kRKey11, highest);
  }
  return true;
}

int CMyPeriods::MergeOutside(const std::vector<std::string>& periods) {
  int taken = 0;
  const std::string listPath = global_.DivisionPath("divout.jpr");
  fileops::FileId now;
  (void)fileops::Identify(listPath, now);
  if (!(now == divoutId_)) {
    CMyMaster disk("DIVOUT", &prompter_);
    const int read = disk.Load(listPath);
    if (read == CMyMaster::kUnreadable) {
      prompter_.Warn("期間の一覧（divout.jpr）を読み込めないため、保存しませんでした。"_sj);
      return -1;
    }
    if (read == CMyMaster::kLoaded) {
      MergeDivout(disk);
      taken = 1;
    }
    divoutId_ = now;
  }
  for (const std::string& period : periods) {
    const auto known = ids_.find(period);
    const std::string path = global_.DivisionPath(FileName(period));
    const int looked = fileops::Identify(path, now);
    if (looked != 0 && looked != ENOENT) {
      prompter_.Warn("「"_sj + FileName(period) + "」を読み込めないため、保存しませんでした。"_sj);
      return -1;
    }
    if (known == ids_.end()) {
      // a period this table never read: what is on disk must come in first
      if (!now.Exists()) continue;
      const int at = divout_.FindByText(0, period);
      if (at >= 0) (void)divout_.SetInt(at, CMyMaster::kRFlag, 0);
      std::string p = period;
      LoadPeriods(&p, &p);
      if (IsDamaged(period)) return MaySave(period) ? 1 : -1;
      taken = 1;
      continue;
    }
    if (known->second == now) continue;
    CMyDB disk;
    if (DefineMemoSchema(disk) != CMyDB::kOk) return -1;
    if (now.Exists() && disk.ReadFile(path, false) != 0) {
      prompter_.Warn("「"_sj + FileName(period) + "」を読み込めないため、保存しませんでした。"_sj);
      return -1;
    }
    if (!MergePeriod(period, disk)) {
      prompter_.Warn("他のプログラムが書き込んだ記録を取り込めなかったため、保存しませんでした。"_sj);
      return -1;
    }
    ids_[period] = now;
    taken = 1;
  }
  return taken;
}

namespace {
// "dt202612.sync-conflict-20261210-101530-ABCDEFG.jdt" (Syncthing),
// "dt202612 (conflicted copy 2026-12-10).jdt", "dt202612 (Someone's
// conflicted copy 2026-12-10).jdt" (Dropbox, Nextcloud): the period, or
// empty when `name` is no such copy.
std::string ConflictPeriod(const std::string& name) {
  if (name.size() < 12 || name.compare(0, 2, "dt") != 0 || name.compare(name.size() - 4, 4, ".jdt") != 0)
    return {};
  size_t end = 2;
  while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
  const std::string period = name.substr(2, end - 2);
  if (period.size() != 5 && period.size() != 6) return {};
  const std::string rest = name.substr(end, name.size() - 4 - end);
  if (rest.rfind(".sync-conflict-", 0) == 0) return period;
  if (rest.rfind(" (", 0) == 0 && rest.find("conflicted copy") != std::string::npos) return period;
  return {};
}
}  // namespace

std::vector<std::string> CMyPeriods::ConflictCopies() const {
  std::vector<std::string> names, copies;
  if (!fileops::List(global_.DivisionPath(""), "dt*.jdt", names)) return copies;
  for (const std::string& n : names)
    if (!ConflictPeriod(n).empty()) copies.push_back(n);
  return copies;
}

int CMyPeriods::MergeConflictCopies(std::vector<std::string>& report) {
  fileops::WriteLock lock;
  if (!Lock(lock)) return -1;
  int merged = 0;
  for (const std::string& name : ConflictCopies()) {
    const std::string period = ConflictPeriod(name);
    const std::string path = global_.DivisionPath(name);
    // the period as it is now, read whole, before anything is added to it
    int at = divout_.FindByText(0, period);
    if (at < 0) {
      at = 0;
      while (at < divout_.RecordCount() && divout_.Name(at) < period) ++at;
      std::string rec = CMyMaster::Blank();
      CMyMaster::SetName(rec, period);
      if (divout_.InsertAt(at, rec) != 0) return -1;
    }
    std::string p = period;
    LoadPeriods(&p, &p);
    CMyDB copy;
    if (DefineMemoSchema(copy) != CMyDB::kOk) return -1;
    if (IsDamaged(period) || copy.ReadFile(path, false) != 0) {
      prompter_.Warn("「"_sj + cp932::FromUtf8(name) +
                     "」を最後まで読み込めないため、統合しませんでした。"_sj);
      return -1;
    }
    const int before = db_.LiveCount();
    if (!MergePeriod(period, copy, true) || SavePeriod(period) != 0) return -1;
    std::string kept = path + ".merged-" + Stamp(global_);
    for (int n = 2; fileops::Exists(kept); ++n)
      kept = path + ".merged-" + Stamp(global_) + "-" + std::to_string(n);
    if (!fileops::Move(path, kept)) {
      prompter_.Warn("「"_sj + cp932::FromUtf8(name) + "」を退避できませんでした。"_sj);
      return -1;
    }
    report.push_back(cp932::FromUtf8(name) + ": "_sj + std::to_string(db_.LiveCount() - before) +
                     "件を追加"_sj);
    ++merged;
  }
  return merged;
}

int CMyPeriods::RefreshFromDisk() {
  fileops::WriteLock lock;
  if (!Lock(lock)) return -1;
  std::vector<std::string> loaded;
  for (int i = 0; i < divout_.RecordCount(); ++i)
    if (divout_.GetInt(i, CMyMaster::kRFlag) != 0) loaded.push_back(divout_.Name(i));
  const int rc = MergeOutside(loaded);
  if (rc > 0) {
    if (tracking_) {
      snaps_.clear();
      SnapshotFrom(0);
    }
    if (outside_) outside_();
  }
  return rc;
}

int CMyPeriods::SaveDivout() {
  const std::string path = global_.DivisionPath("divout.jpr");
  if (!Watch(path)) return -1;
  const int rc = divout_.Write(path) >= 0 ? 0 : -1;
  if (rc == 0) RememberDivout();
  return rc;
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

int CMyPeriods::SavePeriod(const std::string& period) { return SavePeriods({period}, {}); }

int CMyPeriods::SavePeriods(const std::vector<std::string>& periods) { return SavePeriods(periods, {}); }

int CMyPeriods::SavePeriods(const std::vector<std::string>& periods,
                            const std::vector<std::string>& removed) {
  if (periods.empty() && removed.empty()) return 0;
  if (host_ && host_->GroupViewShown()) {
    prompter_.Warn("グループ集計中はデータの保存は出来ません。"_sj);
    return -1;
  }
  if (unread_) {
    prompter_.Warn("期間の一覧（divout.jpr）を読み込めなかったため、保存しませんでした。"_sj);
    return -1;
  }
  // read, check and write as one step: no other program writes meanwhile
  fileops::WriteLock lock;
  if (!Lock(lock)) return -1;
  for (const std::string& p : periods)
    if (!MaySave(p)) return -1;
  for (const std::string& p : removed) {
    if (IsDamaged(p)) {
      prompter_.Warn("「"_sj + FileName(p) + "」は最後まで読み込めなかったため、削除しません。"_sj);
      return -1;
    }
  }
  const int outside = MergeOutside(periods);
  if (outside < 0) return -1;
  static const int kNone = 0;
  const std::string listPath = global_.DivisionPath("divout.jpr");
  if (periods.size() == 1 && removed.empty()) {
    const std::string& period = periods[0];
    std::string prefix = period.size() == 6 ? period.substr(0, 4) + "/" + period.substr(4, 2) : period;
    int rc = work_.SetSort("キー項目,行連番"_sj, false);
    if (rc == 0) rc = work_.Select("キー項目='"_sj + prefix + "*'");
    if (rc < 0) {  // any parse or selection failure: a stale selection is not the month
      prompter_.Warn("保存抽出に失敗しました。"_sj);
      return -1;
    }
    // the selection may be empty: the period is then written without records
    const int* numbers = work_.Count() > 0 ? work_.Items() : &kNone;
    const std::string target = global_.DivisionPath(FileName(period));
    // the list first: a list that names a month whose file is not yet
    // written costs nothing, a month file the list does not name is lost
    if (!Watch(target) || SaveDivout() != 0 || db_.WriteSubset(target, numbers, work_.Count()) != 0) {
      prompter_.Warn("保存に失敗しました。"_sj);
      return -1;
    }
    Remember(period);
    Snapshot(period, numbers, work_.Count());
  } else {
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
    if (!Watch(listPath)) {
      prompter_.Warn("保存に失敗しました。"_sj);
      return -1;
    }
    // every file written first, then made durable with one sync and renamed
    // (with a journal the next opening finishes them from, after a crash)
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
    for (const std::string& p : removed) {
      const std::string target = global_.DivisionPath(FileName(p));
      if (!Watch(target)) {
        prompter_.Warn("保存に失敗しました。"_sj);
        return -1;
      }
      batch.AddRemoval(target);
    }
    fileops::AtomicFile* list = batch.Add(listPath);
    if (!list || !list->Write(divout_.Bytes()) || !batch.Commit()) {
      prompter_.Warn("保存に失敗しました。"_sj);
      return -1;
    }
    RememberDivout();
    for (const auto& [p, numbers] : byPeriod) {
      Remember(p);
      Snapshot(p, numbers.data(), static_cast<int>(numbers.size()));
    }
    for (const std::string& p : removed) {
      ids_.erase(p);
      snaps_.erase(p);
    }
  }
  if (outside > 0 && outside_) outside_();
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
