#include "calendar/TfrmHoliday.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"

namespace {

// The rule lines line up their columns only in a fixed-pitch face.
QFont FixedFont() {
  QFont f(QStringLiteral("IPAGothic"));
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  return f;
}

std::string SjOf(const QLineEdit* e) {
  std::string out;
  if (!ToSj(e->text(), out)) out = "?";  // no year or number has such a character: the check refuses it
  return out;
}

}  // namespace

// ---- TfrmInHoliday -----------------------------------------------------------

TfrmInHoliday::TfrmInHoliday(int year, Prompter& prompter, Beeper& beeper, QWidget* parent)
    : QDialog(parent), year_(year), prompter_(prompter), beeper_(beeper) {
  setObjectName("frmInHoliday");
  setWindowTitle(QStringLiteral("祝日・記念日入力"));
  auto edit = [this](const char* name, int width) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
  };
  txtSt = edit("txtSt", 64);
  txtEd = edit("txtEd", 64);
  txtSt->setMaxLength(5);
  txtEd->setMaxLength(5);
  txtMM = edit("txtMM", 48);
  txtDD = edit("txtDD", 48);
  // digits only, typed (the key filter beeps) or pasted
  for (QLineEdit* e : {txtMM, txtDD}) {
    e->setMaxLength(5);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
  }
  optDay = new QRadioButton(QStringLiteral("日"), this);
  optDay->setObjectName("optDay");
  optWeek = new QRadioButton(QStringLiteral("曜日"), this);
  optWeek->setObjectName("optWeek");
  optEtc = new QRadioButton(QStringLiteral("その他"), this);
  optEtc->setObjectName("optEtc");
  optDay->setChecked(true);
  cboEtc = new QComboBox(this);
  cboEtc->setObjectName("cboEtc");
  for (int t = 0; t < 4; ++t) cboEtc->addItem(FromSj(CMyHolidayEditor::TermName(t)));
  cboWeek = new QComboBox(this);
  cboWeek->setObjectName("cboWeek");
  for (int w = 0; w < 28; ++w) cboWeek->addItem(FromSj(CMyHolidayEditor::WeekName(w)));
  cboWeek->setMaxVisibleItems(14);
  lblDD = new QLabel(QStringLiteral("日"), this);
  lblDD->setBuddy(txtDD);
  lblDD->setObjectName("lblDD");
  txtHoliday = new SjLineEdit(this);
  txtHoliday->setObjectName("txtHoliday");
  txtHoliday->SetMaxBytes(CMyHolidayEditor::kMaxName);
  txtHoliday->SetPrompter(&prompter);
  txtHoliday->setMinimumWidth(300);
  lbl_Status = new QLabel(this);
  lbl_Status->setObjectName("lbl_Status");
  lbl_Status->setWordWrap(true);
  lbl_Status->setMinimumHeight(lbl_Status->fontMetrics().height() * 2);
  cmdOk = qtform::Button(this, QStringLiteral("OK(&O)"), "cmdOk");
  cmdCancel = qtform::Button(this, QStringLiteral("ｷｬﾝｾﾙ(&C)"), "cmdCancel");

  auto* years = new QHBoxLayout;
  auto* lblSt = new QLabel(QStringLiteral("開始年"), this);
  lblSt->setBuddy(txtSt);
  auto* lblEd = new QLabel(QStringLiteral("終了年"), this);
  lblEd->setBuddy(txtEd);
  years->addWidget(lblSt);
  years->addWidget(txtSt);
  years->addSpacing(16);
  years->addWidget(lblEd);
  years->addWidget(txtEd);
  years->addStretch(1);

  auto* kind = new QGroupBox(QStringLiteral("種類"), this);
  auto* kindRow = new QHBoxLayout(kind);
  kindRow->addWidget(optDay);
  kindRow->addWidget(optWeek);
  kindRow->addWidget(optEtc);
  kindRow->addWidget(cboEtc);
  kindRow->addStretch(1);

  auto* date = new QHBoxLayout;
  auto* lblMM = new QLabel(QStringLiteral("月"), this);
  lblMM->setBuddy(txtMM);
  date->addWidget(lblMM);
  date->addWidget(txtMM);
  date->addSpacing(16);
  date->addWidget(lblDD);
  date->addWidget(txtDD);
  date->addWidget(cboWeek);
  date->addStretch(1);

  auto* name = new QHBoxLayout;
  auto* lblName = new QLabel(QStringLiteral("内容"), this);
  lblName->setBuddy(txtHoliday);
  name->addWidget(lblName);
  name->addWidget(txtHoliday, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);

  auto* top = new QVBoxLayout(this);
  top->addLayout(years);
  top->addWidget(kind);
  top->addLayout(date);
  top->addLayout(name);
  top->addWidget(lbl_Status);
  top->addLayout(buttons);

  // Enter moves on, in this order
  QWidget* order[] = {txtSt, txtEd, optDay,  optWeek,    optEtc, cboEtc,
                      txtMM, txtDD, cboWeek, txtHoliday, cmdOk};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  for (QWidget* w : order) w->installEventFilter(this);

  for (QRadioButton* r : {optDay, optWeek, optEtc})
    connect(r, &QRadioButton::toggled, this, [this](bool on) {
      if (on) KindChanged();
    });
  for (QLineEdit* e : {txtSt, txtEd, txtMM, txtDD})
    connect(e, &QLineEdit::textChanged, this, &TfrmInHoliday::ShowStatus);
  connect(cboWeek, &QComboBox::currentIndexChanged, this, &TfrmInHoliday::ShowStatus);
  connect(cboEtc, &QComboBox::currentIndexChanged, this, &TfrmInHoliday::ShowStatus);
  connect(cmdOk, &QPushButton::clicked, this, &TfrmInHoliday::cmdOkClick);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  KindChanged();
  txtSt->setFocus();
}

void TfrmInHoliday::KindChanged() {
  const bool week = optWeek->isChecked();
  const bool etc = optEtc->isChecked();
  lblDD->setText(week ? QStringLiteral("曜日") : QStringLiteral("日"));
  lblDD->setVisible(!etc);
  txtDD->setVisible(!etc && !week);
  cboWeek->setVisible(!etc && week);
  if (!etc) cboEtc->setCurrentIndex(-1);
  cboEtc->setEnabled(etc);
  ShowStatus();
}

void TfrmInHoliday::ShowStatus() { lbl_Status->setText(FromSj(CMyHolidayEditor::FormNote(Form(), year_))); }

void TfrmInHoliday::SetForm(const HolidayForm& f) {
  txtSt->setText(FromSj(f.startYear));
  txtEd->setText(FromSj(f.endYear));
  txtMM->setText(FromSj(f.month));
  txtDD->setText(FromSj(f.day));
  (f.kind == HolidayKind::Week ? optWeek : f.kind == HolidayKind::Etc ? optEtc : optDay)->setChecked(true);
  KindChanged();
  cboWeek->setCurrentIndex(f.kind == HolidayKind::Week ? f.week : -1);
  cboEtc->setCurrentIndex(f.kind == HolidayKind::Etc ? f.term : -1);
  txtHoliday->SetTextSj(f.name);
  ShowStatus();
}

HolidayForm TfrmInHoliday::Form() const {
  HolidayForm f;
  f.startYear = SjOf(txtSt);
  f.endYear = SjOf(txtEd);
  f.kind = optWeek->isChecked()  ? HolidayKind::Week
           : optEtc->isChecked() ? HolidayKind::Etc
                                 : HolidayKind::Day;
  f.month = SjOf(txtMM);
  f.day = SjOf(txtDD);
  f.week = cboWeek->currentIndex();
  f.term = cboEtc->currentIndex();
  f.name = txtHoliday->TextSj();
  return f;
}

QWidget* TfrmInHoliday::FieldWidget(HolidayField field) const {
  switch (field) {
    case HolidayField::StartYear:
      return txtSt;
    case HolidayField::EndYear:
      return txtEd;
    case HolidayField::Month:
      return txtMM;
    case HolidayField::Day:
      return txtDD;
    case HolidayField::Week:
      return cboWeek;
    case HolidayField::Term:
      return cboEtc;
    case HolidayField::Name:
      return txtHoliday;
    case HolidayField::None:
      break;
  }
  return cmdOk;
}

void TfrmInHoliday::cmdOkClick() {
  HolidayForm f = Form();
  const HolidayCheck c = CMyHolidayEditor::CheckForm(f);
  // the fields the kind does not use are cleared, as the check did
  if (f.day.empty()) txtDD->clear();
  if (f.week < 0) cboWeek->setCurrentIndex(-1);
  if (!c.Ok()) {
    prompter_.Warn(c.message);
    FieldWidget(c.field)->setFocus();
    return;
  }
  accept();
}

bool TfrmInHoliday::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    // the last stop of the chain is OK, where Enter means OK
    if (watched == cmdOk)
      cmdOkClick();
    else
      focusNextChild();
    return true;
  }
  if (watched == txtMM || watched == txtDD) {
    const QString t = key->text();
    if (!t.isEmpty() && t.at(0).isPrint()) {
      auto* e = static_cast<QLineEdit*>(watched);
      const bool digit = t.size() == 1 && t.at(0) >= QLatin1Char('0') && t.at(0) <= QLatin1Char('9');
      if (!digit || (e->text().size() >= 5 && !e->hasSelectedText())) {
        beeper_.Beep();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

// ---- TfrmHoliday -------------------------------------------------------------

TfrmHoliday::TfrmHoliday(CMyHolidayEditor& editor, int list, DialogRunner& dialogs, Prompter& prompter,
                         Beeper& beeper, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs), prompter_(prompter), beeper_(beeper) {
  setObjectName("frmHoliday");
  setWindowTitle(QStringLiteral("祝日・記念日の設定"));
  TabControl1 = new QTabBar(this);
  TabControl1->setObjectName("TabControl1");
  TabControl1->addTab(QStringLiteral("祝日"));
  TabControl1->addTab(QStringLiteral("記念日"));
  TabControl1->setCurrentIndex(list == CMyHoliday::kAnniversaries ? 1 : 0);
  TabControl1->setExpanding(false);
  lstHoliday = new QListWidget(this);
  lstHoliday->setAccessibleName(QStringLiteral("規則"));
  lstHoliday->setObjectName("lstHoliday");
  lstHoliday->setFont(FixedFont());
  lstHoliday->setUniformItemSizes(true);  // a thousand rules stay quick
  chkReki = new QCheckBox(QStringLiteral("歴データを表示"), this);
  chkReki->setObjectName("chkReki");
  lbl_Year = new QLabel(this);
  lbl_Year->setObjectName("lbl_Year");
  lbl_Note = new QLabel(this);
  lbl_Note->setObjectName("lbl_Note");
  lbl_Note->setWordWrap(true);
  cmd_Insert = qtform::Button(this, QStringLiteral("登　録"), "cmd_Insert");
  cmd_Update = qtform::Button(this, QStringLiteral("更  新"), "cmd_Update");
  cmd_Delete = qtform::Button(this, QStringLiteral("削  除"), "cmd_Delete");
  cmd_Close = qtform::Button(this, QStringLiteral("閉じる"), "cmd_Close");
  txt_Preview = new QSpinBox(this);
  txt_Preview->setObjectName("txt_Preview");
  txt_Preview->setRange(1900, 3999);
  txt_Preview->setValue(editor_.Year());
  txt_Preview->setSuffix(QStringLiteral(" 年"));
  lst_Preview = new QListWidget(this);
  lst_Preview->setAccessibleName(QStringLiteral("その年の日付"));
  lst_Preview->setObjectName("lst_Preview");
  lst_Preview->setFont(FixedFont());
  lst_Preview->setSelectionMode(QAbstractItemView::NoSelection);
  lst_Preview->setFocusPolicy(Qt::NoFocus);
  lst_Preview->setUniformItemSizes(true);

  auto* left = new QVBoxLayout;
  left->setSpacing(0);
  left->addWidget(TabControl1);
  left->addWidget(lstHoliday, 1);
  left->addSpacing(6);
  auto* below = new QHBoxLayout;
  below->addWidget(chkReki);
  below->addStretch(1);
  below->addWidget(lbl_Year);
  left->addLayout(below);
  left->addWidget(lbl_Note);

  auto* commands = new QVBoxLayout;
  commands->addSpacing(TabControl1->sizeHint().height());
  commands->addWidget(cmd_Insert);
  commands->addWidget(cmd_Update);
  commands->addWidget(cmd_Delete);
  commands->addStretch(1);
  commands->addWidget(cmd_Close);

  auto* preview = new QVBoxLayout;
  preview->setSpacing(0);
  auto* previewHead = new QHBoxLayout;
  auto* lblPreview = new QLabel(QStringLiteral("プレビュー"), this);
  lblPreview->setBuddy(txt_Preview);
  previewHead->addWidget(lblPreview);
  previewHead->addWidget(txt_Preview);
  previewHead->addStretch(1);
  preview->addLayout(previewHead);
  preview->addSpacing(2);
  preview->addWidget(lst_Preview, 1);

  auto* top = new QHBoxLayout(this);
  top->addLayout(left, 5);
  top->addLayout(commands);
  top->addSpacing(8);
  top->addLayout(preview, 4);

  connect(TabControl1, &QTabBar::currentChanged, this, [this] { Fill(); });
  connect(chkReki, &QCheckBox::toggled, this, [this] { Fill(SelectedIndex()); });
  connect(lstHoliday, &QListWidget::itemDoubleClicked, this, [this] { cmd_UpdateClick(); });
  connect(cmd_Insert, &QPushButton::clicked, this, &TfrmHoliday::cmd_InsertClick);
  connect(cmd_Update, &QPushButton::clicked, this, &TfrmHoliday::cmd_UpdateClick);
  connect(cmd_Delete, &QPushButton::clicked, this, &TfrmHoliday::cmd_DeleteClick);
  connect(cmd_Close, &QPushButton::clicked, this, &TfrmHoliday::cmd_CloseClick);
  connect(txt_Preview, &QSpinBox::valueChanged, this, [this] { FillPreview(); });
  Fill();
  resize(820, 480);
}

int TfrmHoliday::List() const { return TabControl1->currentIndex() == 1 ? 1 : 0; }

int TfrmHoliday::SelectedIndex() const {
  const int row = lstHoliday->currentRow();
  return row >= 0 && row < static_cast<int>(rowIndex_.size()) && lstHoliday->currentItem() &&
                 lstHoliday->currentItem()->isSelected()
             ? rowIndex_[static_cast<size_t>(row)]
             : -1;
}

void TfrmHoliday::Fill(int selectIndex) {
  const int list = List();
  const std::vector<CMyHolidayEditor::Row> rows = editor_.Rows(list, chkReki->isChecked());
  lstHoliday->setUpdatesEnabled(false);
  lstHoliday->clear();
  rowIndex_.clear();
  rowIndex_.reserve(rows.size());
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(rows.size()));
  int select = -1;
  for (const auto& r : rows) {
    if (r.index == selectIndex) select = static_cast<int>(rowIndex_.size());
    rowIndex_.push_back(r.index);
    lines << FromSj(r.line);
  }
  lstHoliday->addItems(lines);
  if (select >= 0) {
    lstHoliday->setCurrentRow(select);
    lstHoliday->scrollToItem(lstHoliday->item(select));
  }
  lstHoliday->setUpdatesEnabled(true);
  lbl_Year->setText(chkReki->isChecked() ? QStringLiteral("すべての年の規則")
                                         : QStringLiteral("%1年に当てはまる規則").arg(editor_.Year()));
  const QString note = FromSj(editor_.Note(list));
  lbl_Note->setText(note);
  lbl_Note->setVisible(!note.isEmpty());
  const bool editable = editor_.Editable(list);
  cmd_Insert->setEnabled(editable);
  cmd_Update->setEnabled(editable);
  cmd_Delete->setEnabled(editable);
  FillPreview();
}

void TfrmHoliday::FillPreview() {
  QStringList lines;
  for (const std::string& line : editor_.Preview(txt_Preview->value())) lines << FromSj(line);
  lst_Preview->setUpdatesEnabled(false);
  lst_Preview->clear();
  lst_Preview->addItems(lines);
  lst_Preview->setUpdatesEnabled(true);
}

void TfrmHoliday::cmd_InsertClick() {
  if (!editor_.Editable(List())) {
    beeper_.Beep();
    return;
  }
  TfrmInHoliday dlg(editor_.Year(), prompter_, beeper_, this);
  if (dialogs_.Run(dlg) != QDialog::Accepted) return;
  const int at = editor_.Insert(List(), dlg.Form());
  if (at >= 0) Fill(at);
}

void TfrmHoliday::cmd_UpdateClick() {
  const int list = List();
  if (!editor_.Editable(list)) {
    beeper_.Beep();
    return;
  }
  const int index = SelectedIndex();
  if (!editor_.RequireSelection(list, index)) return;
  TfrmInHoliday dlg(editor_.Year(), prompter_, beeper_, this);
  dlg.SetForm(CMyHolidayEditor::FormOf(editor_.Rules().Item(index, list)));
  if (dialogs_.Run(dlg) != QDialog::Accepted) return;
  const int at = editor_.Update(list, index, dlg.Form());
  Fill(at >= 0 ? at : index);
}

void TfrmHoliday::cmd_DeleteClick() {
  const int list = List();
  if (!editor_.Editable(list)) {
    beeper_.Beep();
    return;
  }
  const int row = lstHoliday->currentRow();
  if (!editor_.Delete(list, SelectedIndex())) return;
  Fill();
  // the line that moved up into the deleted one's place
  if (row >= 0 && lstHoliday->count() > 0) lstHoliday->setCurrentRow(std::min(row, lstHoliday->count() - 1));
}

bool TfrmHoliday::EndEditing() { return editor_.Finish(); }

void TfrmHoliday::cmd_CloseClick() {
  if (EndEditing()) accept();
}

void TfrmHoliday::reject() {
  if (EndEditing()) QDialog::reject();
}
