// Every message box of the program goes through a Prompter, so model code
// never opens a window and tests script the answers. Texts are CP932.
#pragma once
#include <deque>
#include <string>
#include <vector>

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Answer codes keep the platform's values, so stored choices stay comparable.
enum PromptAnswer { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // Shows a task-modal box and returns the answer. `defaultButton` is the
  // answer preselected (kAnswerNo for deletions), 0 for the first button.
  virtual int Show(const std::string& text, const std::string& caption, PromptIcon icon,
                   PromptButtons buttons, int defaultButton = 0) = 0;

  // The house captions: warnings and refusals, errors, questions.
  void Warn(const std::string& text);        // "注意", warning icon
  void Error(const std::string& text);       // "エラー", error icon
  void Notice(const std::string& text);      // "注意", plain OK box
  void ErrorPlain(const std::string& text);  // "エラー", plain OK box
  // "確認" Yes/No; `noDefault` preselects No. True for Yes.
  bool Confirm(const std::string& text, bool noDefault = false);
  bool ConfirmAgain(const std::string& text);  // "再確認", No preselected
};

// One shown message, as a test sees it.
struct PromptRecord {
  std::string text;
  std::string caption;
  PromptIcon icon;
  PromptButtons buttons;
  int defaultButton;
};

// A prompter for tests: answers from a queue (kAnswerOk / kAnswerYes when the
// queue is empty, matching a user who accepts) and records every message.
class ScriptedPrompter : public Prompter {
 public:
  int Show(const std::string& text, const std::string& caption, PromptIcon icon, PromptButtons buttons,
           int defaultButton = 0) override;
  void Queue(int answer) { answers_.push_back(answer); }
  const std::vector<PromptRecord>& Shown() const { return shown_; }
  // Texts only, converted to UTF-8 for readable assertions.
  std::vector<std::string> ShownUtf8() const;
  void ClearShown() { shown_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<PromptRecord> shown_;
};

// For the command-line tool: writes each message to stderr in UTF-8 and
// answers with the default (or Ok / No when there is none: never destructive).
class StderrPrompter : public Prompter {
 public:
  int Show(const std::string& text, const std::string& caption, PromptIcon icon, PromptButtons buttons,
           int defaultButton = 0) override;
};

// The "beep" of commands that do not apply in the current state.
class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

class CountingBeeper : public Beeper {
 public:
  void Beep() override { ++count_; }
  int Count() const { return count_; }

 private:
  int count_ = 0;
};
