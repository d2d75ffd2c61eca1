// "参照画面": the reference window. Shows beside the main window a read-only
// copy of the sheet for another month of a book kept by date, drawn by the
// main sheet's painter, with its own cursor, scroll bars, wheel and keys.
// Left and Right ask the main window for the neighbouring month; Ctrl+C
// copies the cursor row's record into the main window's copy source; every
// edit is refused. Its place and size are kept in the settings.
#pragma once
#include <QImage>
#include <QWidget>

#include "mainview/search/ReferenceCommands.h"
#include "mainview/sheet/ScreenPorts.h"
#include "mainview/sheet/SheetPainter.h"

class QLabel;
class QScrollBar;
class QToolButton;
class QKeyEvent;
class QtSheetAccess;
class QtSheetWidget;

class TfrmSub : public QWidget, public ReferenceWindow {
  Q_OBJECT
 public:
  static constexpr int kMinSize = 150;

  // `parent`: the main window, which it stays beside.
  TfrmSub(MainObjects& objects, ReferenceCommands& commands, QWidget* parent);

  ReferenceView& View() override { return view_; }
  bool IsOpen() const override { return open_; }
  void Present() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void FormCreate();
  void FormClose();
  void UpdateScrollBars();
  void SetSheetHeight();
  bool KeyPress(const QKeyEvent& e);
  void Moved();  // the view moved: scroll bars and repaint

  MainObjects& o_;
  ReferenceCommands& commands_;
  ReferenceView view_;
  TableRowSource rows_;
  ScrSheetScreen screen_;
  SheetPainter painter_;
  bool open_ = false;

  QLabel* lbl_YYYYMM = nullptr;
  QToolButton* tbt_Left = nullptr;
  QToolButton* tbt_Right = nullptr;
  QtSheetWidget* sheet_ = nullptr;
  QWidget* paiMain = nullptr;
  QtSheetAccess* access_ = nullptr;
  QScrollBar* scr_Key = nullptr;
  QLabel* statusPanel1 = nullptr;
};
