#include "platform/ui/listbox.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

#include "platform/core/errors.h"
#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/ui/focus_ring.h"
#include "platform/ui/widget_support.h"

namespace rt {

namespace {
constexpr int32_t kMaxColumns = 256;
}

// Shows the list box's own rows, nothing copied into the view: the first shown of them,
// those the view has been told of.
class Listbox::Rows : public QAbstractTableModel {
 public:
  explicit Rows(const Listbox* box) : box_(box), shown_(box->rows_.size()) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(shown_);
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : Columns();
  }
  // The view asks these of every row each time it lays the rows out, once per new batch of
  // rows: answered here without the base class's round of further virtual calls.
  QModelIndex index(int row, int column, const QModelIndex& parent) const override {
    if (parent.isValid() || row < 0 || column < 0 || static_cast<size_t>(row) >= shown_ ||
        column >= Columns())
      return {};
    return createIndex(row, column);
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (index.model() != this || index.row() < 0 || static_cast<size_t>(index.row()) >= shown_)
      return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
  }
  bool hasChildren(const QModelIndex& parent) const override {
    return !parent.isValid() && shown_ > 0;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return ToQString(box_->Cell(index.row(), index.column()));
  }
  QVariant headerData(int, Qt::Orientation, int) const override { return {}; }

  // Tells the view of the rows added since it last heard, in one step.
  void ShowNewRows() {
    const size_t n = box_->rows_.size();
    if (n <= shown_) return;
    beginInsertRows(QModelIndex(), static_cast<int>(shown_), static_cast<int>(n - 1));
    shown_ = n;
    endInsertRows();
  }
  void BeginReset() { beginResetModel(); }
  void EndReset() {
    shown_ = box_->rows_.size();
    endResetModel();
  }

 private:
  int Columns() const { return std::clamp(box_->columnCount_, 1, kMaxColumns); }
  const Listbox* box_;
  size_t shown_;
};

ClassTable* Listbox::__Lookup() {
  static ClassTable* cls = [] {
    using L = Listbox;
    ClassTable* c = DefineClass<L>("Listbox", RectControl::__Lookup(), 0, 0, 30);
    RuntimeNewVtable(c, RectControl::kSlotCount);
    AddProperty<&L::GetBorder, &L::SetBorder>(c, "Border");
    AddProperty<&L::GetColumnCount, &L::SetColumnCount>(c, "ColumnCount");
    AddField<&L::ColumnWidths>(c, "ColumnWidths");
    AddProperty<&L::GetHasHeading, &L::SetHasHeading>(c, "HasHeading");
    AddProperty<&L::GetUseFocusRing, &L::SetUseFocusRing>(c, "UseFocusRing");
    AddProperty<&L::GetInitialValue, &L::SetInitialValue>(c, "InitialValue");
    AddField<&L::HeadingIndex>(c, "HeadingIndex");
    AddProperty<&L::GetScrollBarHorizontal, &L::SetScrollBarHorizontal>(c, "ScrollBarHorizontal");
    AddProperty<&L::GetScrollBarVertical, &L::SetScrollBarVertical>(c, "ScrollBarVertical");
    AddField<&L::GridLinesHorizontal>(c, "GridLinesHorizontal");
    AddField<&L::GridLinesVertical>(c, "GridLinesVertical");
    AddField<&L::DefaultRowHeight>(c, "DefaultRowHeight");
    AddField<&L::ShowDropIndicator>(c, "ShowDropIndicator");
    AddField<&L::_ScrollWidth>(c, "_ScrollWidth");
    AddField<&L::_ScrollOffset>(c, "_ScrollOffset");
    RectControl::AddFontProperties(c);
    AddField<&L::Hierarchical>(c, "Hierarchical");
    AddField<&L::EnableDrag>(c, "EnableDrag");
    AddField<&L::EnableDragReorder>(c, "EnableDragReorder");
    AddField<&L::RequiresSelection>(c, "RequiresSelection");
    AddProperty<&L::GetSelectionType, &L::SetSelectionType>(c, "SelectionType");
    AddField<&L::ColumnsResizable>(c, "ColumnsResizable");
    AddProperty<&L::GetAutoHideScrollbars, &L::SetAutoHideScrollbars>(c, "AutoHideScrollbars");
    AddField<&L::DataSource>(c, "DataSource");
    AddField<&L::DataField>(c, "DataField");
    return c;
  }();
  return cls;
}

Listbox::Listbox() = default;
Listbox::~Listbox() { model_.reset(); }  // before the rows it reads

QWidget* Listbox::CreatePeer(QWidget* parent) {
  auto* view = new QTreeView(parent);
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);  // appending a row costs no measuring of the others
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->header()->setStretchLastSection(true);
  model_ = std::make_unique<Rows>(this);
  view->setModel(model_.get());
  return view;
}

void Listbox::SyncPeer(QWidget* peer) {
  RectControl::SyncPeer(peer);
  ApplyView();
  ApplyScrollBars();
}

void Listbox::ApplyView() {
  auto* view = static_cast<QTreeView*>(PeerForUpdate());
  if (!view) return;
  view->setFrameShape(border_ ? QFrame::StyledPanel : QFrame::NoFrame);
  view->setHeaderHidden(!hasHeading_);
  view->setSelectionMode(selectionType_ == 0 ? QAbstractItemView::SingleSelection
                                             : QAbstractItemView::ExtendedSelection);
  auto* ring = FocusRing::Of(view);
  if (useFocusRing_ && !ring) new FocusRing(view);
  if (!useFocusRing_) delete ring;
}

void Listbox::ApplyScrollBars() {
  auto* view = static_cast<QTreeView*>(PeerForUpdate());
  if (!view) return;
  auto policy = [this](bool on) {
    if (!on) return Qt::ScrollBarAlwaysOff;
    return autoHideScrollbars_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
  };
  view->setHorizontalScrollBarPolicy(policy(scrollBarHorizontal_));
  view->setVerticalScrollBarPolicy(policy(scrollBarVertical_));
}

void Listbox::DeleteAllRows(Listbox* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  self->ReplaceRows({});
}

void Listbox::AddRow(Listbox* self, StringArray* cells) {
  _UITrap();
  if (!self || !cells) RaiseNilObjectException();
  self->rows_.push_back(cells->Items());
  if (self->model_) self->Lag();
}

void Listbox::CatchUp() {
  if (model_) model_->ShowNewRows();
}

void Listbox::ShowLastRow() {
  auto* view = static_cast<QTreeView*>(Peer());
  if (!view || !model_ || rows_.empty()) return;
  model_->ShowNewRows();
  view->scrollTo(model_->index(ListCount() - 1, 0, QModelIndex()),
                 QAbstractItemView::EnsureVisible);
}

// The view learns of a whole new set of rows at once, so it never reads a row that went.
void Listbox::ReplaceRows(std::vector<std::vector<String>> rows) {
  if (model_) model_->BeginReset();
  rows_ = std::move(rows);
  if (model_) model_->EndReset();
}

String Listbox::Cell(int32_t row, int32_t column) const {
  if (row < 0 || row >= ListCount() || column < 0) return {};
  const auto& r = rows_[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < r.size() ? r[static_cast<size_t>(column)] : String();
}

bool Listbox::GetBorder(Listbox* self) { return self->border_; }
void Listbox::SetBorder(Listbox* self, bool v) {
  _UITrap();
  self->border_ = v;
  self->ApplyView();
}

int32_t Listbox::GetColumnCount(Listbox* self) { return self->columnCount_; }
void Listbox::SetColumnCount(Listbox* self, int32_t v) {
  _UITrap();
  if (self->model_) self->model_->BeginReset();
  self->columnCount_ = v;
  if (self->model_) self->model_->EndReset();
}

bool Listbox::GetHasHeading(Listbox* self) { return self->hasHeading_; }
void Listbox::SetHasHeading(Listbox* self, bool v) {
  _UITrap();
  self->hasHeading_ = v;
  self->ApplyView();
}

String Listbox::GetInitialValue(Listbox* self) { return self->initialValue_; }
void Listbox::SetInitialValue(Listbox* self, const String& v) {
  _UITrap();
  self->initialValue_ = v;
  std::vector<std::vector<String>> rows;
  const std::string_view text = v.View();
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    std::vector<String> cells;
    const std::string_view line = text.substr(at, end - at);
    for (size_t c = 0;;) {
      const size_t tab = line.find('\t', c);
      cells.emplace_back(line.substr(c, tab == std::string_view::npos ? line.npos : tab - c));
      if (tab == std::string_view::npos) break;
      c = tab + 1;
    }
    rows.push_back(std::move(cells));
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
  }
  self->ReplaceRows(std::move(rows));
}

bool Listbox::GetScrollBarHorizontal(Listbox* self) { return self->scrollBarHorizontal_; }
void Listbox::SetScrollBarHorizontal(Listbox* self, bool v) {
  _UITrap();
  self->scrollBarHorizontal_ = v;
  self->ApplyScrollBars();
}
bool Listbox::GetScrollBarVertical(Listbox* self) { return self->scrollBarVertical_; }
void Listbox::SetScrollBarVertical(Listbox* self, bool v) {
  _UITrap();
  self->scrollBarVertical_ = v;
  self->ApplyScrollBars();
}
bool Listbox::GetAutoHideScrollbars(Listbox* self) { return self->autoHideScrollbars_; }
void Listbox::SetAutoHideScrollbars(Listbox* self, bool v) {
  _UITrap();
  self->autoHideScrollbars_ = v;
  self->ApplyScrollBars();
}

int32_t Listbox::GetSelectionType(Listbox* self) { return self->selectionType_; }
void Listbox::SetSelectionType(Listbox* self, int32_t v) {
  _UITrap();
  self->selectionType_ = v;
  self->ApplyView();
}

bool Listbox::GetUseFocusRing(Listbox* self) { return self->useFocusRing_; }
void Listbox::SetUseFocusRing(Listbox* self, bool v) {
  _UITrap();
  self->useFocusRing_ = v;
  self->ApplyView();
}

}  // namespace rt
