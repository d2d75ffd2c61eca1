// Small pieces every dialog of the program is built from, so they look and
// behave alike: the OK / cancel row, and an edit box where Enter moves on
// instead of closing the dialog.
#pragma once
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace qtform {

// Enter on a focused button presses it (as Space does), without making the
// button the dialog's default: Enter in an edit box still only moves on.
class EnterPresses : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* b = qobject_cast<QPushButton*>(watched); b && b->isEnabled()) {
          b->click();
          return true;
        }
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

// Enter on a list does what its double click does, so a line the mouse
// picks the keyboard picks too.
class EnterRuns : public QObject {
 public:
  EnterRuns(QWidget* list, std::function<void()> run) : QObject(list), run_(std::move(run)) {
    list->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        run_();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> run_;
};

// A button that never acts as the dialog's default (Enter moves focus), but
// is pressed by Enter when it has the focus.
inline QPushButton* Button(QWidget* owner, const QString& text, const char* name) {
  auto* b = new QPushButton(text, owner);
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->installEventFilter(new EnterPresses(b));
  return b;
}

// "OK" and "キャンセル" at the right; cancel rejects unless the caller
// connects it otherwise.
inline QHBoxLayout* OkCancelRow(QDialog* owner, QPushButton*& ok, QPushButton*& cancel,
                                const QString& okText = QStringLiteral("OK(&O)"),
                                const QString& cancelText = QStringLiteral("ｷｬﾝｾﾙ(&C)"),
                                bool connectCancel = true) {
  ok = Button(owner, okText, "cmd_Ok");
  cancel = Button(owner, cancelText, "cmd_Cancel");
  if (connectCancel) QObject::connect(cancel, &QPushButton::clicked, owner, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

// Enter's move to the next control, with the focus ring a keyboard move
// shows (Qt draws it only after a real Tab unless told).
inline void MoveFocus(QWidget* next) {
  next->window()->setAttribute(Qt::WA_KeyboardFocusChange);
  next->setFocus(Qt::TabFocusReason);
}

// A box that refused to be left takes the focus back once the message
// about it has gone; a box gone by then is left alone.
inline void FocusLater(QWidget* box) {
  QTimer::singleShot(0, box, [box] { box->setFocus(); });
}

// A label and its edit box on one line; Enter in the box moves to `next`,
// with the focus ring a keyboard move shows.
inline QHBoxLayout* LabelledEdit(QWidget* owner, QLabel* label, QLineEdit* edit, QWidget* next) {
  label->setBuddy(edit);
  QObject::connect(edit, &QLineEdit::returnPressed, owner, [next] { MoveFocus(next); });
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(edit, 1);
  return row;
}

}  // namespace qtform
