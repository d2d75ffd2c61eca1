// The picture strip of the input form (pai_Sel) on screen: paints a SelStrip
// through QtCanvas, highlights the row under the mouse and reports a
// double-clicked row. Its two paging buttons (cmd_SelUp, cmd_SelDown) are
// separate widgets, made here so their state always follows the strip, and
// placed wherever the form puts them. Neither the strip nor the buttons take
// the focus: the editor the list belongs to keeps it.
#pragma once
#include <QWidget>
#include <string>

#include "input/SelStrip.h"

class QToolButton;

class QtSelStrip : public QWidget {
  Q_OBJECT
 public:
  // `strip` outlives the widget. The buttons are children of `parent` (of
  // the strip itself when there is none).
  explicit QtSelStrip(SelStrip& strip, QWidget* parent = nullptr);

  SelStrip& Strip() { return strip_; }
  QToolButton* UpButton() const { return cmd_SelUp; }
  QToolButton* DownButton() const { return cmd_SelDown; }

  // Entering an editor: show its list (null: the empty strip) from the
  // first row; see SelStrip::Show.
  void ShowList(const CMyHyo* list, int slot, int linkedSlot, const std::string& parent);
  void Forget() { ShowList(nullptr, -1, -1, {}); }
  // After the list itself changed (an editor closed): the same list again,
  // from the first row.
  void Reload(const std::string& parent);

  QToolButton* cmd_SelUp;
  QToolButton* cmd_SelDown;

 public slots:
  void cmd_SelUpClick();
  void cmd_SelDownClick();
  void paiSelMouseMove(int y);
  // Emits rowChosen for the row at y; nothing when there is none.
  void paiSelDblClick(int y);

 signals:
  // A double click on a row: its text, for the editor the list belongs to.
  void rowChosen(const QString& text, const std::string& sj);
  // After every change of the page or the list.
  void pagingChanged(bool canUp, bool canDown);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent*) override;

 private:
  void FitSize();
  void Changed();

  SelStrip& strip_;
};
