// The shell's "open with the associated program" for files and web
// addresses (help pages, attached files, the data folder).
#pragma once
#include <string>
#include <vector>

class Opener {
 public:
  virtual ~Opener() = default;
  // `target` is a UTF-8 path or URL. False when nothing could be started.
  virtual bool Open(const std::string& target) = 0;
};

// Starts xdg-open in the background.
class XdgOpener : public Opener {
 public:
  bool Open(const std::string& target) override;
};

class RecordingOpener : public Opener {
 public:
  bool Open(const std::string& target) override {
    opened.push_back(target);
    return true;
  }
  std::vector<std::string> opened;
};
