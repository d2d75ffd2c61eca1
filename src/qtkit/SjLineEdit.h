// Edit boxes for CP932 text. The length limit counts CP932 bytes (the size of
// the field the text is stored in), not characters, and a character CP932
// cannot hold is refused as it is typed or pasted, with a message naming it:
// nothing is cut or turned into "?" later, at saving.
#pragma once
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <string>

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
Fit FitEdit(const QString& before, const QString& after, int maxBytes);
int Bytes(const QString& text);  // CP932 bytes (a line break is CR LF); unstorable characters count 2
}  // namespace sjtext

class SjLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit SjLineEdit(QWidget* parent = nullptr);
  // 0 = no limit. Text already longer is left as it is.
  void SetMaxBytes(int bytes) { maxBytes_ = bytes; }
  int MaxBytes() const { return maxBytes_; }
  // Messages about refused characters; without one a tooltip says it.
  void SetPrompter(Prompter* prompter) { prompter_ = prompter; }
  std::string TextSj() const;
  void SetTextSj(const std::string& sj);

 private:
  void Edited(const QString& text);
  int maxBytes_ = 0;
  Prompter* prompter_ = nullptr;
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
  void SetPrompter(Prompter* prompter) { prompter_ = prompter; }
  // CR LF between lines, as records store them.
  std::string TextSj() const;
  void SetTextSj(const std::string& sj);

 private:
  void Changed();
  int maxBytes_ = 0;
  Prompter* prompter_ = nullptr;
  QString last_;
  bool fixing_ = false;
};

// Tells the user about a refused character (shared by the three boxes).
void ReportUnstorable(QWidget* box, Prompter* prompter, const QString& bad);
