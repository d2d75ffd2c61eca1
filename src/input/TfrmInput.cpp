#include "input/TfrmInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "input/CMyHyo.h"
#include "input/PhotoState.h"
#include "input/QtPhotoBox.h"
#include "input/QtSelStrip.h"
#include "input/SelStrip.h"
#include "input/TfrmSetMaster.h"
#include "input/TfrmSetMaster2.h"
#include "platform/Cp932.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtCanvas.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"
#include "shell/CMyGlobal.h"

namespace {

QColor FromBgr(int c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// A control's own face and height when the definition asks for them.
void ApplyFont(QWidget* w, int fontMode, int height, const std::string& face) {
  if (fontMode != 1 || height == 0) return;
  QFont f(QtCanvas::FamilyFor(face));
  f.setPixelSize(height < 0 ? -height : std::max(height * 7 / 8, 8));
  w->setFont(f);
}

QString SlotName(const char* prefix, int slot) { return QString::asprintf("%s%03d", prefix, slot + 1); }

}  // namespace

TfrmInput::TfrmInput(CMyDB& db, CMyGlobal& global, InputViewPort& view, Prompter& prompter, Beeper& beeper,
                     const Clock& clock, QWidget* parent)
    : QDialog(parent), global_(global), prompter_(prompter), beeper_(beeper), clock_(clock) {
  setObjectName("frmInput");
  setWindowTitle(QStringLiteral("入力画面"));
  setModal(false);
  model_ = std::make_unique<CMyInput>(db, prompter, clock, view);
  BuildFixedParts();
}

TfrmInput::~TfrmInput() = default;

void TfrmInput::SetPhotoSeams(FileChooser* files, Launcher* launcher, PhotoCounter* counter,
                              std::string programFolder) {
  files_ = files;
  launcher_ = launcher;
  counter_ = counter;
  programFolder_ = std::move(programFolder);
}

void TfrmInput::BuildFixedParts() {
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 2);
  top->setSpacing(3);

  auto* keyRow = new QHBoxLayout;
  lbl_Key = new QLabel(QStringLiteral("日付"), this);
  lbl_Key->setObjectName("lbl_Key");
  auto keyBox = [this](const char* name, int bytes, int width) {
    auto* e = new SjLineEdit(this);
    e->setObjectName(name);
    e->SetMaxBytes(bytes);
    e->SetPrompter(&prompter_);
    e->setFixedWidth(width);
    e->SetInputMethodOn(false);  // keys are digits and "/"
    e->SetHalfWidth(true);
    e->installEventFilter(this);
    return e;
  };
  txt_YMD = keyBox("txt_YMD", 10, 96);
  txt_Page = keyBox("txt_Page", 4, 48);
  txt_Gyo = keyBox("txt_Gyo", 4, 40);
  lbl_Key->setBuddy(txt_YMD);
  txt_Page->setAccessibleName(QStringLiteral("ページ"));
  txt_Gyo->setAccessibleName(QStringLiteral("行"));
  cbo_Color = new QComboBox(this);
  cbo_Color->setObjectName("cbo_Color");
  cbo_Color->setMinimumWidth(110);
  pan_Color = new QPushButton(QStringLiteral("色種類"), this);
  pan_Color->setObjectName("pan_Color");
  pan_Color->setAutoDefault(false);
  lbl_Update = new QLabel(this);
  lbl_Update->setObjectName("lbl_Update");
  lbl_Update->setToolTip(QStringLiteral("最終更新日"));
  keyRow->addWidget(lbl_Key);
  keyRow->addWidget(txt_YMD);
  keyRow->addWidget(txt_Page);
  keyRow->addWidget(new QLabel(QStringLiteral("行"), this));
  keyRow->itemAt(keyRow->count() - 1)->widget()->setObjectName("lbl_Gyo");
  keyRow->addWidget(txt_Gyo);
  keyRow->addSpacing(8);
  keyRow->addWidget(cbo_Color);
  keyRow->addWidget(pan_Color);
  keyRow->addStretch(1);
  keyRow->addWidget(lbl_Update);
  top->addLayout(keyRow);

  body_ = new QWidget(this);
  body_->setObjectName("panel_Body");
  top->addWidget(body_, 1);

  auto* buttons = new QHBoxLayout;
  auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);                            // Enter moves between fields, it never saves...
    b->installEventFilter(new qtform::EnterPresses(b));  // ...but presses a focused button
    return b;
  };
  cmd_Left = button("cmd_Left", QStringLiteral("◀"));
  cmd_Left->setToolTip(QStringLiteral("前のレコード [F5]"));
  cmd_Right = button("cmd_Right", QStringLiteral("▶"));
  cmd_Right->setToolTip(QStringLiteral("次のレコード [F6]"));
  cmd_New = button("cmd_New", QStringLiteral("新 規"));
  cmd_Del = button("cmd_Del", QStringLiteral("削 除"));
  cmd_Input = button("cmd_Input", QStringLiteral("登録"));
  cmd_Close = button("cmd_Close", QStringLiteral("閉じる"));
  chk_Continu = new QCheckBox(QStringLiteral("連続処理"), this);
  chk_Continu->setObjectName("chk_Continu");
  for (QWidget* w : {static_cast<QWidget*>(cmd_Left), static_cast<QWidget*>(cmd_Right)}) w->setFixedWidth(36);
  buttons->addWidget(cmd_Left);
  buttons->addWidget(cmd_Right);
  buttons->addSpacing(6);
  buttons->addWidget(cmd_New);
  buttons->addWidget(cmd_Del);
  buttons->addStretch(1);
  buttons->addWidget(chk_Continu);
  buttons->addWidget(cmd_Input);
  buttons->addWidget(cmd_Close);
  top->addLayout(buttons);

  statusBar_ =
      new QLabel(QStringLiteral("[F5]← [F6]→ [F7]新規 [F8]登録 [F9]一覧の編集 [Alt+↓]一覧から選択"), this);
  statusBar_->setObjectName("StatusBar");
  statusBar_->setFrameShape(QFrame::StyledPanel);
  top->addWidget(statusBar_);

  connect(cmd_Input, &QPushButton::clicked, this, &TfrmInput::cmd_InputClick);
  connect(cmd_New, &QPushButton::clicked, this, &TfrmInput::cmd_NewClick);
  connect(cmd_Del, &QPushButton::clicked, this, &TfrmInput::cmd_DelClick);
  connect(cmd_Left, &QPushButton::clicked, this, &TfrmInput::cmd_LeftClick);
  connect(cmd_Right, &QPushButton::clicked, this, &TfrmInput::cmd_RightClick);
  connect(cmd_Close, &QPushButton::clicked, this, &TfrmInput::cmd_CloseClick);
  connect(pan_Color, &QPushButton::clicked, this, &TfrmInput::pan_ColorClick);
  connect(cbo_Color, &QComboBox::activated, this, &TfrmInput::cbo_ColorChange);
}

void TfrmInput::ClearControls() {
  for (QWidget* w : widgets_) delete w;
  for (QWidget* w : captions_) delete w;
  widgets_.clear();
  captions_.clear();
  controlOf_.clear();
  if (pai_Sel) {
    delete pai_Sel->UpButton();
    delete pai_Sel->DownButton();
  }
  delete pai_Sel;
  pai_Sel = nullptr;
  strip_.reset();
  stripControl_ = -1;
  pai_Phot = nullptr;
  delete cmd_Kao;
  cmd_Kao = nullptr;
  model_->SetPhotoState(nullptr);
}

bool TfrmInput::BuildForm(int linesPerPage, std::vector<ColorKind> kinds) {
  ClearControls();
  const std::string dir = global_.DivisionPath("");
  calc_ = std::make_unique<CalcFormPort>(dir, &prompter_, &beeper_);
  lists_ = std::make_unique<ListFormPort>(dir, &prompter_);
  model_->SetCalcPort(calc_.get());
  model_->SetListPort(lists_.get());
  model_->SetLinesPerPage(linesPerPage);
  model_->SetColorKinds(std::move(kinds));
  if (!model_->BuildForm(global_.DivisionPath("scrin.jsc"))) return false;
  calc_->Load();
  lists_->Load(*model_);
  global_.dataKind = model_->DataKind();

  const bool byPage = model_->ByPage();
  lbl_Key->setText(byPage ? QStringLiteral("ページ") : QStringLiteral("日付"));
  txt_YMD->setVisible(!byPage);
  txt_Page->setVisible(byPage);
  txt_Gyo->setVisible(byPage);
  findChild<QLabel*>("lbl_Gyo")->setVisible(byPage);

  const int fontMode = model_->Header().fontMode;
  for (const auto& cap : model_->Captions()) {
    auto* l = new QLabel(FromSj(cap.text), body_);
    l->setObjectName(SlotName("lbl_cmt", cap.slot));
    l->setGeometry(cap.left, cap.top, cap.width, cap.height);
    l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    l->setStyleSheet(cap.flat ? QString()
                              : QStringLiteral("QLabel { background: #808080; color: white; "
                                               "border: 1px solid #606060; padding-left: 2px; }"));
    ApplyFont(l, fontMode, cap.fontHeight, cap.faceName);
    // a flat caption is a hint beside a field: our fonts run wider than the
    // ones the layout was made with, so it grows rather than cut its text
    if (cap.flat && l->sizeHint().width() > cap.width) l->resize(l->sizeHint().width(), cap.height);
    l->show();
    captions_.push_back(l);
  }
  const auto& controls = model_->ControlList();
  widgets_.assign(controls.size(), nullptr);
  for (size_t j = 0; j < controls.size(); ++j) {
    const jsc::Control& c = controls[j];
    QWidget* w = nullptr;
    if (c.kind == jsc::kText) {
      auto* e = new SjLineEdit(body_);
      e->setObjectName(SlotName("txt_dat", c.slot));
      e->SetMaxBytes(c.maxLength);
      e->SetPrompter(&prompter_);
      if (c.tabMode == -2) {
        e->setReadOnly(true);
        e->setStyleSheet(QStringLiteral("QLineEdit { background: palette(button); }"));
      }
      if (c.dataType == 1 || c.dataType == 2) e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      e->SetHalfWidth(CMyInput::HalfWidth(c));
      connect(e, &QLineEdit::textEdited, this, [this, j] {
        if (!loading_) model_->SetValue(static_cast<int>(j), WidgetText(static_cast<int>(j)));
        UpdateButtons();
      });
      w = e;
    } else if (c.kind == jsc::kCombo) {
      auto* cb = new SjComboBox(body_);
      cb->setObjectName(SlotName("cbo_dat", c.slot));
      cb->Edit()->SetMaxBytes(c.maxLength);
      cb->Edit()->SetPrompter(&prompter_);
      cb->Edit()->SetHalfWidth(CMyInput::HalfWidth(c));
      cb->Edit()->installEventFilter(this);
      controlOf_[cb->Edit()] = static_cast<int>(j);
      for (const auto& item : lists_->ComboItems(c.slot)) cb->addItem(FromSj(item));
      connect(cb, &QComboBox::currentTextChanged, this, [this, j] {
        if (!loading_) model_->SetValue(static_cast<int>(j), WidgetText(static_cast<int>(j)));
        UpdateButtons();
      });
      w = cb;
    } else if (c.kind == jsc::kMemo) {
      auto* m = new SjTextEdit(body_);
      m->setObjectName("txt_Mem001");
      m->SetMaxBytes(c.maxLength);
      m->SetPrompter(&prompter_);
      if (c.tabMode == -2) m->setReadOnly(true);
      m->setTabChangesFocus(true);
      connect(m, &QPlainTextEdit::textChanged, this, [this, j] {
        if (!loading_) model_->SetValue(static_cast<int>(j), WidgetText(static_cast<int>(j)));
        UpdateButtons();
      });
      w = m;
    } else if (c.kind == jsc::kPhoto && !pai_Phot) {
      if (!counter_) counter_ = (ownCounter_ = std::make_unique<PhotoCounter>()).get();
      photo_ = std::make_unique<PhotoState>(clock_, *counter_);
      photo_->SetDivisionFolder(dir);
      photo_->SetViewer(programFolder_, launcher_, &prompter_, &beeper_);
      pai_Phot = new QtPhotoBox(*photo_, body_);
      // the frame takes a pixel on each side
      photo_->SetBox(true, std::max(0, c.width - 2), std::max(0, c.height - 2));
      connect(pai_Phot, &QtPhotoBox::doubleClicked, this, &TfrmInput::cmd_PhotViewClick);
      connect(pai_Phot, &QtPhotoBox::menuRequested, this, &TfrmInput::ShowPhotoMenu);
      cmd_Kao = new QPushButton(QStringLiteral("写真選択..."), body_);
      cmd_Kao->setObjectName("cmd_Kao");
      cmd_Kao->setAutoDefault(false);
      cmd_Kao->setGeometry(c.left + c.width - 90, c.top + c.height + 2, 90, 24);
      cmd_Kao->show();
      connect(cmd_Kao, &QPushButton::clicked, this, &TfrmInput::cmd_KaoClick);
      model_->SetPhotoState(photo_.get());
      w = pai_Phot;
    }
    if (!w) continue;
    w->setGeometry(c.left, c.top, c.width, c.height);
    ApplyFont(w, fontMode, c.fontHeight, c.faceName);
    if (c.tabMode == -1 || c.tabMode == -2) w->setFocusPolicy(Qt::ClickFocus);
    if (!CMyInput::InputMethodOn(c)) sjtext::SetInputMethod(w, false);
    w->installEventFilter(this);
    controlOf_[w] = static_cast<int>(j);
    w->show();
    // the form's own captions stand apart from their boxes: the box says its name
    if (w->accessibleName().isEmpty() && w != pai_Phot)
      w->setAccessibleName(FromSj(c.alias.empty() ? c.field : c.alias));
    widgets_[j] = w;
  }
  if (model_->Strip().shown) {
    const auto& b = model_->Strip();
    strip_ = std::make_unique<SelStrip>();
    pai_Sel = new QtSelStrip(*strip_, body_);
    pai_Sel->setGeometry(b.left, b.top, b.width, b.height);
    // the paging buttons sit under the strip's right end
    pai_Sel->UpButton()->setGeometry(b.left + b.width - 50, b.top + b.height + 1, 24, 20);
    pai_Sel->DownButton()->setGeometry(b.left + b.width - 25, b.top + b.height + 1, 24, 20);
    connect(pai_Sel, &QtSelStrip::rowChosen, this,
            [this](const QString&, const std::string& sj) { StripRowChosen(sj); });
    pai_Sel->show();
    pai_Sel->UpButton()->show();
    pai_Sel->DownButton()->show();
  }
  // the tab order is the order of the definition
  QWidget* previous = byPage ? static_cast<QWidget*>(txt_Gyo) : static_cast<QWidget*>(txt_YMD);
  if (byPage) setTabOrder(txt_Page, txt_Gyo);
  for (QWidget* w : widgets_) {
    if (!w) continue;
    setTabOrder(previous, w);
    previous = w;
    // the photo's own button follows it
    if (w == pai_Phot && cmd_Kao) {
      setTabOrder(pai_Phot, cmd_Kao);
      previous = cmd_Kao;
    }
  }
  setTabOrder(previous, cmd_Input);

  int bodyHeight = model_->Header().inputHeight;
  for (QWidget* w : widgets_)
    if (w) bodyHeight = std::max(bodyHeight, w->geometry().bottom() + 4);
  if (cmd_Kao) bodyHeight = std::max(bodyHeight, cmd_Kao->geometry().bottom() + 4);
  body_->setFixedSize(model_->FormWidth() - 8, bodyHeight);
  RefillColorItems();
  adjustSize();
  return true;
}

std::string TfrmInput::WidgetText(int control) const {
  QWidget* w = widgets_[static_cast<size_t>(control)];
  if (auto* e = qobject_cast<SjLineEdit*>(w)) return e->TextSj();
  if (auto* cb = qobject_cast<SjComboBox*>(w)) return cb->TextSj();
  if (auto* m = qobject_cast<SjTextEdit*>(w)) return m->TextSj();
  return model_->Value(control);
}

void TfrmInput::LoadWidgets() {
  loading_ = true;
  for (size_t j = 0; j < widgets_.size(); ++j) {
    QWidget* w = widgets_[j];
    const std::string& v = model_->Value(static_cast<int>(j));
    if (auto* e = qobject_cast<SjLineEdit*>(w)) {
      e->SetTextSj(v);
      ShowCalcNote(static_cast<int>(j));
    } else if (auto* cb = qobject_cast<SjComboBox*>(w)) {
      cb->SetTextSj(v);
    } else if (auto* m = qobject_cast<SjTextEdit*>(w)) {
      m->SetTextSj(v);
    } else if (w == pai_Phot && pai_Phot) {
      pai_Phot->Refresh();
    }
  }
  loading_ = false;
  LoadKeyBoxes();
  cbo_Color->setCurrentIndex(model_->ColorIndex());
  ShowColour();
  lbl_Update->setText(FromSj(model_->Updated()));
  UpdateButtons();
  MarkChecked();
}

void TfrmInput::LoadKeyBoxes() {
  txt_YMD->SetTextSj(model_->DateText());
  txt_Page->SetTextSj(model_->PageText());
  txt_Gyo->SetTextSj(model_->LineText());
  const bool ro = model_->KeyReadOnly();
  for (SjLineEdit* e : {txt_YMD, txt_Page, txt_Gyo}) {
    e->setReadOnly(ro);
    e->setStyleSheet(ro ? QStringLiteral("QLineEdit { background: palette(button); }") : QString());
  }
}

void TfrmInput::UpdateButtons() {
  cmd_New->setEnabled(!model_->IsNew() || model_->Modified());
  cmd_Del->setEnabled(!model_->IsNew());
}

void TfrmInput::ShowRecord(const std::string& key, int index) {
  model_->ShowRecord(key, index);
  LoadWidgets();
  const bool first = !placed_;
  if (first) PlaceBesideParent();
  const QPoint where = pos();
  show();
  if (first) move(where);  // window managers place a new dialog over its parent otherwise
  raise();
  activateWindow();
  FocusFirst();
}

void TfrmInput::FocusFirst() {
  for (QWidget* w : widgets_) {
    if (w && w != pai_Phot && w->focusPolicy() != Qt::ClickFocus) {
      w->setFocus();
      return;
    }
  }
  (model_->ByPage() ? txt_Page : txt_YMD)->setFocus();
}

void TfrmInput::FocusTarget(int target) {
  QWidget* w = nullptr;
  if (target == CMyInput::kFocusDate) w = txt_YMD;
  if (target == CMyInput::kFocusPage) w = txt_Page;
  if (target == CMyInput::kFocusLine) w = txt_Gyo;
  if (target >= 0 && target < static_cast<int>(widgets_.size())) w = widgets_[static_cast<size_t>(target)];
  if (w) w->setFocus();
}

bool TfrmInput::LeaveKeyBox(QWidget* box) {
  bool ok = true;
  if (box == txt_YMD && !txt_YMD->isReadOnly()) {
    model_->SetDateText(txt_YMD->TextSj());
    ok = model_->LeaveDateBox();
  } else if (box == txt_Page && !txt_Page->isReadOnly()) {
    model_->SetPageText(txt_Page->TextSj());
    ok = model_->LeavePageBox();
  } else if (box == txt_Gyo && !txt_Gyo->isReadOnly()) {
    model_->SetLineText(txt_Gyo->TextSj());
    ok = model_->LeaveLineBox();
  } else {
    return true;
  }
  if (ok) {
    loading_ = true;
    LoadKeyBoxes();
    loading_ = false;
    for (SjLineEdit* k : {txt_YMD, txt_Page, txt_Gyo}) checked_[k] = k->text();
  }
  return ok;
}

bool TfrmInput::LeaveControl(int control) {
  const jsc::Control& c = model_->ControlList()[static_cast<size_t>(control)];
  model_->SetValue(control, WidgetText(control));
  if (c.kind != jsc::kText) {
    if (c.kind == jsc::kCombo && c.slot == model_->PairParent()) RefillChildCombo();
    return true;
  }
  if (stripControl_ == control && strip_ && strip_->List()) {
    // a number typed into a listed editor is the code of a row
    if (auto text = lists_->CodeEntry(*model_, control)) model_->SetValue(control, *text);
    stripControl_ = -1;
    if (pai_Sel) pai_Sel->Forget();
  }
  if (!model_->LeaveField(control)) return false;
  // the check may have rewritten the text, and calculations other fields
  loading_ = true;
  for (size_t j = 0; j < widgets_.size(); ++j) {
    if (auto* e = qobject_cast<SjLineEdit*>(widgets_[j])) {
      const std::string& v = model_->Value(static_cast<int>(j));
      if (e->TextSj() != v) e->SetTextSj(v);
      ShowCalcNote(static_cast<int>(j));
    }
  }
  loading_ = false;
  return true;
}

void TfrmInput::RefillChildCombo() {
  const int child = model_->ControlOf(jsc::kCombo, model_->PairChild());
  const int parent = model_->ControlOf(jsc::kCombo, model_->PairParent());
  if (child < 0 || parent < 0) return;
  auto* cb = qobject_cast<SjComboBox*>(widgets_[static_cast<size_t>(child)]);
  if (!cb) return;
  loading_ = true;
  const QString keep = cb->currentText();
  cb->clear();
  for (const auto& item : lists_->ComboItems(model_->PairChild(), model_->Value(parent)))
    cb->addItem(FromSj(item));
  cb->setEditText(keep);
  loading_ = false;
}

bool TfrmInput::LeaveFocused() {
  if (checking_) return true;
  checking_ = true;
  // the field refused as a button took the focus, the focused one, then
  // every field typed into since its last check: what a user left without
  // the check having run is checked before anything is saved
  std::vector<QWidget*> order;
  if (refused_) order.push_back(refused_);
  if (QWidget* f = QApplication::focusWidget()) order.push_back(f);
  for (QWidget* k :
       {static_cast<QWidget*>(txt_YMD), static_cast<QWidget*>(txt_Page), static_cast<QWidget*>(txt_Gyo)})
    order.push_back(k);
  for (QWidget* w : widgets_)
    if (w) order.push_back(w);
  refused_ = nullptr;
  bool ok = true;
  for (QWidget* w : order) {
    if (!Pending(w)) continue;
    ok = (w == txt_YMD || w == txt_Page || w == txt_Gyo) ? LeaveKeyBox(w) : LeaveControl(controlOf_[w]);
    if (!ok) {
      w->setFocus();
      break;
    }
  }
  checking_ = false;
  return ok;
}

bool TfrmInput::Pending(QWidget* w) const {
  auto* e = qobject_cast<SjLineEdit*>(w);
  if (!e || e->isReadOnly() || !e->isVisible()) return false;
  auto it = checked_.find(w);
  return it == checked_.end() || it->second != e->text();
}

void TfrmInput::MarkChecked() {
  checked_.clear();
  for (SjLineEdit* k : {txt_YMD, txt_Page, txt_Gyo}) checked_[k] = k->text();
  for (QWidget* w : widgets_)
    if (auto* e = qobject_cast<SjLineEdit*>(w)) checked_[w] = e->text();
}

bool TfrmInput::eventFilter(QObject* watched, QEvent* event) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    if (enter && !qobject_cast<SjTextEdit*>(w)) {
      focusNextChild();  // the leave check runs as the focus goes
      return true;
    }
    if (k->key() >= Qt::Key_F5 && k->key() <= Qt::Key_F8) {
      keyPressEvent(k);
      return true;
    }
    // Alt+Down: the strip's rows as a menu under the editor, for what a
    // double click on the strip picks
    const bool listDown = k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier);
    if (listDown && pai_Sel && stripControl_ >= 0 && w == widgets_[static_cast<size_t>(stripControl_)] &&
        pai_Sel->Strip().List()) {
      const SelStrip& strip = pai_Sel->Strip();
      auto* menu = new QMenu(this);
      menu->setObjectName("mnus_Sel");
      menu->setAttribute(Qt::WA_DeleteOnClose);
      for (int row : strip.Rows()) {
        const std::string sj = strip.List()->Cell(2, row);
        connect(menu->addAction(FromSj(sj).replace('&', QStringLiteral("&&"))), &QAction::triggered, this,
                [this, sj] { StripRowChosen(sj); });
      }
      menu->popup(w->mapToGlobal(QPoint(0, w->height())));
      return true;
    }
  }
  if (event->type() == QEvent::FocusIn && w && !loading_) {
    auto it = controlOf_.find(w);
    StripFollow(it == controlOf_.end() ? -1 : it->second);
  }
  // the list editor opens with a double click, or F9 from the keyboard
  const bool listKey =
      event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F9;
  if ((event->type() == QEvent::MouseButtonDblClick || listKey) && w) {
    auto it = controlOf_.find(w);
    if (it != controlOf_.end()) {
      const jsc::Control& c = model_->ControlList()[static_cast<size_t>(it->second)];
      if (c.kind == jsc::kCombo) {
        EditComboList(it->second);
        return true;
      }
      if (c.kind == jsc::kText && lists_->List(c.slot)) {
        EditTextList(it->second);
        return true;
      }
    }
  }
  if (event->type() == QEvent::FocusOut && !checking_ && !loading_ && w) {
    auto* fe = static_cast<QFocusEvent*>(event);
    // a message box taking the focus is part of the check, not a leave
    if (fe->reason() != Qt::PopupFocusReason && fe->reason() != Qt::ActiveWindowFocusReason) {
      checking_ = true;
      bool ok = true;
      if (w == txt_YMD || w == txt_Page || w == txt_Gyo) {
        ok = LeaveKeyBox(w);
      } else if (auto it = controlOf_.find(w); it != controlOf_.end()) {
        ok = LeaveControl(it->second);
      }
      checking_ = false;
      refused_ = ok ? nullptr : w;
      if (!ok) QTimer::singleShot(0, w, [w] { w->setFocus(); });
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmInput::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_F5:
      cmd_LeftClick();
      return;
    case Qt::Key_F6:
      cmd_RightClick();
      return;
    case Qt::Key_F7:
      cmd_NewClick();
      return;
    case Qt::Key_F8:
      cmd_InputClick();
      return;
    default:
      QDialog::keyPressEvent(e);
  }
}

void TfrmInput::AfterSave() {
  if (lists_->TakeFailedSaves() > 0) prompter_.Warn("入力履歴を保存できませんでした。"_sj);
}

void TfrmInput::NewRecord() {
  model_->ShowNewRecord();
  LoadWidgets();
  (model_->ByPage() ? txt_Page : txt_YMD)->setFocus();
}

void TfrmInput::cmd_InputClick() {
  if (!LeaveFocused()) return;
  if (!model_->SaveRecord()) {
    FocusTarget(model_->FocusTarget());
    return;
  }
  AfterSave();
  if (chk_Continu->isChecked()) {
    NewRecord();
  } else {
    LoadWidgets();
    HideForm();
  }
}

void TfrmInput::cmd_NewClick() {
  if (!LeaveFocused()) return;
  if (model_->Modified() && !model_->SaveRecord()) {
    FocusTarget(model_->FocusTarget());
    return;
  }
  AfterSave();
  NewRecord();
}

void TfrmInput::cmd_DelClick() {
  if (!model_->DeleteRecord(true)) return;
  if (chk_Continu->isChecked()) {
    NewRecord();
  } else {
    HideForm();
  }
}

void TfrmInput::cmd_LeftClick() { Step(-1); }

void TfrmInput::cmd_RightClick() { Step(1); }

void TfrmInput::Step(int direction) {
  if (!LeaveFocused()) return;
  if (!model_->StepRecord(direction)) {
    if (model_->FocusTarget() != CMyInput::kFocusNone) FocusTarget(model_->FocusTarget());
    QApplication::beep();
    return;
  }
  AfterSave();
  LoadWidgets();
}

void TfrmInput::ShowCalcNote(int control) {
  auto* e = qobject_cast<SjLineEdit*>(widgets_[static_cast<size_t>(control)]);
  if (!e) return;
  QString tip;
  for (const auto& ref : calc_->NotNumbers(control))
    tip += (tip.isEmpty() ? QString() : QStringLiteral("、")) + FromSj(ref);
  e->setToolTip(tip.isEmpty() ? QString() : tip + QStringLiteral(" は数値でないため 0 として計算しました"));
}

void TfrmInput::cmd_CloseClick() { reject(); }

// Escape, 閉じる and the title bar all hide the form; it lives as long as its
// book. What was typed is never thrown away without a word.
void TfrmInput::reject() {
  if (!MayLeave()) return;
  HideForm();
}

void TfrmInput::HideForm() {
  SavePlacement();
  hide();
}

void TfrmInput::closeEvent(QCloseEvent* e) {
  if (e->spontaneous() && !MayLeave()) {
    e->ignore();
    return;
  }
  SavePlacement();
  e->accept();
}

bool TfrmInput::MayLeave() {
  if (!isVisible() || !model_->Modified()) return true;
  switch (prompter_.Show("変更を登録しますか？"_sj, "確認"_sj, PromptIcon::Question,
                         PromptButtons::YesNoCancel, kAnswerYes)) {
    case kAnswerYes:
      if (!LeaveFocused()) return false;
      if (!model_->SaveRecord()) {
        FocusTarget(model_->FocusTarget());
        return false;
      }
      AfterSave();
      LoadWidgets();
      return true;
    case kAnswerNo:
      // the record as it is stored (a new one empty again, its key kept)
      model_->ShowRecord({}, model_->CurrentIndex());
      LoadWidgets();
      return true;
    default:
      return false;
  }
}

void TfrmInput::cbo_ColorChange(int index) {
  model_->ChooseColor(index);
  ShowColour();
  UpdateButtons();
}

void TfrmInput::pan_ColorClick() {
  std::vector<ColorKind> kinds;
  if (!editColorKinds || !editColorKinds(kinds)) return;
  model_->SetColorKinds(std::move(kinds));
  RefillColorItems();
  model_->ChooseColor(0);
  cbo_Color->setCurrentIndex(0);
  ShowColour();
}

void TfrmInput::RefillColorItems() {
  cbo_Color->clear();
  for (const auto& item : model_->ColorItems()) cbo_Color->addItem(FromSj(item));
}

void TfrmInput::ShowColour() {
  const QString fg = model_->UseTextColor() ? FromBgr(model_->TextColor()).name() : QStringLiteral("black");
  const QString bg = model_->UseBackColor() ? FromBgr(model_->BackColor()).name() : QString();
  pan_Color->setStyleSheet(
      bg.isEmpty()
          ? QStringLiteral("QPushButton { color: %1; }").arg(fg)
          : QStringLiteral("QPushButton { color: %1; background: %2; border: 1px solid #888; padding: 3px; }")
                .arg(fg, bg));
}

void TfrmInput::PlaceBesideParent() {
  placed_ = true;
  const int i = CMyGlobal::kInputForm;
  QRect want(global_.left[i], global_.top[i], width(), height());
  QScreen* s = screen() ? screen() : QApplication::primaryScreen();
  const QRect avail = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  if (global_.left[i] <= 0 && global_.top[i] <= 0 && parentWidget()) {
    // first use: to the right of the main window, inside the screen
    const QRect main = parentWidget()->frameGeometry();
    want.moveTopLeft(QPoint(main.right() + 8, main.top()));
  }
  if (!avail.contains(want.topLeft()) || want.right() > avail.right()) {
    want.moveLeft(std::max(avail.left(), std::min(want.left(), avail.right() - want.width())));
    want.moveTop(std::max(avail.top(), std::min(want.top(), avail.bottom() - want.height())));
  }
  move(want.topLeft());
  chk_Continu->setChecked(global_.ren);
}

void TfrmInput::SavePlacement() {
  if (!placed_) return;
  const int i = CMyGlobal::kInputForm;
  global_.left[i] = x();
  global_.top[i] = y();
  global_.ren = chk_Continu->isChecked();
}

void TfrmInput::StripFollow(int control) {
  if (!pai_Sel) return;
  const auto& controls = model_->ControlList();
  if (control < 0 || controls[static_cast<size_t>(control)].kind != jsc::kText) {
    stripControl_ = -1;
    pai_Sel->Forget();
    return;
  }
  const jsc::Control& c = controls[static_cast<size_t>(control)];
  const int parent =
      c.linkedSlot >= 0 && c.linkedSlot < 20 ? model_->ControlOf(jsc::kText, c.linkedSlot) : -1;
  const std::string parentText = parent >= 0 ? WidgetText(parent) : std::string();
  stripControl_ = control;
  pai_Sel->ShowList(lists_->List(c.slot), c.slot, c.linkedSlot, parentText);
}

void TfrmInput::StripRowChosen(const std::string& sj) {
  if (stripControl_ < 0) return;
  auto* e = qobject_cast<SjLineEdit*>(widgets_[static_cast<size_t>(stripControl_)]);
  if (!e) return;
  e->SetTextSj(sj);
  model_->SetValue(stripControl_, sj);
  UpdateButtons();
  e->setFocus();
  focusNextChild();
}

int TfrmInput::RunDialog(QDialog& dialog) {
  if (dialogs_) return dialogs_->Run(dialog);
  return dialog.exec();
}

void TfrmInput::ReloadLists() {
  lists_->Load(*model_);
  loading_ = true;
  for (size_t j = 0; j < widgets_.size(); ++j) {
    auto* cb = qobject_cast<SjComboBox*>(widgets_[j]);
    if (!cb) continue;
    const int slot = model_->ControlList()[j].slot;
    const QString keep = cb->currentText();
    cb->clear();
    const int parent = model_->ControlOf(jsc::kCombo, model_->PairParent());
    for (const auto& item : lists_->ComboItems(slot, parent >= 0 ? WidgetText(parent) : std::string()))
      cb->addItem(FromSj(item));
    cb->setEditText(keep);
  }
  loading_ = false;
}

void TfrmInput::EditComboList(int control) {
  const jsc::Control& c = model_->ControlList()[static_cast<size_t>(control)];
  if (c.slot < 0 || c.slot > 9) {
    prompter_.Warn("範囲内のコンボボックスを選択して下さい。"_sj);
    return;
  }
  const std::string dir = global_.DivisionPath("");
  if (c.slot == model_->PairChild() && lists_->Pair()) {
    // the child of the pair is edited as a table under the parent's text
    const int parent = model_->ControlOf(jsc::kCombo, model_->PairParent());
    CMySetMaster2::Args a;
    a.dir = dir;
    a.mode = CMySetMaster2::kPairChild;
    a.table = lists_->Pair();
    a.slot = c.slot;
    a.parentSlot = model_->PairParent();
    a.parentValue = parent >= 0 ? WidgetText(parent) : std::string();
    CMySetMaster2 m(a, &prompter_, &beeper_);
    TfrmSetMaster2 dlg(m, prompter_, &beeper_, this);
    (void)RunDialog(dlg);
    if (dlg.Result().saved) ReloadLists();
    return;
  }
  const bool parentOfPair = c.slot == model_->PairParent();
  CMySetMaster m(dir, c.slot, &prompter_, &beeper_, parentOfPair ? lists_->Pair() : nullptr,
                 parentOfPair ? model_->PairChild() : -1);
  TfrmSetMaster dlg(m, prompter_, &beeper_, this);
  (void)RunDialog(dlg);
  if (dlg.Result().saved) ReloadLists();
}

void TfrmInput::EditTextList(int control) {
  const jsc::Control& c = model_->ControlList()[static_cast<size_t>(control)];
  CMySetMaster2::Args a;
  a.dir = global_.DivisionPath("");
  a.mode = CMySetMaster2::kEditorList;
  a.table = lists_->List(c.slot);
  a.slot = c.slot;
  if (c.linkedSlot >= 0 && c.linkedSlot < 20) {
    a.parentSlot = c.linkedSlot;
    const int parent = model_->ControlOf(jsc::kText, c.linkedSlot);
    if (parent >= 0) a.parentValue = WidgetText(parent);
  }
  // a list that names this editor as its parent carries renamed items
  for (const auto& other : model_->ControlList()) {
    if (other.kind == jsc::kText && other.linkedSlot == c.slot && lists_->List(other.slot)) {
      a.child = lists_->List(other.slot);
      a.childSlot = other.slot;
    }
  }
  CMySetMaster2 m(a, &prompter_, &beeper_);
  TfrmSetMaster2 dlg(m, prompter_, &beeper_, this);
  (void)RunDialog(dlg);
  if (dlg.Result().saved || dlg.Result().childSaved) {
    ReloadLists();
    StripFollow(control);
  }
}

// ---- the photo box ---------------------------------------------------------------

void TfrmInput::PhotoChanged() {
  if (!pai_Phot) return;
  pai_Phot->Refresh();
  UpdateButtons();
}

void TfrmInput::cmd_KaoClick() {
  if (!pai_Phot || !files_) return;
  FileChoice choice;
  choice.title = "画像ファイルの選択"_sj;
  // cameras name their files in capitals as often as not
  choice.filter = "JPEG イメージファイル (*.jpg *.JPG)"_sj;
  const std::string chosen = files_->Choose(choice);
  if (chosen.empty()) return;
  std::string sj;
  if (cp932::FromUtf8(chosen, sj) != 0) {
    prompter_.Warn("この画像ファイルの名前は登録出来ない文字を含んでいます。"_sj);
    return;
  }
  if (!model_->ChoosePhoto(sj)) {
    beeper_.Beep();
    return;
  }
  PhotoChanged();
}

void TfrmInput::cmd_PhotViewClick() {
  if (photo_) photo_->ViewPhoto(false);
}

void TfrmInput::mnus_PhotRollRClick() {
  if (!model_->TurnPhoto(1)) beeper_.Beep();
  PhotoChanged();
}

void TfrmInput::mnus_PhotRollLClick() {
  if (!model_->TurnPhoto(-1)) beeper_.Beep();
  PhotoChanged();
}

void TfrmInput::mnus_PhotDelClick() {
  if (!photo_ || photo_->Path().empty()) return;
  if (!prompter_.Confirm("画像を破棄します。よろしいですか？"_sj)) return;
  model_->DiscardPhoto();
  PhotoChanged();
}

void TfrmInput::ShowPhotoMenu(const QPoint& globalPos) {
  if (!mnus_Phot) {
    mnus_Phot = new QMenu(this);
    mnus_Phot->setObjectName("mnus_Phot");
    auto item = [this](const char* name, const QString& caption, void (TfrmInput::*slot)()) {
      QAction* a = mnus_Phot->addAction(caption);
      a->setObjectName(name);
      connect(a, &QAction::triggered, this, slot);
    };
    item("cmd_PhotView", QStringLiteral("画像を表示する"), &TfrmInput::cmd_PhotViewClick);
    mnus_Phot->addSeparator();
    item("mnus_PhotRollR", QStringLiteral("画像を右に回転"), &TfrmInput::mnus_PhotRollRClick);
    item("mnus_PhotRollL", QStringLiteral("画像を左に回転"), &TfrmInput::mnus_PhotRollLClick);
    mnus_Phot->addSeparator();
    item("mnus_PhotDel", QStringLiteral("画像を破棄する"), &TfrmInput::mnus_PhotDelClick);
  }
  const bool has = photo_ && !photo_->Path().empty();
  for (QAction* a : mnus_Phot->actions())
    if (!a->isSeparator()) a->setEnabled(has);
  mnus_Phot->popup(globalPos);
}
