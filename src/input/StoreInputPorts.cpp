#include "input/StoreInputPorts.h"

#include "alarm/CMyAlarm.h"
#include "platform/Cp932.h"
#include "store/CMyDB.h"
#include "store/CMyPeriods.h"
#include "store/CMyRec.h"

int StoreInputView::NextSerial(const std::string& period, const std::string& key) {
  return periods_.RegisterKey(period, key, false);
}

int StoreInputView::SavePeriod(const std::string& period) { return periods_.SavePeriod(period); }

void StoreInputView::ReloadView() {
  ++reloads_;
  // the memo fields are always there; a selection that fails has shown why
  (void)rec_.SetSort("キー項目,行連番"_sj, false);
  (void)rec_.Select(nullptr);
}

int StoreInputView::FindRecord(const std::string& key, const std::string& serial) {
  // keys and serials are digits and "/", never a quote
  std::string expr = "キー項目='"_sj + key + "' and 行連番='"_sj + serial + "'";
  return rec_.Find(expr.c_str(), 0, true);
}

int StoreInputView::RecordRow(int index) {
  if (index < 0 || index >= rec_.Count()) return -1;
  return rec_.Items()[index];
}

int StoreInputView::StepRecord(int index, int direction) {
  int next = index + (direction < 0 ? -1 : 1);
  return next >= 0 && next < rec_.Count() ? next : -1;
}

void AlarmInputPort::RemoveForRecord(const std::string& date, const std::string& serial) {
  alarm_.RemoveForRecord(date, serial, {});
}

void AlarmInputPort::ScanMemo(const std::string& date, const std::string& serial, const std::string& memo) {
  alarm_.ScanMemo(date, serial, memo);
}

void AlarmInputPort::AddTimeAlarm(const std::string& date, const std::string& serial, const std::string& time,
                                  const std::string& message) {
  alarm_.Add(date, serial, time, message, 2, -1);
}
