// The input form of the open book, as the main window holds it: built anew
// for each book (none when the book's definition cannot give one), with
// the ports through which it saves into the sheet and the alarms.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "screens/InputDef.h"

class AlarmInputPort;
class DialogRunner;
class TfrmInput;
class ViewInputPort;
class QWidget;
struct MainContext;

class InputFormSlot {
 public:
  // `viewChanged` repaints the sheet after a save; `editColors` runs the
  // colour kinds dialog of the book.
  InputFormSlot(MainContext& context, DialogRunner& dialogs, QWidget* parent,
                std::function<void()> viewChanged, std::function<void()> editColors);
  ~InputFormSlot();

  // The form of the book just opened.
  void Rebuild();
  void Drop();
  TfrmInput* Form() const { return form_; }
  // The form for a record (index >= 0) or a new one at `key`; false: none.
  bool Show(const std::string& key, int index);
  void Hide();
  const std::vector<jsc::Control>* Controls() const;
  // The book was read again: the record shown may be gone.
  void Reloaded();

 private:
  MainContext& c_;
  DialogRunner& dialogs_;
  QWidget* parent_;
  std::function<void()> editColors_;
  std::unique_ptr<ViewInputPort> view_;
  std::unique_ptr<AlarmInputPort> alarms_;
  TfrmInput* form_ = nullptr;
};
