// The opener of the windows: xdg-open, and where that cannot start anything
// (no xdg-utils, an odd desktop), Qt's own way to the desktop's programs.
#pragma once
#include "platform/Opener.h"

class DesktopOpener : public Opener {
 public:
  // A file URL, a web address or a file-system path (UTF-8).
  bool Open(const std::string& target) override;

 private:
  XdgOpener xdg_;
};
