// Refuses, key by key, the characters a division or screen name may not
// hold (space to "/", ":" to "?", "[" to "^", "{" to "~") with a beep: the
// name becomes a folder or file name and a field of the look-up tables.
#pragma once
#include <QValidator>

class Beeper;

class NameCharValidator : public QValidator {
 public:
  NameCharValidator(Beeper* beeper, QObject* parent) : QValidator(parent), beeper_(beeper) {}
  State validate(QString& input, int& pos) const override;
  static bool Allowed(QChar c);

 private:
  Beeper* beeper_;
};
