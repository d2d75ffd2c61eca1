// The input form's view of the main window's sheet: serials and saving go
// to the division's periods, and every save re-filters, re-sorts and
// rebuilds the sheet so the entry is shown at once.
#pragma once
#include <functional>

#include "input/InputPorts.h"
#include "mainview/host/MainObjects.h"

class ViewInputPort : public InputViewPort {
 public:
  // `changed` repaints the window after the view changed.
  ViewInputPort(MainObjects& objects, std::function<void()> changed)
      : o_(objects), changed_(std::move(changed)) {}

  int NextSerial(const std::string& period, const std::string& key) override;
  int SavePeriod(const std::string& period) override;
  void ReloadView() override;
  int FindRecord(const std::string& key, const std::string& serial) override;
  int RecordRow(int index) override;
  void MoveCursorTo(int index) override;
  int StepRecord(int index, int direction) override;
  std::string DefaultKey() override { return o_.view->NewRecordKey(true); }

  // The sheet row that shows record `index`, -1 when none does.
  int RowOfRecord(int index) const;

 private:
  MainObjects& o_;
  std::function<void()> changed_;
};
