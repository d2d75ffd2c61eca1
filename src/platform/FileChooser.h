// The open/save file dialog as a seam: model code asks for a path and tests
// answer from a queue, so no command ever waits on a real dialog in a test.
// Paths are UTF-8 (they are disk names); titles and filters are CP932.
#pragma once
#include <deque>
#include <string>
#include <vector>

struct FileChoice {
  bool save = false;          // a save dialog (asks before replacing) or an open one
  std::string title;          // CP932 caption
  std::string filter;         // CP932, "JPEG (*.jpg *.jpeg)" style; ";;" between kinds
  std::string folder;         // UTF-8 start folder; "" = the last one used
  std::string suggested;      // UTF-8 file name proposed in a save dialog
  bool chooseFolder = false;  // a folder is chosen, not a file (filter unused)
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen UTF-8 path, or "" when the user cancelled.
  virtual std::string Choose(const FileChoice& choice) = 0;
};

// For tests: answers from a queue ("" = cancel once the queue is empty) and
// records what was asked.
class ScriptedFileChooser : public FileChooser {
 public:
  std::string Choose(const FileChoice& choice) override {
    asked.push_back(choice);
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
  std::deque<std::string> answers;
  std::vector<FileChoice> asked;
};

// The system clipboard as a seam (copy of entries as text). CP932 text.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

class MemoryClipboard : public Clipboard {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};
