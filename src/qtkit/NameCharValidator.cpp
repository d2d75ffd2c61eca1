#include "qtkit/NameCharValidator.h"

#include "platform/Prompter.h"

bool NameCharValidator::Allowed(QChar c) {
  ushort u = c.unicode();
  if (u >= 32 && u <= 47) return false;
  if (u >= 58 && u <= 63) return false;
  if (u >= 91 && u <= 94) return false;
  if (u >= 123 && u <= 126) return false;
  return true;
}

QValidator::State NameCharValidator::validate(QString& input, int&) const {
  for (QChar c : input) {
    if (!Allowed(c)) {
      if (beeper_) beeper_->Beep();
      return Invalid;
    }
  }
  return Acceptable;
}
