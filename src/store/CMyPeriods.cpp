#include "store/CMyPeriods.h"

#include "catalogue/CMyMaster.h"
#include "platform/Collate.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "shell/CMyGlobal.h"
#include "store/CMyDB.h"
#include "store/CMyRec.h"

std::string CMyPeriods::PeriodOf(std::string_view key) {
  if (key.size() == 10) return std::string(key.substr(0, 4)) + std::string(key.substr(5, 2));
  if (key.size() == 11) return std::string(key.substr(0, 5));
  return std::string(key);
}

std::string CMyPeriods::FileName(const std::string& period) { return "dt" + period + ".jdt"; }

int CMyPeriods::LoadPeriods(const std::string* from, const std::string* to) {
  int loaded = 0;
  for (int i = 0; i < divout_.RecordCount(); ++i) {
    std::string name = divout_.Name(i);
    if (to && name > *to) break;
    if (divout_.GetInt(i, CMyMaster::kRFlag) != 0) continue;
    if (from && name < *from) continue;
    // a missing file is an empty period; a damaged one keeps what was sound
    db_.ReadFile(global_.DivisionPath(FileName(name)), false);
    (void)divout_.SetInt(i, CMyMaster::kRFlag, 1);
    loaded = 1;
  }
  return loaded;
}

int CMyPeriods::SaveDivout() { return divout_.Write(global_.DivisionPath("divout.jpr")) >= 0 ? 0 : -1; }

int CMyPeriods::SavePeriod(const std::string& period) {
  if (host_ && host_->GroupViewShown()) {
    prompter_.Warn("グループ集計中はデータの保存は出来ません。"_sj);
    return -1;
  }
  std::string prefix = period.size() == 6 ? period.substr(0, 4) + "/" + period.substr(4, 2) : period;
  work_.SetSort("キー項目,行連番"_sj, false);
  int rc = work_.Select("キー項目='"_sj + prefix + "*'");
  if (rc == -1) {
    prompter_.Warn("保存抽出に失敗しました。"_sj);
    return -1;
  }
  // the selection may be empty: the period is then written without records
  static const int kNone = 0;
  const int* numbers = work_.Count() > 0 ? work_.Items() : &kNone;
  if (db_.WriteSubset(global_.DivisionPath(FileName(period)), numbers, work_.Count()) != 0) {
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
  int serial = next(divout_.GetInt(index, CMyMaster::kRKey11));
  if (serial < 1 || serial > 99999) serial = 1;  // "%05d" holds five digits
  (void)divout_.SetInt(index, CMyMaster::kRKey11, serial);
  if (renumber && host_) {
    int given = host_->RenumberAfter(key, serial);
    if (given > 0) serial = given;
  }
  return serial;
}
