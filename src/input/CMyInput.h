// CMyInput: the record input form without widgets. Builds the control list
// from the division's input definition, shows a record in it, checks what
// was typed, saves and deletes records through the shared table's edit
// buffer, and reports through the Prompter. The form dialog draws its
// controls from ControlList() and Value(), and hands every edit back with
// SetValue. A failed check never throws away a typed value; FocusTarget()
// names the control the message is about.
#pragma once
#include <string>
#include <vector>

#include "input/InputPorts.h"
#include "options/CMyColorKinds.h"
#include "screens/InputDef.h"

class CMyDB;
class Clock;
class PhotoState;
class Prompter;

class CMyInput {
 public:
  // Where the focus goes after a message (FocusTarget): a control of the
  // control list (0..), or one of the key boxes.
  static constexpr int kFocusNone = -1;
  static constexpr int kFocusDate = -2;
  static constexpr int kFocusPage = -3;
  static constexpr int kFocusLine = -4;
  static constexpr int kDefaultTextLength = 250;
  static constexpr int kDefaultMemoLength = 5000;
  static constexpr int kMinFormWidth = 350;
  static constexpr int kMaxPage = 4999;

  // A caption (kind 99) the form shows; not part of the record.
  struct Caption {
    int slot = 0;
    int left = 0, top = 0, width = 0, height = 0;
    bool flat = false;  // data type 90: no border, button-face colours
    std::string text;   // the display name
    int fontHeight = 0;
    std::string faceName;
  };
  struct Box {
    bool shown = false;
    int left = 0, top = 0, width = 0, height = 0;
  };

  CMyInput(CMyDB& db, Prompter& prompter, const Clock& clock, InputViewPort& view);

  void SetAlarmPort(InputAlarmPort* p) { alarm_ = p; }
  void SetCalcPort(InputCalcPort* p) { calc_ = p ? p : &noCalc_; }
  void SetListPort(InputListPort* p) { lists_ = p ? p : &noLists_; }
  // Lines per page of the current display screen (the line box's range).
  void SetLinesPerPage(int n) { linesPerPage_ = n > 0 ? n : 30; }
  // The colour kinds of the division, in table order.
  void SetColorKinds(std::vector<ColorKind> kinds);

  // ---- building ----
  // Reads "scrin.jsc" from `path` and builds the control list. False when
  // there is no input definition (missing, empty or refused, after its
  // message). Records that cannot be used (unknown field, slot taken twice,
  // a field edited twice) are skipped with a message; controls outside the
  // window are moved inside it.
  bool BuildForm(const std::string& path);
  // The same on a definition already read.
  bool BuildForm(const jsc::InputDef& def);
  const jsc::Header& Header() const { return header_; }
  int DataKind() const { return header_.dataKind; }
  bool ByPage() const { return header_.dataKind == 100; }
  int FormWidth() const;  // outer width: the header's, at least 350
  const std::vector<jsc::Control>& ControlList() const { return controls_; }
  // Whether a control takes the input method: not in the modes that mean
  // closed (1) or half-width alphanumeric (4), where what is typed is
  // digits and codes.
  static bool InputMethodOn(const jsc::Control& c) { return c.imeMode != 1 && c.imeMode != 4; }
  // Whether full-width ASCII typed into a control is read as ASCII: numbers,
  // dates and times (which are written with ASCII digits) and half-width
  // alphanumeric boxes.
  static bool HalfWidth(const jsc::Control& c) {
    return c.imeMode == 4 || c.dataType == jsc::kNumber || c.dataType == jsc::kDecimal ||
           c.dataType == jsc::kDate || c.dataType == jsc::kTime || c.dataType == jsc::kTime2;
  }
  const std::vector<Caption>& Captions() const { return captions_; }
  const Box& Strip() const { return strip_; }
  // Parent and child combo slots of the two-level pair, -1 when none.
  int PairParent() const { return pairParent_; }
  int PairChild() const { return pairChild_; }
  // Control by field name or display name (ASCII case ignored), -1 none.
  int FindControl(const std::string& name) const;
  // Control of a kind and slot, -1 none.
  int ControlOf(int kind, int slot) const;

  // ---- the record shown ----
  // key: "" keeps the key boxes (new record) or takes the record's key;
  // index: position in the view's record set, -1 for a new record.
  void ShowRecord(const std::string& key, int index);
  bool IsNew() const { return index_ < 0; }
  int CurrentIndex() const { return index_; }
  int CurrentRow() const { return row_; }
  const std::string& Updated() const { return updated_; }  // lbl_Update
  bool Modified() const { return modified_; }

  const std::string& Value(int control) const;
  // Sets a control's text (as typed; no check). The photo box's value is
  // the picture path.
  void SetValue(int control, const std::string& text);
  // Photo thumbnail key ("IMS001") of the photo box.
  void SetPhotoKey(const std::string& key) { photoKey_ = key; }
  const std::string& PhotoKey() const { return photoKey_; }
  // The picture behind the photo box (not owned); without one the path and
  // key are kept as they are, and no thumbnail is made.
  void SetPhotoState(PhotoState* photo) { photo_ = photo; }
  PhotoState* Photo() const { return photo_; }
  // The photo box's control, -1 when the form has none.
  int PhotoControl() const { return ControlOf(jsc::kPhoto, 0); }
  // cmd_Kao: a chosen picture (CP932 path). False when it cannot be shown.
  bool ChoosePhoto(const std::string& path);
  // The pop-up's turns (+1 right, -1 left); false when there is nothing to turn.
  bool TurnPhoto(int direction);
  // The pop-up's 画像を破棄する (after the question).
  void DiscardPhoto();

  // Key boxes.
  const std::string& DateText() const { return date_; }
  const std::string& PageText() const { return page_; }
  const std::string& LineText() const { return line_; }
  void SetDateText(const std::string& t) { date_ = t; }
  void SetPageText(const std::string& t) { page_ = t; }
  void SetLineText(const std::string& t) { line_ = t; }
  bool KeyReadOnly() const { return !IsNew(); }

  // Colour kind box: "（なし）", the kinds, "その他".
  std::vector<std::string> ColorItems() const;
  int ColorIndex() const { return colorIndex_; }
  // Chooses item i of ColorItems (0 clears the colours); sets modified.
  void ChooseColor(int i);
  bool UseTextColor() const { return useText_; }
  bool UseBackColor() const { return useBack_; }
  int TextColor() const { return textColor_; }
  int BackColor() const { return backColor_; }

  // ---- checks ----
  // Leaving a text editor: checks and rewrites its text by data type. True
  // when accepted (then the calculations that depend on it run); false after
  // the message, the typed text kept.
  bool LeaveField(int control);
  bool LeaveDateBox();
  bool LeavePageBox();
  bool LeaveLineBox();
  // Checks the key boxes and writes "キー項目" (and "曜日") into the edit
  // buffer. True with the period and key; false after the message.
  bool ValidateKey(std::string& period, std::string& key);
  int FocusTarget() const { return focus_; }

  // ---- saving ----
  // True when saved (or nothing had to be saved). False after a message;
  // then the table, the data file and every value are as they were.
  bool SaveRecord();
  // Deletes the current record (asking first when `ask`). True when deleted.
  bool DeleteRecord(bool ask);
  // Key and serial of the record saved last.
  const std::string& SavedKey() const { return savedKey_; }
  const std::string& SavedSerial() const { return savedSerial_; }
  // A new record with the view's default key (divisions by page and line).
  void ShowNewRecord();
  // cmd_Left / cmd_Right: saves when modified, then shows the record before
  // or after. False at either end or when saving failed.
  bool StepRecord(int direction);

 private:
  bool Warn(const char* utf8, int focus);
  bool WarnText(const std::string& sj, int focus);
  bool IsEmptyRecord() const;
  // Writes every value into the edit buffer; false after the message.
  bool FillBuffer(const std::string& serial, bool isNew);
  void Defaults();
  void SetKeyBoxes(const std::string& key);
  void LookUpColor(const std::string& cr1, const std::string& cr2);
  std::string Today() const;

  CMyDB& db_;
  Prompter& prompter_;
  const Clock& clock_;
  InputViewPort& view_;
  InputAlarmPort* alarm_ = nullptr;
  InputCalcPort noCalc_;
  InputListPort noLists_;
  InputCalcPort* calc_ = &noCalc_;
  InputListPort* lists_ = &noLists_;
  int linesPerPage_ = 30;

  jsc::Header header_;
  std::vector<jsc::Control> controls_;
  std::vector<std::string> values_;
  std::vector<Caption> captions_;
  Box strip_;
  int pairParent_ = -1, pairChild_ = -1;

  int index_ = -1;  // position in the view's record set, -1 new
  int row_ = -1;    // table row of the current record
  std::string date_, page_, line_;
  std::string updated_;
  std::string photoKey_;
  PhotoState* photo_ = nullptr;
  bool modified_ = false;
  int focus_ = kFocusNone;

  std::vector<ColorKind> kinds_;
  int colorIndex_ = 0;
  bool useText_ = false, useBack_ = false;
  int textColor_ = 0, backColor_ = 0xFFFFFF;

  std::string savedKey_, savedSerial_;
};
