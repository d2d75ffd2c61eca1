#include "qtkit/QtPrompter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "qtkit/QtText.h"

namespace {

QMessageBox::StandardButton ToQt(int answer) {
  switch (answer) {
    case kAnswerOk:
      return QMessageBox::Ok;
    case kAnswerCancel:
      return QMessageBox::Cancel;
    case kAnswerYes:
      return QMessageBox::Yes;
    case kAnswerNo:
      return QMessageBox::No;
    default:
      return QMessageBox::NoButton;
  }
}

int FromQt(int button) {
  switch (button) {
    case QMessageBox::Ok:
      return kAnswerOk;
    case QMessageBox::Yes:
      return kAnswerYes;
    case QMessageBox::No:
      return kAnswerNo;
    default:
      return kAnswerCancel;
  }
}

}  // namespace

int QtPrompter::Show(const std::string& text, const std::string& caption, PromptIcon icon,
                     PromptButtons buttons, int defaultButton) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowModality(Qt::ApplicationModal);
  box.setWindowTitle(FromSj(caption));
  box.setText(FromSj(text));
  // a short text must not cut the caption ("お知らせ(10:30)" over "会議"):
  // the text's line as wide as the caption and the title bar's buttons
  const QFontMetrics fm = box.fontMetrics();
  int textWidth = 0;
  for (const QString& line : box.text().split(QLatin1Char('\n')))
    textWidth = std::max(textWidth, fm.horizontalAdvance(line));
  const int captionWidth = fm.horizontalAdvance(box.windowTitle()) + 60;
  if (captionWidth > textWidth)
    box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(captionWidth));
  switch (icon) {
    case PromptIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case PromptIcon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case PromptIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case PromptIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case PromptIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  switch (buttons) {
    case PromptButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case PromptButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case PromptButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case PromptButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  if (defaultButton) box.setDefaultButton(ToQt(defaultButton));
  return FromQt(box.exec());
}

void QtBeeper::Beep() { QApplication::beep(); }
