// The real file dialog and clipboard behind the seams of platform/FileChooser.h.
#pragma once
#include <QString>

#include "platform/FileChooser.h"

class QWidget;

class QtFileChooser : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::string Choose(const FileChoice& choice) override;

  // Where the dialog opens: the choice's folder when it exists, else the
  // folder last used for the same kind of file (the same filter, or any
  // folder choice) in this run, else the user's documents folder; with the
  // suggested name appended. Never the file system's root by accident.
  static QString StartPath(const FileChoice& choice);
  // A chosen path becomes the last folder of its kind.
  static void Remember(const FileChoice& choice, const QString& path);

 private:
  QWidget* parent_;
};

class QtClipboard : public Clipboard {
 public:
  void SetText(const std::string& text) override;
  std::string Text() const override;
};

// Asks `files` (or, when null, the real dialog over `parent`) for a file to
// open; title and filter are UTF-8. "" when cancelled.
QString ChooseFile(FileChooser* files, QWidget* parent, const char* title, const char* filter);
