// Edit boxes for CP932 text. The length limit counts CP932 bytes (the size of
// the field the text is stored in), not characters, and a character CP932
// cannot hold is refused as it is typed, pasted or committed by an input
// method, with a message naming it: nothing is cut or turned into "?" later,
// at saving.
//
// The input method is part of each box's rules. A box that has it off answers
// the method that it takes no text (QLineEdit's own answer ignores
// WA_InputMethodEnabled) and drops what a method sends it anyway; a
// composition still open when the focus leaves a box is committed in that box,
// so it never lands in the next one.
#pragma once
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>
#include <string>

class QInputMethodEvent;

class Prompter;

namespace sjtext {
// What an edit turns into: `after` as typed, cut so that it fits `maxBytes`
// (0 = no limit) by dropping the end of what was inserted, or `before` again
// when the insertion holds a character CP932 cannot store (then `bad` names
// it). `cursor` is where the caret belongs in the result.
struct Fit {
  QString text;
  int cursor = 0;
  bool cut = false;  // the insertion did not fit whole
  QString bad;       // the refused character, empty when none
};
// With `halfWidth` the insertion's full-width ASCII is read as ASCII first
// (widthfold::FoldAscii), as a box of digits, dates or times takes it.
Fit FitEdit(const QString& before, const QString& after, int maxBytes, bool halfWidth = false);
int Bytes(const QString& text);          // CP932 bytes (a line break is CR LF); unstorable characters count 2
QString HalfWidth(const QString& text);  // full-width ASCII and the ideographic space as ASCII

// Switches the input method on or off for a box of any kind: the three boxes
// below by their own rule, any other widget by WA_InputMethodEnabled.
void SetInputMethod(QWidget* box, bool on);
}  // namespace sjtext

// What the three boxes share about the input method: whether it is on, the
// composition it is showing in the box, and the message about a refused
// character, which waits until the event that brought the character has
// returned. A message box opened inside an input-method event takes the
// focus, the method answers by committing the same character again, and
// the user gets box after box; told afterwards, once per refusal, nothing
// comes back.
class SjInputRules {
 public:
  using Base = std::function<void(QInputMethodEvent*)>;
  explicit SjInputRules(QWidget* box) : box_(box) {}
  bool on = true;
  bool halfWidth = false;
  Prompter* prompter = nullptr;  // without one a tooltip at the box says it

  // Hands `e` to the box's own handler as the rules allow: nothing of it
  // with the method off; else with its commit read half-width where the box
  // wants that, and emptied when it holds a character CP932 cannot store
  // (the composition ends, the text stays as it was, the user is told).
  void Take(QInputMethodEvent* e, const Base& base);
  // The focus is leaving: an open composition is committed here. What was
  // committed as the focus left may come once more from the method (ibus
  // commits an open composition again when the focus moves), by then to the
  // next box; the first box to get exactly that text, with no composition of
  // its own and nothing typed since, drops it.
  void Settle(const Base& base);
  // A key reached the box: what it types is no echo.
  void KeyTyped();
  const QString& Preedit() const { return preedit_; }
  // Tells the user about `bad` after the current event, unless that same
  // refusal is already waiting to be told or being told.
  void Report(const QString& bad);
  // ImEnabled as the rules answer it, over the box's own answer.
  QVariant Answer(Qt::InputMethodQuery query, const QVariant& own) const;

 private:
  QWidget* box_;
  QString preedit_;
  QString ended_;    // the commit that ended the last composition, while nothing followed it
  QString waiting_;  // the refused character whose message is still to come
};

class SjLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit SjLineEdit(QWidget* parent = nullptr);
  // 0 = no limit. Text already longer is left as it is.
  void SetMaxBytes(int bytes) { maxBytes_ = bytes; }
  int MaxBytes() const { return maxBytes_; }
  // Messages about refused characters; without one a tooltip says it.
  void SetPrompter(Prompter* prompter) { rules_.prompter = prompter; }
  // Off for boxes of dates, times, numbers and codes.
  void SetInputMethodOn(bool on);
  bool InputMethodOn() const { return rules_.on; }
  // Full-width ASCII typed, pasted or committed comes in as ASCII.
  void SetHalfWidth(bool on) { rules_.halfWidth = on; }
  bool HalfWidth() const { return rules_.halfWidth; }
  // The composition the input method is showing in the box; empty when none.
  QString Preedit() const { return rules_.Preedit(); }
  std::string TextSj() const;
  void SetTextSj(const std::string& sj);

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const;

 protected:
  void inputMethodEvent(QInputMethodEvent* e) override;
  bool event(QEvent* e) override;

 private:
  friend class SjComboBox;
  void Edited(const QString& text);
  void Settle();
  int maxBytes_ = 0;
  SjInputRules rules_{this};
  QString last_;
  bool fixing_ = false;
};

// An editable combo box whose edit line is an SjLineEdit.
class SjComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit SjComboBox(QWidget* parent = nullptr);
  SjLineEdit* Edit() const { return edit_; }
  std::string TextSj() const { return edit_->TextSj(); }
  void SetTextSj(const std::string& sj) { edit_->SetTextSj(sj); }
  void SetInputMethodOn(bool on);

  // The combo box keeps the focus for its edit line; QComboBox hands the
  // query with an argument to QLineEdit's own answer, past the edit line's.
  Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, const QVariant& argument) const;
  using QComboBox::inputMethodQuery;

 protected:
  bool event(QEvent* e) override;

 private:
  SjLineEdit* edit_;
};

// The memo box: the same rules for many lines.
class SjTextEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit SjTextEdit(QWidget* parent = nullptr);
  void SetMaxBytes(int bytes) { maxBytes_ = bytes; }
  int MaxBytes() const { return maxBytes_; }
  void SetPrompter(Prompter* prompter) { rules_.prompter = prompter; }
  void SetInputMethodOn(bool on);
  bool InputMethodOn() const { return rules_.on; }
  QString Preedit() const { return rules_.Preedit(); }
  // CR LF between lines, as records store them.
  std::string TextSj() const;
  void SetTextSj(const std::string& sj);

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const;

 protected:
  void inputMethodEvent(QInputMethodEvent* e) override;
  bool event(QEvent* e) override;

 private:
  void Changed();
  void Settle();
  int maxBytes_ = 0;
  SjInputRules rules_{this};
  QString last_;
  bool fixing_ = false;
};
