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

 private:
  QWidget* parent_;
  QString lastFolder_;
};

class QtClipboard : public Clipboard {
 public:
  void SetText(const std::string& text) override;
  std::string Text() const override;
};

// Asks `files` (or, when null, the real dialog over `parent`) for a file to
// open; title and filter are UTF-8. "" when cancelled.
QString ChooseFile(FileChooser* files, QWidget* parent, const char* title, const char* filter);
