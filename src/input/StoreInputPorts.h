// The input form's ports over the store itself, for users without a main
// window (`jbx add`, benchmarks): the record set is every loaded record in
// key order, and the alarm port writes into a CMyAlarm.
#pragma once
#include <string>

#include "input/InputPorts.h"

class CMyAlarm;
class CMyDB;
class CMyPeriods;
class CMyRec;

class StoreInputView : public InputViewPort {
 public:
  StoreInputView(CMyDB& db, CMyRec& records, CMyPeriods& periods)
      : db_(db), rec_(records), periods_(periods) {}
  int NextSerial(const std::string& period, const std::string& key) override;
  int SavePeriod(const std::string& period) override;
  // Selects every live record, sorted by key and serial.
  void ReloadView() override;
  int FindRecord(const std::string& key, const std::string& serial) override;
  int RecordRow(int index) override;
  int StepRecord(int index, int direction) override;
  int Reloads() const { return reloads_; }

 private:
  CMyDB& db_;
  CMyRec& rec_;
  CMyPeriods& periods_;
  int reloads_ = 0;
};

class AlarmInputPort : public InputAlarmPort {
 public:
  explicit AlarmInputPort(CMyAlarm& alarm) : alarm_(alarm) {}
  void RemoveForRecord(const std::string& date, const std::string& serial) override;
  void ScanMemo(const std::string& date, const std::string& serial, const std::string& memo) override;
  void AddTimeAlarm(const std::string& date, const std::string& serial, const std::string& time,
                    const std::string& message) override;

 private:
  CMyAlarm& alarm_;
};
