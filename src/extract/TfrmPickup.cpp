#include "extract/TfrmPickup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "catalogue/TfrmHanyoData.h"
#include "extract/CMyPickup.h"
#include "extract/TfrmSelect.h"
#include "platform/Prompter.h"
#include "qtkit/DialogRunner.h"
#include "qtkit/QtForm.h"
#include "qtkit/QtText.h"
#include "qtkit/SjLineEdit.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kAggSizeBytes = 2;  // "0".."15"
const QColor kNavy(0, 0, 128);    // the grid of the group layout
const QColor kFixedBack(0xF0, 0xF0, 0xF0);

// The key a typed text stands for in the grid's rules: full-width digits
// count as digits; anything else that is not ASCII is just "another key".
char KeyChar(const QString& text) {
  if (text.size() != 1) return ' ';
  const char16_t u = text[0].unicode();
  if (u >= 0xFF10 && u <= 0xFF19) return static_cast<char>('0' + (u - 0xFF10));
  if (u >= 0x20 && u < 0x7F) return static_cast<char>(u);
  return ' ';
}

// The editor of the two columns edited as text (条件値 and 集約サイズ): an
// SjLineEdit with the cell's byte limit, the input method on for 条件値 only.
// What it commits goes through the model, which may keep or clear it.
class CellEditor : public QStyledItemDelegate {
 public:
  CellEditor(CMyPickup& model, Prompter& prompter, QObject* parent)
      : QStyledItemDelegate(parent), model_(model), prompter_(prompter) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* e = new SjLineEdit(parent);
    e->SetPrompter(&prompter_);
    const bool value = model_.CellAt(index.column()) == CMyPickup::kValue;
    e->SetMaxBytes(value ? CMyPickup::kMaxValue : kAggSizeBytes);
    e->SetInputMethodOn(model_.ImeOn(index.column()));
    e->SetHalfWidth(!value);
    e->setFrame(false);
    open_ = true;
    return e;
  }
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    open_ = false;
    QStyledItemDelegate::destroyEditor(editor, index);
  }
  // A cell is being edited as text: its keys are the editor's.
  bool Open() const { return open_; }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<SjLineEdit*>(editor)->SetTextSj(model_.CellText(index.row(), index.column()));
  }
  void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& index) const override {
    model_.SetCellText(index.row(), index.column(), static_cast<SjLineEdit*>(editor)->TextSj());
    m->setData(index, FromSj(model_.CellText(index.row(), index.column())));
  }

 private:
  CMyPickup& model_;
  Prompter& prompter_;
  mutable bool open_ = false;
};

}  // namespace

TfrmPickup::TfrmPickup(CMyPickup& model, DialogRunner& dialogs, Prompter& prompter, Beeper& beeper,
                       std::function<void()> help, QWidget* parent)
    : QDialog(parent),
      model_(model),
      dialogs_(dialogs),
      prompter_(prompter),
      beeper_(beeper),
      help_(std::move(help)) {
  setObjectName("frmPickup");
  setWindowTitle(U("抽出条件設定"));
  BuildWidgets();
  Connect();
  model_.OpenDialog();
  FillMethods();
  LoadWidgets();
}

void TfrmPickup::BuildWidgets() {
  auto edit = [this](const char* name, int bytes) {
    auto* e = new SjLineEdit(this);
    e->setObjectName(name);
    e->SetPrompter(&prompter_);
    e->SetMaxBytes(bytes);
    return e;
  };
  auto radio = [](QWidget* owner, const char* text, const char* name) {
    auto* r = new QRadioButton(U(text), owner);
    r->setObjectName(name);
    return r;
  };
  auto check = [this](const char* text, const char* name) {
    auto* c = new QCheckBox(U(text), this);
    c->setObjectName(name);
    return c;
  };

  // the saved methods
  cbo_PickupName = new QComboBox(this);
  cbo_PickupName->setObjectName("cbo_PickupName");
  cbo_PickupName->setMinimumWidth(200);
  cmd_Save = qtform::Button(this, U("保存(&S)..."), "cmd_Save");
  cmd_Del = qtform::Button(this, U("削除"), "cmd_Del");
  auto* methodRow = new QHBoxLayout;
  auto* methodLabel = new QLabel(U("抽出方法"), this);
  methodLabel->setBuddy(cbo_PickupName);
  methodRow->addWidget(methodLabel);
  methodRow->addWidget(cbo_PickupName, 1);
  methodRow->addWidget(cmd_Save);
  methodRow->addWidget(cmd_Del);

  // display mode, colour-only records, lines per page
  auto* modeBox = new QGroupBox(U("表示モード"), this);
  modeBox->setObjectName("grp_Hyouzi");
  rdo_HyouziNormal = radio(modeBox, "ﾍﾟｰｼﾞ", "rdo_HyouziNormal");
  rdo_HyouziPickup = radio(modeBox, "集約", "rdo_HyouziPickup");
  rdo_HyouziGroup = radio(modeBox, "ｸﾞﾙｰﾌﾟ", "rdo_HyouziGroup");
  auto* modeLayout = new QHBoxLayout(modeBox);
  for (QRadioButton* r : {rdo_HyouziNormal, rdo_HyouziPickup, rdo_HyouziGroup}) modeLayout->addWidget(r);
  chk_NoData = check("色のみは対象外", "chk_NoData");
  txt_Line = edit("txt_Line", CMyPickup::kMaxLineText);
  txt_Line->setMaximumWidth(60);
  txt_Line->SetInputMethodOn(false);
  txt_Line->SetHalfWidth(true);
  auto* lineLabel = new QLabel(U("表示行数"), this);
  lineLabel->setBuddy(txt_Line);
  auto* modeRow = new QHBoxLayout;
  modeRow->addWidget(modeBox);
  modeRow->addWidget(chk_NoData);
  modeRow->addStretch(1);
  modeRow->addWidget(lineLabel);
  modeRow->addWidget(txt_Line);

  // the period
  grp_Kikan = new QGroupBox(this);
  grp_Kikan->setObjectName("grp_Kikan");
  rdo_KikanAll = radio(grp_Kikan, "全て", "rdo_KikanAll");
  rdo_KikanMM = radio(grp_Kikan, "当月", "rdo_KikanMM");
  rdo_KikanYYYY = radio(grp_Kikan, "当年", "rdo_KikanYYYY");
  rdo_KikanSel = radio(grp_Kikan, "期間", "rdo_KikanSel");
  txt_KikanFrom = edit("txt_KikanFrom", 10);
  txt_KikanTo = edit("txt_KikanTo", 10);
  for (SjLineEdit* e : {txt_KikanFrom, txt_KikanTo}) {
    e->setParent(grp_Kikan);
    e->setMaximumWidth(100);
    e->SetInputMethodOn(false);
    e->SetHalfWidth(true);
  }
  chk_KeySortDown = new QCheckBox(grp_Kikan);
  chk_KeySortDown->setObjectName("chk_KeySortDown");
  auto* kikan = new QHBoxLayout(grp_Kikan);
  for (QRadioButton* r : {rdo_KikanAll, rdo_KikanMM, rdo_KikanYYYY, rdo_KikanSel}) kikan->addWidget(r);
  kikan->addWidget(txt_KikanFrom);
  kikan->addWidget(new QLabel(U("～"), grp_Kikan));
  kikan->addWidget(txt_KikanTo);
  kikan->addStretch(1);
  kikan->addWidget(chk_KeySortDown);

  // the two pages of conditions
  tab_Main = new QTabWidget(this);
  tab_Main->setObjectName("tab_Main");
  tab_Simple = new QWidget;
  tab_Simple->setObjectName("tab_Simple");
  tab_Detail = new QWidget;
  tab_Detail->setObjectName("tab_Detail");
  tab_Main->addTab(tab_Simple, U("簡易"));
  tab_Main->addTab(tab_Detail, U("詳細"));

  cbo_Name = new SjComboBox(tab_Simple);
  cbo_Name->setObjectName("cbo_Name");
  cbo_Name->Edit()->SetPrompter(&prompter_);
  txt_Data = edit("txt_Data", CMyPickup::kMaxSearchText);
  txt_Data->setAccessibleName(U("検索する文字"));
  txt_Data->setParent(tab_Simple);
  cbo_Kind = new QComboBox(tab_Simple);
  cbo_Kind->setObjectName("cbo_Kind");
  chk_icmp = new QCheckBox(U("大文字小文字を判断する"), tab_Simple);
  chk_icmp->setObjectName("chk_icmp");
  cbo_Sort = new SjComboBox(tab_Simple);
  cbo_Sort->setObjectName("cbo_Sort");
  cbo_Sort->Edit()->SetPrompter(&prompter_);
  chk_SortDown = new QCheckBox(U("降順"), tab_Simple);
  chk_SortDown->setObjectName("chk_SortDown");
  for (const std::string& s : model_.NameItems()) cbo_Name->addItem(FromSj(s));
  for (const std::string& s : model_.KindItems()) cbo_Kind->addItem(FromSj(s));
  for (const std::string& s : model_.SortItems()) cbo_Sort->addItem(FromSj(s));
  auto* simple = new QGridLayout(tab_Simple);
  simple->addWidget(new QLabel(U("項目名"), tab_Simple), 0, 0);
  simple->addWidget(cbo_Name, 0, 1);
  simple->addWidget(new QLabel(U("検索文字列"), tab_Simple), 1, 0);
  simple->addWidget(txt_Data, 1, 1);
  simple->addWidget(new QLabel(U("検索方法"), tab_Simple), 2, 0);
  simple->addWidget(cbo_Kind, 2, 1);
  simple->addWidget(chk_icmp, 3, 1);
  simple->addWidget(new QLabel(U("ソート項目名"), tab_Simple), 4, 0);
  simple->addWidget(cbo_Sort, 4, 1);
  simple->addWidget(chk_SortDown, 4, 2);
  simple->setColumnStretch(1, 1);
  simple->setRowStretch(5, 1);

  gri_Main = new QTableWidget(tab_Detail);
  gri_Main->setObjectName("gri_Main");
  gri_Main->verticalHeader()->hide();
  gri_Main->verticalHeader()->setDefaultSectionSize(22);
  gri_Main->horizontalHeader()->setStretchLastSection(true);
  gri_Main->setSelectionMode(QAbstractItemView::SingleSelection);
  gri_Main->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
  gri_Main->setItemDelegate(new CellEditor(model_, prompter_, gri_Main));
  gri_Main->installEventFilter(this);
  gri_Main->setMinimumHeight(260);
  cmd_Sel = qtform::Button(gri_Main->viewport(), U("..."), "cmd_Sel");
  cmd_Sel->setFocusPolicy(Qt::NoFocus);  // F4 or Alt+Down in the grid presses it
  cmd_Sel->setAccessibleName(U("値の一覧"));
  cmd_Sel->setToolTip(U("値を一覧から選ぶ (F4)"));
  cmd_Sel->hide();
  auto* detail = new QVBoxLayout(tab_Detail);
  detail->setContentsMargins(2, 2, 2, 2);
  detail->addWidget(gri_Main);

  sbr_Help = new QStatusBar(this);
  sbr_Help->setObjectName("StatusBar");
  sbr_Help->setSizeGripEnabled(false);

  cmd_Ok = qtform::Button(this, U("抽出(&P)"), "cmd_Ok");
  cmd_Cancel = qtform::Button(this, U("ｷｬﾝｾﾙ(&C)"), "cmd_Cancel");
  cmd_Help = qtform::Button(this, U("ﾍﾙﾌﾟ(&H)"), "cmd_Help");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_Ok);
  buttons->addWidget(cmd_Cancel);
  buttons->addWidget(cmd_Help);

  auto* all = new QVBoxLayout(this);
  all->addLayout(methodRow);
  all->addLayout(modeRow);
  all->addWidget(grp_Kikan);
  all->addWidget(tab_Main, 1);
  all->addLayout(buttons);
  all->addWidget(sbr_Help);
  resize(600, 560);

  // the captions that follow the book's kind
  grp_Kikan->setTitle(FromSj(model_.PeriodBoxCaption()));
  rdo_KikanMM->setText(FromSj(model_.CurrentPeriodCaption()));
  rdo_KikanSel->setText(FromSj(model_.RangeCaption()));
  chk_KeySortDown->setText(FromSj(model_.KeyDownCaption()));
  rdo_KikanYYYY->setVisible(model_.YearShown());

  for (SjLineEdit* e : {txt_Line, txt_KikanFrom, txt_KikanTo}) e->installEventFilter(this);
}

void TfrmPickup::Connect() {
  // Enter in a box moves on, as everywhere in the program
  for (SjLineEdit* e : {txt_Line, txt_KikanFrom, txt_KikanTo, txt_Data})
    connect(e, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });

  connect(cbo_PickupName, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this](int i) { cbo_PickupNameChange(i); });
  connect(cmd_Save, &QPushButton::clicked, this, [this] { cmd_SaveClick(); });
  connect(cmd_Del, &QPushButton::clicked, this, [this] { cmd_DelClick(); });
  connect(cmd_Sel, &QPushButton::clicked, this, [this] { cmd_SelClick(); });
  connect(cmd_Ok, &QPushButton::clicked, this, [this] { (void)cmd_OkClick(); });
  connect(cmd_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmd_Help, &QPushButton::clicked, this, [this] {
    if (help_) help_();
  });

  const std::pair<QRadioButton*, int> modes[] = {{rdo_HyouziNormal, CMyPickup::kPageDisplay},
                                                 {rdo_HyouziPickup, CMyPickup::kCompactList},
                                                 {rdo_HyouziGroup, CMyPickup::kGroupDisplay}};
  for (const auto& [r, mode] : modes) {
    connect(r, &QRadioButton::toggled, this, [this, mode = mode](bool on) {
      if (on && !loading_) SetMode(mode);
    });
  }
  const std::pair<QRadioButton*, int> periods[] = {{rdo_KikanAll, CMyPickup::kAll},
                                                   {rdo_KikanMM, CMyPickup::kCurrent},
                                                   {rdo_KikanYYYY, CMyPickup::kYear},
                                                   {rdo_KikanSel, CMyPickup::kRange}};
  for (const auto& [r, period] : periods) {
    connect(r, &QRadioButton::toggled, this, [this, period = period](bool on) {
      if (on && !loading_) SetPeriod(period);
    });
  }
  connect(txt_KikanFrom, &QLineEdit::textEdited, this, [this] {
    model_.SetFromText(txt_KikanFrom->TextSj());
    LoadPeriod();
  });
  connect(txt_KikanTo, &QLineEdit::textEdited, this, [this] {
    model_.SetToText(txt_KikanTo->TextSj());
    LoadPeriod();
  });
  connect(txt_Line, &QLineEdit::textChanged, this, [this] {
    if (!loading_) model_.SetLineText(txt_Line->TextSj());
  });
  connect(chk_NoData, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) model_.SetNoData(on);
  });
  connect(chk_KeySortDown, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) model_.SetKeyDown(on);
  });
  connect(tab_Main, &QTabWidget::currentChanged, this, [this](int i) {
    if (!loading_) model_.SetDetailPage(tab_Main->widget(i) == tab_Detail);
    CellChanged();
  });

  connect(cbo_Name, &QComboBox::currentTextChanged, this, [this] {
    if (!loading_) model_.SetSimpleName(cbo_Name->TextSj());
  });
  connect(txt_Data, &QLineEdit::textChanged, this, [this] {
    if (!loading_) model_.SetSimpleText(txt_Data->TextSj());
  });
  connect(cbo_Kind, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int i) {
    if (!loading_) model_.SetSimpleKind(i);
  });
  connect(chk_icmp, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) model_.SetCaseSensitive(on);
  });
  connect(cbo_Sort, &QComboBox::currentTextChanged, this, [this] {
    if (!loading_) model_.SetSimpleSort(cbo_Sort->TextSj());
  });
  connect(chk_SortDown, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) model_.SetSimpleSortDown(on);
  });

  connect(gri_Main, &QTableWidget::currentCellChanged, this, [this] { CellChanged(); });
  connect(gri_Main->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceSelButton(); });
  connect(gri_Main->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceSelButton(); });
  connect(gri_Main->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceSelButton(); });
}

// ---- showing the model ----

void TfrmPickup::LoadWidgets() {
  loading_ = true;
  exitRefused_ = false;  // the boxes show other texts now
  LoadLayout();
  chk_NoData->setChecked(model_.NoData());
  txt_Line->SetTextSj(model_.LineText());
  chk_KeySortDown->setChecked(model_.KeyDown());
  cbo_Name->SetTextSj(model_.SimpleName());
  txt_Data->SetTextSj(model_.SimpleText());
  cbo_Kind->setCurrentIndex(model_.SimpleKind());
  chk_icmp->setChecked(model_.CaseSensitive());
  cbo_Sort->SetTextSj(model_.SimpleSort());
  chk_SortDown->setChecked(model_.SimpleSortDown());
  LoadPeriod();
  txt_KikanFrom->SetTextSj(model_.FromText());
  txt_KikanTo->SetTextSj(model_.ToText());
  LoadGrid();
  loading_ = false;
  CellChanged();
}

void TfrmPickup::LoadLayout() {
  const int mode = model_.Mode();
  rdo_HyouziNormal->setChecked(mode == CMyPickup::kPageDisplay);
  rdo_HyouziPickup->setChecked(mode == CMyPickup::kCompactList);
  rdo_HyouziGroup->setChecked(mode == CMyPickup::kGroupDisplay);
  // groups are set up on the detail page only
  const bool wasLoading = loading_;
  loading_ = true;
  tab_Main->setTabVisible(0, model_.SimplePageShown());
  tab_Main->setCurrentWidget(model_.DetailPage() ? tab_Detail : tab_Simple);
  loading_ = wasLoading;
}

void TfrmPickup::LoadPeriod() {
  const bool wasLoading = loading_;
  loading_ = true;
  const int p = model_.GetPeriod();
  rdo_KikanAll->setChecked(p == CMyPickup::kAll);
  rdo_KikanMM->setChecked(p == CMyPickup::kCurrent);
  rdo_KikanYYYY->setChecked(p == CMyPickup::kYear);
  rdo_KikanSel->setChecked(p == CMyPickup::kRange);
  loading_ = wasLoading;
}

void TfrmPickup::LoadGrid() {
  const int rows = model_.RowCount();
  const int cols = model_.GridColumns();
  if (gri_Main->rowCount() != rows || gri_Main->columnCount() != cols) {
    gri_Main->setRowCount(rows);
    gri_Main->setColumnCount(cols);
    QStringList headers;
    for (int c = 0; c < cols; ++c) headers << FromSj(model_.HeaderText(c));
    gri_Main->setHorizontalHeaderLabels(headers);
    gri_Main->setColumnHidden(0, true);  // the row kind
    gri_Main->setColumnWidth(1, 130);
    for (int c = 2; c < cols; ++c) {
      const CMyPickup::Cell cell = model_.CellAt(c);
      if (cell != CMyPickup::kValue) gri_Main->setColumnWidth(c, cell == CMyPickup::kAggregate ? 84 : 72);
    }
  }
  const QBrush text(model_.GroupLayout() ? kNavy : QColor(Qt::black));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      QTableWidgetItem* item = gri_Main->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        gri_Main->setItem(r, c, item);
      }
      const CMyPickup::Cell cell = model_.CellAt(c);
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (cell == CMyPickup::kValue || cell == CMyPickup::kAggSize) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      item->setText(FromSj(model_.CellText(r, c)));
      item->setForeground(text);
      if (cell == CMyPickup::kCaption) item->setBackground(kFixedBack);
    }
  }
  PlaceSelButton();
}

void TfrmPickup::FillMethods() {
  const bool wasLoading = loading_;
  loading_ = true;
  const QSignalBlocker block(cbo_PickupName);
  cbo_PickupName->clear();
  for (const std::string& m : model_.MethodItems()) cbo_PickupName->addItem(FromSj(m));
  cbo_PickupName->setCurrentIndex(model_.SelectedMethod());
  cmd_Del->setEnabled(model_.DeleteEnabled());
  loading_ = wasLoading;
}

QString TfrmPickup::ColumnHelp() const {
  return FromSj(model_.ColumnHelp(gri_Main->currentRow(), gri_Main->currentColumn()));
}

void TfrmPickup::CellChanged() {
  const bool onGrid = tab_Main->currentWidget() == tab_Detail && gri_Main->currentColumn() >= 0;
  if (onGrid)
    sbr_Help->showMessage(ColumnHelp());
  else
    sbr_Help->clearMessage();
  // the input method is for the condition values only
  gri_Main->setAttribute(Qt::WA_InputMethodEnabled, model_.ImeOn(gri_Main->currentColumn()));
  PlaceSelButton();
}

void TfrmPickup::PlaceSelButton() {
  const int row = gri_Main->currentRow();
  if (tab_Main->currentWidget() != tab_Detail || row < 0 || row >= model_.RowCount() ||
      model_.GetRow(row).list < 0) {
    cmd_Sel->hide();
    return;
  }
  const QRect cell = gri_Main->visualRect(gri_Main->model()->index(row, model_.ValueColumn()));
  if (!cell.isValid() || !gri_Main->viewport()->rect().intersects(cell)) {
    cmd_Sel->hide();
    return;
  }
  const int w = std::min(22, cell.width());
  cmd_Sel->setGeometry(cell.right() - w + 1, cell.top(), w, cell.height());
  cmd_Sel->show();
  cmd_Sel->raise();
}

// ---- the controls' changes ----

void TfrmPickup::SetMode(int mode) {
  model_.SetMode(mode);
  LoadWidgets();
}

void TfrmPickup::SetPeriod(int period) {
  model_.SetPeriod(period);
  if (period != CMyPickup::kRange) exitRefused_ = false;  // the range boxes are cleared
  loading_ = true;
  txt_KikanFrom->SetTextSj(model_.FromText());
  txt_KikanTo->SetTextSj(model_.ToText());
  loading_ = false;
  LoadPeriod();
}

bool TfrmPickup::Exit(SjLineEdit* box, bool ok) {
  exitRefused_ = !ok;
  if (!ok) qtform::FocusLater(box);
  return ok;
}

bool TfrmPickup::txt_KikanFromExit() {
  // only typing selects the range: passing through an empty box does not
  if (txt_KikanFrom->TextSj() != model_.FromText()) model_.SetFromText(txt_KikanFrom->TextSj());
  const bool ok = model_.LeaveFromBox();
  if (ok) txt_KikanFrom->SetTextSj(model_.FromText());  // in the normal date form
  LoadPeriod();
  return Exit(txt_KikanFrom, ok);
}

bool TfrmPickup::txt_KikanToExit() {
  if (txt_KikanTo->TextSj() != model_.ToText()) model_.SetToText(txt_KikanTo->TextSj());
  const bool ok = model_.LeaveToBox();
  if (ok) txt_KikanTo->SetTextSj(model_.ToText());
  LoadPeriod();
  return Exit(txt_KikanTo, ok);
}

bool TfrmPickup::txt_LineExit() {
  model_.SetLineText(txt_Line->TextSj());
  return Exit(txt_Line, model_.LeaveLineBox());
}

bool TfrmPickup::gri_MainKeyPress(int key, const QString& text) {
  const int row = gri_Main->currentRow();
  const int col = gri_Main->currentColumn();
  if (row < 0 || col < 0) return false;
  const bool erase = key == Qt::Key_Backspace || key == Qt::Key_Delete;
  const bool typed = !text.isEmpty() && text[0].isPrint();
  if (!erase && !typed) return false;  // moving about, Enter, F2: the grid's own
  switch (model_.CellAt(col)) {
    case CMyPickup::kSortNo:
    case CMyPickup::kOrder:
    case CMyPickup::kAggregate:
      if (erase)
        model_.EraseKey(row, col);
      else
        model_.TypeKey(row, col, KeyChar(text));
      break;
    case CMyPickup::kAggSize:
      if (erase) {
        model_.EraseKey(row, col);
      } else if (model_.GetRow(row).sortNo.empty()) {
        model_.SetCellText(row, col, {});  // a size belongs to a group key only
      } else {
        return false;  // the editor opens with the key
      }
      break;
    case CMyPickup::kValue:
      if (key != Qt::Key_Delete) return false;
      model_.EraseKey(row, col);
      break;
    default:
      return typed;  // the caption is not typed over
  }
  LoadGrid();
  CellChanged();
  return true;
}

bool TfrmPickup::eventFilter(QObject* watched, QEvent* event) {
  if (watched == gri_Main && event->type() == QEvent::KeyPress &&
      !static_cast<CellEditor*>(gri_Main->itemDelegate())->Open()) {
    auto* k = static_cast<QKeyEvent*>(event);
    // the value's list, as a drop-down list opens from the keyboard
    const bool listKey =
        k->key() == Qt::Key_F4 || (k->key() == Qt::Key_Down && (k->modifiers() & Qt::AltModifier));
    if (listKey && cmd_Sel->isVisible()) {
      cmd_SelClick();
      return true;
    }
    if (gri_MainKeyPress(k->key(), k->text())) return true;
  }
  if (event->type() == QEvent::FocusOut && !loading_ && !exiting_ && isVisible()) {
    const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
    // a message box or another window taking the focus is no leaving
    if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason) {
      exiting_ = true;
      if (watched == txt_KikanFrom) (void)txt_KikanFromExit();
      if (watched == txt_KikanTo) (void)txt_KikanToExit();
      if (watched == txt_Line) (void)txt_LineExit();
      exiting_ = false;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// ---- the buttons ----

int TfrmPickup::cmd_OkClick() {
  if (exitRefused_) {
    // the box that was just left has told what is wrong with it
    exitRefused_ = false;
    return CMyPickup::kRefused;
  }
  const int rc = model_.Apply();
  if (rc == CMyPickup::kOk) {
    accept();
    return rc;
  }
  prompter_.Warn(model_.Message());
  if (rc == CMyPickup::kCellRefused) {
    tab_Main->setCurrentWidget(tab_Detail);
    gri_Main->setCurrentCell(model_.FocusRow(), model_.FocusColumn());
    gri_Main->setFocus();
  } else if (rc == CMyPickup::kPeriodRefused) {
    txt_KikanFrom->setFocus();
  }
  return rc;
}

void TfrmPickup::cbo_PickupNameChange(int index) {
  if (loading_ || index < 0) return;
  model_.SelectMethod(index);
  cmd_Del->setEnabled(model_.DeleteEnabled());
  LoadWidgets();
}

void TfrmPickup::cmd_SaveClick() {
  TfrmHanyoData dlg(2, FromSj(model_.SaveNamePrefill()), prompter_, &beeper_, this);
  if (dialogs_.Run(dlg) != QDialog::Accepted) return;
  if (model_.SaveMethod(dlg.TextSj()) == 0) FillMethods();
}

void TfrmPickup::cmd_DelClick() {
  if (model_.DeleteMethod() != 0) return;
  FillMethods();
  cbo_PickupName->setFocus();
}

void TfrmPickup::cmd_SelClick() {
  const int row = gri_Main->currentRow();
  std::vector<std::string> items;
  if (!model_.ValueChoices(row, items)) {
    beeper_.Beep();
    return;
  }
  TfrmSelect dlg(
      items, [this, row, &items](int chosen) { return model_.ChooseValue(row, items, chosen); }, this);
  dlg.move(cmd_Sel->mapToGlobal(QPoint(0, cmd_Sel->height())));
  if (dialogs_.Run(dlg) != QDialog::Accepted) return;
  LoadGrid();
}
