// The one boundary between the program's CP932 text and Qt's UTF-16.
#pragma once
#include <QString>
#include <cstdio>
#include <string>

#include "platform/Cp932.h"

inline QString FromSj(const std::string& sj) { return QString::fromStdString(cp932::ToUtf8(sj)); }

// Converts text typed in a dialog. Returns false when a character has no
// CP932 form; `bad` then receives that character so the message can name it.
inline bool ToSj(const QString& text, std::string& out, QString* bad = nullptr) {
  std::string utf8 = text.toStdString();
  size_t offset = 0;
  if (cp932::FromUtf8(utf8, out, &offset) == 0) return true;
  if (bad) {
    // offset is a UTF-8 byte offset; find the character that starts there
    QString before = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(offset));
    qsizetype at = before.size();
    *bad = text.mid(at, (at < text.size() && text.at(at).isHighSurrogate()) ? 2 : 1);
  }
  return false;
}

// The message shown when typed text holds a character CP932 cannot store.
// The character itself has no CP932 form, so it is named by its code point.
inline std::string UnstorableMessage(const QString& bad) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X",
                bad.isEmpty() ? 0u : static_cast<unsigned>(bad.toUcs4().value(0)));
  return cp932::FromUtf8("入力された文字（") + code +
         cp932::FromUtf8("）は保存できません。別の文字で入力して下さい。");
}
