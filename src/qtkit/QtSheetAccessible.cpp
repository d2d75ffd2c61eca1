#include "qtkit/QtSheetAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <map>
#include <utility>

#include "qtkit/QtText.h"

namespace {
class SheetCell;
class SheetHeader;
}  // namespace

// The table a screen reader sees. Its cells and headers are made as they are
// asked for and kept in Qt's registry until the sheet shows other rows.
class QtSheetTable : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  QtSheetTable(QWidget* sheet, QtSheetAccess* access)
      : QAccessibleWidget(sheet, QAccessible::Table), access_(access) {
    access->table_ = this;
    access->Told();
  }
  ~QtSheetTable() override {
    if (access_) access_->table_ = nullptr;
    Forget();
  }

  const SheetText* Text() const { return access_ ? &access_->text_ : nullptr; }
  QString CellText(int row, int column) const {
    if (!Text()) return {};
    const std::vector<std::string> cells = Text()->RowCells(row);
    return column >= 0 && column < static_cast<int>(cells.size()) ? FromSj(cells[static_cast<size_t>(column)])
                                                                  : QString();
  }
  int Cursor() const { return Text() ? Text()->CursorRow() : -1; }
  bool SheetFocused() const { return widget()->hasFocus(); }
  QAccessibleInterface* Cell(int row, int column) const;
  QAccessibleInterface* Header(int column) const;
  // Drops every cell and header handed out (the rows they stood for are gone).
  void Forget() {
    for (const auto& [key, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    for (const auto& [key, id] : headers_) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
    headers_.clear();
  }

  // QAccessibleInterface
  bool isValid() const override { return QAccessibleWidget::isValid() && access_; }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && access_) return access_->Name();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    s.focused = SheetFocused();
    s.readOnly = true;
    return s;
  }
  int childCount() const override { return rowCount() * columnCount(); }
  QAccessibleInterface* child(int index) const override {
    const int columns = columnCount();
    if (index < 0 || columns == 0 || index >= childCount()) return nullptr;
    return Cell(index / columns, index % columns);
  }
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* focusChild() const override {
    return SheetFocused() && Cursor() >= 0 ? Cell(Cursor(), 0) : nullptr;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  // QAccessibleTableInterface: the cursor row is the one selected row.
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override { return Cell(row, column); }
  int selectedCellCount() const override { return Cursor() >= 0 ? columnCount() : 0; }
  QList<QAccessibleInterface*> selectedCells() const override {
    QList<QAccessibleInterface*> cells;
    for (int c = 0; Cursor() >= 0 && c < columnCount(); ++c) cells.append(Cell(Cursor(), c));
    return cells;
  }
  QString columnDescription(int column) const override {
    return Text() ? FromSj(Text()->Header(column)) : QString();
  }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return Cursor() >= 0 ? 1 : 0; }
  int columnCount() const override { return Text() ? Text()->ColumnCount() : 0; }
  int rowCount() const override { return Text() ? Text()->RowCount() : 0; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override {
    if (Cursor() < 0) return {};
    return {Cursor()};
  }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override { return row >= 0 && row == Cursor(); }
  // the cursor moves by the sheet's own keys, which also scroll and tell the status bar
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override { Forget(); }

 private:
  QPointer<QtSheetAccess> access_;
  mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
  mutable std::map<int, QAccessible::Id> headers_;
};

namespace {

// What a header and a cell share: a leaf of the table, with a name only.
class SheetLeaf : public QAccessibleInterface {
 public:
  explicit SheetLeaf(QtSheetTable* table) : table_(table) {}
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return table_->window(); }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return table_; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? Name() : QString(); }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  virtual QString Name() const = 0;
  QtSheetTable* table_;
};

// A column's header, as the screen's caption over it says.
class SheetHeader : public SheetLeaf {
 public:
  SheetHeader(QtSheetTable* table, int column) : SheetLeaf(table), column_(column) {}
  bool isValid() const override { return table_->isValid() && column_ < table_->columnCount(); }
  QRect rect() const override { return {}; }
  QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
  QAccessible::State state() const override { return {}; }

 private:
  QString Name() const override { return table_->columnDescription(column_); }
  int column_;
};

// One cell: the key area of a row, or one of its fields.
class SheetCell : public SheetLeaf, public QAccessibleTableCellInterface {
 public:
  SheetCell(QtSheetTable* table, int row, int column) : SheetLeaf(table), row_(row), column_(column) {}
  bool isValid() const override {
    return table_->isValid() && row_ < table_->rowCount() && column_ < table_->columnCount();
  }
  // the rows' places depend on the painter's scale; the sheet stands for them
  QRect rect() const override { return table_->rect(); }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    s.readOnly = true;
    s.selected = isSelected();
    s.focused = isSelected() && column_ == 0 && table_->SheetFocused();
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
  }
  // QAccessibleTableCellInterface
  bool isSelected() const override { return table_->isRowSelected(row_); }
  QList<QAccessibleInterface*> columnHeaderCells() const override {
    QAccessibleInterface* h = table_->Header(column_);
    return h ? QList<QAccessibleInterface*>{h} : QList<QAccessibleInterface*>{};
  }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return table_; }

 private:
  QString Name() const override { return table_->CellText(row_, column_); }
  int row_, column_;
};

QAccessibleInterface* SheetFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* access = object->findChild<QtSheetAccess*>(QString(), Qt::FindDirectChildrenOnly);
  return access ? new QtSheetTable(static_cast<QWidget*>(object), access) : nullptr;
}

}  // namespace

QAccessibleInterface* QtSheetTable::Cell(int row, int column) const {
  if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
  auto it = cells_.find({row, column});
  if (it != cells_.end()) return QAccessible::accessibleInterface(it->second);
  auto* cell = new SheetCell(const_cast<QtSheetTable*>(this), row, column);
  cells_[{row, column}] = QAccessible::registerAccessibleInterface(cell);
  return cell;
}

QAccessibleInterface* QtSheetTable::Header(int column) const {
  if (column < 0 || column >= columnCount()) return nullptr;
  auto it = headers_.find(column);
  if (it != headers_.end()) return QAccessible::accessibleInterface(it->second);
  auto* header = new SheetHeader(const_cast<QtSheetTable*>(this), column);
  headers_[column] = QAccessible::registerAccessibleInterface(header);
  return header;
}

int QtSheetTable::indexOfChild(const QAccessibleInterface* child) const {
  if (!child || child->parent() != this) return -1;
  auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
  if (!cell) return -1;
  return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QtSheetAccess::QtSheetAccess(QWidget* sheet, SheetText::Ports ports, std::function<QString()> name)
    : QObject(sheet), sheet_(sheet), text_(std::move(ports)), name_(std::move(name)) {
  static const bool installed = [] {
    QAccessible::installFactory(SheetFactory);
    return true;
  }();
  (void)installed;
  setObjectName(QStringLiteral("sheetAccess"));
  sheet->installEventFilter(this);
}

QtSheetAccess::~QtSheetAccess() {
  if (table_) table_->Forget();
}

void QtSheetAccess::Told() {
  told_.clear();
  for (int r = 0; r < text_.RowCount(); ++r) told_.push_back(text_.RowCells(r));
  std::vector<std::string> headers;
  for (int c = 0; c < text_.ColumnCount(); ++c) headers.push_back(text_.Header(c));
  told_.push_back(std::move(headers));
  toldCursor_ = text_.CursorRow();
}

void QtSheetAccess::Changed() {
  text_.Refresh();
  if (!table_) return;  // nobody has asked what the sheet shows
  const auto before = told_;
  const int cursorBefore = toldCursor_;
  Told();
  if (told_ != before) {
    table_->Forget();
    QAccessibleTableModelChangeEvent reset(sheet_, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
  } else if (toldCursor_ == cursorBefore) {
    return;
  }
  TellCursor();
}

void QtSheetAccess::TellCursor() {
  const int cursor = text_.CursorRow();
  if (cursor < 0 || text_.ColumnCount() == 0) return;
  const int child = cursor * text_.ColumnCount();
  QAccessibleEvent selection(sheet_, QAccessible::Selection);
  selection.setChild(child);
  QAccessible::updateAccessibility(&selection);
  if (!sheet_->hasFocus()) return;
  QAccessibleEvent focus(sheet_, QAccessible::Focus);
  focus.setChild(child);
  QAccessible::updateAccessibility(&focus);
}

bool QtSheetAccess::eventFilter(QObject* watched, QEvent* event) {
  // the sheet itself was focused: the screen reader is told the cursor's
  // cell after it was told of the table
  if (watched == sheet_ && event->type() == QEvent::FocusIn && table_)
    QMetaObject::invokeMethod(this, &QtSheetAccess::TellCursor, Qt::QueuedConnection);
  return QObject::eventFilter(watched, event);
}

QScrollBar* MakeKeyReceiver(QWidget* window, QWidget* sheet) {
  auto* key = new QScrollBar(Qt::Horizontal, window);
  key->setObjectName("scr_Key");
  key->setFixedSize(1, 1);
  key->setFocusPolicy(Qt::StrongFocus);
  key->setFocusProxy(sheet);
  key->installEventFilter(window);
  key->hide();
  return key;
}
