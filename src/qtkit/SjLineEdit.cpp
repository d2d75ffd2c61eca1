#include "qtkit/SjLineEdit.h"

#include <QApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

#include "platform/Prompter.h"
#include "platform/WidthFold.h"
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

QString HalfWidth(const QString& text) {
  return QString::fromStdString(widthfold::FoldAscii(text.toStdString()));
}

Fit FitEdit(const QString& before, const QString& typed, int maxBytes, bool halfWidth) {
  QString after = typed;
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
  QString inserted = after.mid(head, after.size() - head - tail);
  if (halfWidth) {
    const QString folded = HalfWidth(inserted);
    if (folded != inserted) {
      after = after.left(head) + folded + after.right(tail);
      inserted = folded;
    }
  }
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

void SetInputMethod(QWidget* box, bool on) {
  if (auto* e = qobject_cast<SjLineEdit*>(box)) {
    e->SetInputMethodOn(on);
  } else if (auto* c = qobject_cast<SjComboBox*>(box)) {
    c->SetInputMethodOn(on);
  } else if (auto* m = qobject_cast<SjTextEdit*>(box)) {
    m->SetInputMethodOn(on);
  } else if (box) {
    box->setAttribute(Qt::WA_InputMethodEnabled, on);
  }
}

}  // namespace sjtext

namespace {
// What a box committed as the focus left it, while it may still come back
// from the method; one for the program, as there is one focus.
QString g_echo;

// The first character of `text` CP932 cannot store; empty when none.
QString FirstUnstorable(const QString& text) {
  const sjtext::Fit fit = sjtext::FitEdit(QString(), text, 0);
  return fit.bad;
}
}  // namespace

void SjInputRules::Take(QInputMethodEvent* e, const Base& base) {
  if (!on) {
    // nothing the method sends belongs here: a commit that reaches a box
    // with the method off was composed for another box
    // (taken, not ignored: an ignored one would go on to the box's parent,
    // which may be a view that opens an editor for it)
    if (!e->commitString().isEmpty() || !e->preeditString().isEmpty()) {
      e->accept();
      return;
    }
    base(e);
    return;
  }
  if (!e->preeditString().isEmpty()) {
    g_echo.clear();
  } else if (preedit_.isEmpty() && !g_echo.isEmpty() && e->commitString() == g_echo) {
    g_echo.clear();  // already in the box the composition belonged to
    e->accept();
    return;
  }
  QString commit = e->commitString();
  if (halfWidth) commit = sjtext::HalfWidth(commit);
  const QString bad = FirstUnstorable(commit);
  if (!bad.isEmpty()) commit.clear();
  if (commit == e->commitString()) {
    base(e);
  } else {
    QInputMethodEvent taken(e->preeditString(), e->attributes());
    taken.setCommitString(commit, e->replacementStart(), e->replacementLength());
    base(&taken);
  }
  // as the method sent it, for telling it again should it come back
  ended_ =
      !preedit_.isEmpty() && e->preeditString().isEmpty() && bad.isEmpty() ? e->commitString() : QString();
  preedit_ = e->preeditString();
  if (!bad.isEmpty()) Report(bad);
}

void SjInputRules::KeyTyped() {
  ended_.clear();
  g_echo.clear();
}

void SjInputRules::Settle(const Base& base) {
  if (preedit_.isEmpty()) {
    // the platform committed it already, just before the focus moved
    if (!ended_.isEmpty()) g_echo = ended_;
    ended_.clear();
    return;
  }
  const QString open = preedit_;
  QInputMethodEvent commit;
  commit.setCommitString(open);
  Take(&commit, base);
  preedit_.clear();
  ended_.clear();
  g_echo = open;
  // the method forgets the composition it would otherwise carry on with in
  // the box the focus goes to
  QGuiApplication::inputMethod()->reset();
}

void SjInputRules::Report(const QString& bad) {
  if (waiting_ == bad) return;  // the same refusal, sent again
  waiting_ = bad;
  QTimer::singleShot(0, box_, [this, bad] {
    const std::string message = UnstorableMessage(bad);
    if (prompter) {
      prompter->Warn(message);
    } else {
      QToolTip::showText(box_->mapToGlobal(QPoint(0, box_->height())), FromSj(message), box_);
    }
    if (waiting_ == bad) waiting_.clear();
  });
}

QVariant SjInputRules::Answer(Qt::InputMethodQuery query, const QVariant& own) const {
  if (query != Qt::ImEnabled || on) return own;
  return QVariant(false);
}

SjLineEdit::SjLineEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, &SjLineEdit::Edited);
  connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!fixing_) last_ = t;
  });
}

void SjLineEdit::SetInputMethodOn(bool on) {
  rules_.on = on;
  setAttribute(Qt::WA_InputMethodEnabled, on);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

QVariant SjLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  return rules_.Answer(query, QLineEdit::inputMethodQuery(query));
}

QVariant SjLineEdit::inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const {
  return rules_.Answer(query, QLineEdit::inputMethodQuery(query, std::move(argument)));
}

void SjLineEdit::inputMethodEvent(QInputMethodEvent* e) {
  rules_.Take(e, [this](QInputMethodEvent* taken) { QLineEdit::inputMethodEvent(taken); });
}

void SjLineEdit::Settle() {
  rules_.Settle([this](QInputMethodEvent* taken) { QLineEdit::inputMethodEvent(taken); });
}

bool SjLineEdit::event(QEvent* e) {
  if (e->type() == QEvent::FocusAboutToChange || e->type() == QEvent::FocusOut) Settle();
  if (e->type() == QEvent::KeyPress) rules_.KeyTyped();
  return QLineEdit::event(e);
}

void SjLineEdit::Edited(const QString& text) {
  if (fixing_) return;
  sjtext::Fit fit = sjtext::FitEdit(last_, text, maxBytes_, rules_.halfWidth);
  if (fit.text != text) {
    fixing_ = true;
    setText(fit.text);
    setCursorPosition(fit.cursor);
    fixing_ = false;
  }
  last_ = fit.text;
  if (!fit.bad.isEmpty()) {
    rules_.Report(fit.bad);
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

void SjComboBox::SetInputMethodOn(bool on) {
  edit_->SetInputMethodOn(on);
  setAttribute(Qt::WA_InputMethodEnabled, on);
}

QVariant SjComboBox::inputMethodQuery(Qt::InputMethodQuery query, const QVariant& argument) const {
  return edit_->inputMethodQuery(query, argument);
}

bool SjComboBox::event(QEvent* e) {
  // QComboBox hands the edit line its focus-out but not the warning before it
  if (e->type() == QEvent::FocusAboutToChange) edit_->Settle();
  return QComboBox::event(e);
}

SjTextEdit::SjTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  connect(this, &QPlainTextEdit::textChanged, this, &SjTextEdit::Changed);
}

void SjTextEdit::SetInputMethodOn(bool on) {
  rules_.on = on;
  setAttribute(Qt::WA_InputMethodEnabled, on);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

QVariant SjTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
  return rules_.Answer(query, QPlainTextEdit::inputMethodQuery(query));
}

QVariant SjTextEdit::inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const {
  return rules_.Answer(query, QPlainTextEdit::inputMethodQuery(query, std::move(argument)));
}

void SjTextEdit::inputMethodEvent(QInputMethodEvent* e) {
  rules_.Take(e, [this](QInputMethodEvent* taken) { QPlainTextEdit::inputMethodEvent(taken); });
}

void SjTextEdit::Settle() {
  rules_.Settle([this](QInputMethodEvent* taken) { QPlainTextEdit::inputMethodEvent(taken); });
}

bool SjTextEdit::event(QEvent* e) {
  if (e->type() == QEvent::FocusAboutToChange || e->type() == QEvent::FocusOut) Settle();
  if (e->type() == QEvent::KeyPress) rules_.KeyTyped();
  return QPlainTextEdit::event(e);
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
    rules_.Report(fit.bad);
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
