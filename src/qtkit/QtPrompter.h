// Message boxes of the running program: task-modal QMessageBoxes over the
// active window, and the desktop's beep.
#pragma once
#include "platform/Prompter.h"

class QtPrompter : public Prompter {
 public:
  int Show(const std::string& text, const std::string& caption, PromptIcon icon, PromptButtons buttons,
           int defaultButton = 0) override;
};

class QtBeeper : public Beeper {
 public:
  void Beep() override;
};
