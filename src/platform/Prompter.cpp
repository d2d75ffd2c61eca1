#include "platform/Prompter.h"

#include <cstdio>

#include "platform/Cp932.h"

void Prompter::Warn(const std::string& text) {
  Show(text, "注意"_sj, PromptIcon::Warning, PromptButtons::Ok);
}
void Prompter::Error(const std::string& text) {
  Show(text, "エラー"_sj, PromptIcon::Error, PromptButtons::Ok);
}
void Prompter::Notice(const std::string& text) { Show(text, "注意"_sj, PromptIcon::None, PromptButtons::Ok); }
void Prompter::ErrorPlain(const std::string& text) {
  Show(text, "エラー"_sj, PromptIcon::None, PromptButtons::Ok);
}
bool Prompter::Confirm(const std::string& text, bool noDefault) {
  return Show(text, "確認"_sj, PromptIcon::Question, PromptButtons::YesNo, noDefault ? kAnswerNo : 0) ==
         kAnswerYes;
}
bool Prompter::ConfirmAgain(const std::string& text) {
  return Show(text, "再確認"_sj, PromptIcon::Question, PromptButtons::YesNo, kAnswerNo) == kAnswerYes;
}

int ScriptedPrompter::Show(const std::string& text, const std::string& caption, PromptIcon icon,
                           PromptButtons buttons, int defaultButton) {
  shown_.push_back({text, caption, icon, buttons, defaultButton});
  if (!answers_.empty()) {
    int a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return (buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel) ? kAnswerOk : kAnswerYes;
}

std::vector<std::string> ScriptedPrompter::ShownUtf8() const {
  std::vector<std::string> v;
  for (const auto& r : shown_) v.push_back(cp932::ToUtf8(r.text));
  return v;
}

int StderrPrompter::Show(const std::string& text, const std::string& caption, PromptIcon,
                         PromptButtons buttons, int defaultButton) {
  std::fprintf(stderr, "%s: %s\n", cp932::ToUtf8(caption).c_str(), cp932::ToUtf8(text).c_str());
  if (defaultButton) return defaultButton;
  return (buttons == PromptButtons::Ok || buttons == PromptButtons::OkCancel) ? kAnswerOk : kAnswerNo;
}
