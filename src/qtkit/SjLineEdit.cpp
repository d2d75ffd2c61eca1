#include "qtkit/SjLineEdit.h"

#include <QApplication>
#include <QTextBlock>
#include <QToolTip>

#include "platform/Prompter.h"
#include "qtkit/QtText.h"

namespace sjtext {

namespace {
// CP932 bytes of one character (a surrogate pair counts as one); -1 none.
int CharBytes(const QString& ch) {
  std::string out;
  if (!ToSj(ch, out)) return -1;
  return static_cast<int>(out.size());
}
int StepAt(const QString& s, int i) { return (i + 1 < s.size() && s.at(i).isHighSurrogate()) ? 2 : 1; }
}  // namespace

int Bytes(const QString& text) {
  int n = 0;
  for (int i = 0; i < text.size();) {
    const int step = StepAt(text, i);
    const QString ch = text.mid(i, step);
    const int b = ch == QStringLiteral("\n") ? 2 : CharBytes(ch);  // a line break is CR LF on disk
    n += b < 0 ? 2 : b;
    i += step;
  }
  return n;
}

Fit FitEdit(const QString& before, const QString& after, int maxBytes) {
  // the insertion is what lies between the common head and tail
  int head = 0;
  const int shorter = static_cast<int>(std::min(before.size(), after.size()));
  while (head < shorter && before.at(head) == after.at(head)) ++head;
  if (head > 0 && head < after.size() && after.at(head).isLowSurrogate()) --head;
  int tail = 0;
  while (tail < shorter - head && before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
    ++tail;
  if (tail > 0 && after.size() - tail < after.size() && after.at(after.size() - tail).isLowSurrogate())
    --tail;
  const QString inserted = after.mid(head, after.size() - head - tail);
  Fit fit;
  for (int i = 0; i < inserted.size();) {
    const int step = StepAt(inserted, i);
    const QString ch = inserted.mid(i, step);
    if (ch != QStringLiteral("\n") && CharBytes(ch) < 0) {
      fit.text = before;
      fit.cursor = head;
      fit.bad = ch;
      return fit;
    }
    i += step;
  }
  fit.text = after;
  fit.cursor = static_cast<int>(after.size() - tail);
  if (maxBytes <= 0 || Bytes(after) <= maxBytes) return fit;
  // keep as much of the insertion as fits, whole characters only
  const QString left = after.left(head), right = after.right(tail);
  int room = maxBytes - Bytes(left) - Bytes(right);
  QString kept;
  for (int i = 0; i < inserted.size();) {
    const int step = StepAt(inserted, i);
    const QString ch = inserted.mid(i, step);
    const int b = ch == QStringLiteral("\n") ? 2 : CharBytes(ch);
    if (b > room) break;
    room -= b;
    kept += ch;
    i += step;
  }
  fit.text = left + kept + right;
  fit.cursor = static_cast<int>(left.size() + kept.size());
  fit.cut = true;
  return fit;
}

}  // namespace sjtext

void ReportUnstorable(QWidget* box, Prompter* prompter, const QString& bad) {
  const std::string message = UnstorableMessage(bad);
  if (prompter) {
    prompter->Warn(message);
  } else {
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), FromSj(message), box);
  }
}

SjLineEdit::SjLineEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, &SjLineEdit::Edited);
  connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!fixing_) last_ = t;
  });
}

void SjLineEdit::Edited(const QString& text) {
  if (fixing_) return;
  sjtext::Fit fit = sjtext::FitEdit(last_, text, maxBytes_);
  if (fit.text != text) {
    fixing_ = true;
    setText(fit.text);
    setCursorPosition(fit.cursor);
    fixing_ = false;
  }
  last_ = fit.text;
  if (!fit.bad.isEmpty()) {
    ReportUnstorable(this, prompter_, fit.bad);
  } else if (fit.cut) {
    QApplication::beep();
  }
}

std::string SjLineEdit::TextSj() const {
  std::string out;
  (void)ToSj(text(), out);  // every character was checked as it came in
  return out;
}

void SjLineEdit::SetTextSj(const std::string& sj) { setText(FromSj(sj)); }

SjComboBox::SjComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  edit_ = new SjLineEdit(this);
  setLineEdit(edit_);
  setInsertPolicy(QComboBox::NoInsert);
}

SjTextEdit::SjTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  connect(this, &QPlainTextEdit::textChanged, this, &SjTextEdit::Changed);
}

void SjTextEdit::Changed() {
  if (fixing_) return;
  const QString now = toPlainText();
  sjtext::Fit fit = sjtext::FitEdit(last_, now, maxBytes_);
  if (fit.text != now) {
    fixing_ = true;
    setPlainText(fit.text);
    QTextCursor c = textCursor();
    c.setPosition(fit.cursor);
    setTextCursor(c);
    fixing_ = false;
  }
  last_ = fit.text;
  if (!fit.bad.isEmpty()) {
    ReportUnstorable(this, prompter_, fit.bad);
  } else if (fit.cut) {
    QApplication::beep();
  }
}

std::string SjTextEdit::TextSj() const {
  QString t = toPlainText();
  t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  std::string out;
  (void)ToSj(t, out);
  return out;
}

void SjTextEdit::SetTextSj(const std::string& sj) {
  QString t = FromSj(sj);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  fixing_ = true;
  setPlainText(t);
  fixing_ = false;
  last_ = t;
}
