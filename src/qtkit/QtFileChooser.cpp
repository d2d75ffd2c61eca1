#include "qtkit/QtFileChooser.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>

#include "qtkit/QtText.h"

std::string QtFileChooser::Choose(const FileChoice& choice) {
  QString folder = choice.folder.empty() ? lastFolder_ : QString::fromStdString(choice.folder);
  if (!choice.suggested.empty()) folder = folder + "/" + QString::fromStdString(choice.suggested);
  const QString title = FromSj(choice.title);
  const QString filter = FromSj(choice.filter);
  const QString path = choice.chooseFolder ? QFileDialog::getExistingDirectory(parent_, title, folder)
                       : choice.save       ? QFileDialog::getSaveFileName(parent_, title, folder, filter)
                                           : QFileDialog::getOpenFileName(parent_, title, folder, filter);
  if (path.isEmpty()) return {};
  lastFolder_ = choice.chooseFolder ? path : QFileInfo(path).absolutePath();
  return path.toStdString();
}

void QtClipboard::SetText(const std::string& text) { QApplication::clipboard()->setText(FromSj(text)); }

std::string QtClipboard::Text() const {
  // text CP932 cannot hold is not pasted half-converted
  std::string out;
  return ToSj(QApplication::clipboard()->text(), out) ? out : std::string();
}

QString ChooseFile(FileChooser* files, QWidget* parent, const char* title, const char* filter) {
  QtFileChooser real(parent);
  FileChooser& chooser = files ? *files : real;
  FileChoice choice;
  choice.title = cp932::FromUtf8(title);
  choice.filter = cp932::FromUtf8(filter);
  return QString::fromStdString(chooser.Choose(choice));
}
