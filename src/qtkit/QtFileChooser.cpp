#include "qtkit/QtFileChooser.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include "qtkit/QtText.h"

namespace {

// The last folder of each kind of file, for every chooser of the run (the
// one-off choosers of ChooseFile included).
QHash<QString, QString>& LastFolders() {
  static QHash<QString, QString> folders;
  return folders;
}

QString KindOf(const FileChoice& choice) {
  return choice.chooseFolder ? QStringLiteral("/folder") : QString::fromStdString(choice.filter);
}

}  // namespace

QString QtFileChooser::StartPath(const FileChoice& choice) {
  QString folder = QString::fromStdString(choice.folder);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = LastFolders().value(KindOf(choice));
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  if (choice.suggested.empty()) return folder;
  return QDir(folder).filePath(QString::fromStdString(choice.suggested));
}

void QtFileChooser::Remember(const FileChoice& choice, const QString& path) {
  if (!path.isEmpty())
    LastFolders()[KindOf(choice)] = choice.chooseFolder ? path : QFileInfo(path).absolutePath();
}

std::string QtFileChooser::Choose(const FileChoice& choice) {
  const QString start = StartPath(choice);
  const QString title = FromSj(choice.title);
  const QString filter = FromSj(choice.filter);
  const QString path = choice.chooseFolder ? QFileDialog::getExistingDirectory(parent_, title, start)
                       : choice.save       ? QFileDialog::getSaveFileName(parent_, title, start, filter)
                                           : QFileDialog::getOpenFileName(parent_, title, start, filter);
  if (path.isEmpty()) return {};
  Remember(choice, path);
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
