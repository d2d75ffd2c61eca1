// The sheet's face to screen readers: a painted sheet says nothing of itself,
// so its paint box is given a table (a row per sheet row, a cell per column,
// headers from the screen's captions, the cursor row selected with its key
// cell focused) whose texts come from SheetText. A window that shows a sheet
// makes one QtSheetAccess on its paint box and calls Changed() whenever what
// the sheet shows may have changed; the table then tells the screen reader.
#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "mainview/sheet/SheetText.h"

class QScrollBar;
class QWidget;
class QtSheetTable;

class QtSheetAccess : public QObject {
  Q_OBJECT
 public:
  // `sheet`: the paint box (it becomes this object's parent); `name`: what
  // the table is called (the book, the screen and the month).
  QtSheetAccess(QWidget* sheet, SheetText::Ports ports, std::function<QString()> name);
  ~QtSheetAccess() override;

  // The month or page changed, an entry changed or the cursor moved.
  void Changed();
  const SheetText& Text() const { return text_; }
  QString Name() const { return name_ ? name_() : QString(); }
  QWidget* Sheet() const { return sheet_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class QtSheetTable;
  void Told();        // remembers what the sheet shows now
  void TellCursor();  // the cursor row is selected, its key cell focused
  QWidget* sheet_;
  SheetText text_;
  std::function<QString()> name_;
  QtSheetTable* table_ = nullptr;  // the interface handed out, while it lives
  // what the screen reader was last told
  std::vector<std::vector<std::string>> told_;
  int toldCursor_ = -1;
};

// The key receiver of a window with a sheet ("scr_Key"): always focused,
// takes no part in scrolling, out of sight; its focus goes on to `sheet`,
// which a screen reader can read, and its keys to `window`'s event filter.
QScrollBar* MakeKeyReceiver(QWidget* window, QWidget* sheet);
