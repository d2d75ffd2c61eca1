// What the input form's model needs from the rest of the program, as small
// interfaces: the main view (serials, saving a period, the record set), the
// alarm list, the calculated fields and the selection lists. The main
// window, `jbx` and tests each fill them with their own objects.
#pragma once
#include <string>

class CMyInput;

// The main view as the form saves through it.
class InputViewPort {
 public:
  virtual ~InputViewPort() = default;
  // The next line serial for a new record of `key` in `period` (1..99999).
  virtual int NextSerial(const std::string& period, const std::string& key) = 0;
  // Writes the data file of a period (and the period list). 0, or -1 after
  // its message.
  virtual int SavePeriod(const std::string& period) = 0;
  // Re-applies the view's filter and sort and rebuilds its rows.
  virtual void ReloadView() = 0;
  // Position in the view's record set of the record with this key and
  // serial, -1 when the view does not show it.
  virtual int FindRecord(const std::string& key, const std::string& serial) = 0;
  // Table row of the record at a position of the record set, -1 when none.
  virtual int RecordRow(int index) = 0;
  // Puts the view's cursor on the record at a position of the record set.
  virtual void MoveCursorTo(int index) { (void)index; }
  // The record before (direction < 0) or after (> 0) the one at `index`:
  // its position, or -1 at either end.
  virtual int StepRecord(int index, int direction) {
    (void)index;
    (void)direction;
    return -1;
  }
  // Key for a new record in a division by page and line ("%05d/%05d").
  virtual std::string DefaultKey() { return {}; }
};

// The alarm list, for records of divisions by date.
class InputAlarmPort {
 public:
  virtual ~InputAlarmPort() = default;
  // Drops every alarm of the record (any time).
  virtual void RemoveForRecord(const std::string& date, const std::string& serial) = 0;
  // Alarms from the bracketed times of a memo.
  virtual void ScanMemo(const std::string& date, const std::string& serial, const std::string& memo) = 0;
  // An alarm from the form's time field.
  virtual void AddTimeAlarm(const std::string& date, const std::string& serial, const std::string& time,
                            const std::string& message) = 0;
};

// Calculated fields: run after a field's value changed (left or set). The
// default computes nothing.
class InputCalcPort {
 public:
  virtual ~InputCalcPort() = default;
  // `control` is the position in the control list of the field that
  // changed; the implementation may set the values of calculated controls
  // through form.SetValue.
  virtual void RunCalculations(CMyInput& form, int control) {
    (void)form;
    (void)control;
  }
};

// Selection lists and combo histories that learn what was saved. Called
// only after the record was saved. The defaults learn nothing.
class InputListPort {
 public:
  virtual ~InputListPort() = default;
  // A combo box other than the child of a two-level pair.
  virtual void LearnComboValue(int comboSlot, const std::string& text) {
    (void)comboSlot;
    (void)text;
  }
  // A text editor with a list; `parentText` is the linked editor's value
  // ("" when it has none).
  virtual void LearnListValue(int textSlot, const std::string& text, const std::string& parentText) {
    (void)textSlot;
    (void)text;
    (void)parentText;
  }
  // The child of the two-level combo pair, learned under the parent's text.
  virtual void LearnPairValue(const std::string& parentText, const std::string& childText) {
    (void)parentText;
    (void)childText;
  }
};
