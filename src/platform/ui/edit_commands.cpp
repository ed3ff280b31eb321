#include "platform/ui/edit_commands.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>
#include <utility>

namespace rt {

namespace {

struct TextState {
  bool readOnly, selection, undo, paste, text, reveals;
};

// What one kind of text control offers the commands.
struct TextKind {
  TextState (*state)(QWidget*);
  void (*undo)(QWidget*);
  void (*cut)(QWidget*);
  void (*copy)(QWidget*);
  void (*paste)(QWidget*);
  void (*clearSelection)(QWidget*);
  void (*selectAll)(QWidget*);
};

template <class Edit>  // QPlainTextEdit or QTextEdit
TextState StateOf(Edit* e) {
  return {e->isReadOnly(), e->textCursor().hasSelection(), e->document()->isUndoAvailable(),
          e->canPaste(),   !e->document()->isEmpty(),      true};
}
TextState StateOf(QLineEdit* e) {
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  return {e->isReadOnly(),         e->hasSelectedText(), e->isUndoAvailable(),
          clip && clip->hasText(), !e->text().isEmpty(), e->echoMode() == QLineEdit::Normal};
}

template <class Edit>
void ClearSelection(Edit* e) {
  QTextCursor cursor = e->textCursor();
  cursor.removeSelectedText();
  e->setTextCursor(cursor);
}
void ClearSelection(QLineEdit* e) { e->del(); }  // with a selection: deletes just that

template <class Edit>
constexpr TextKind KindOf() {
  return {
      [](QWidget* w) { return StateOf(static_cast<Edit*>(w)); },
      [](QWidget* w) { static_cast<Edit*>(w)->undo(); },
      [](QWidget* w) { static_cast<Edit*>(w)->cut(); },
      [](QWidget* w) { static_cast<Edit*>(w)->copy(); },
      [](QWidget* w) { static_cast<Edit*>(w)->paste(); },
      [](QWidget* w) { ClearSelection(static_cast<Edit*>(w)); },
      [](QWidget* w) { static_cast<Edit*>(w)->selectAll(); },
  };
}

const TextKind* TextKindOf(QWidget* w) {
  static constexpr TextKind kPlain = KindOf<QPlainTextEdit>();
  static constexpr TextKind kRich = KindOf<QTextEdit>();
  static constexpr TextKind kLine = KindOf<QLineEdit>();
  if (qobject_cast<QPlainTextEdit*>(w)) return &kPlain;
  if (qobject_cast<QTextEdit*>(w)) return &kRich;
  if (qobject_cast<QLineEdit*>(w)) return &kLine;
  return nullptr;
}

bool Applies(EditCommand c, const TextState& s) {
  switch (c) {
    case EditCommand::Undo:
      return !s.readOnly && s.undo;
    case EditCommand::Cut:
      return !s.readOnly && s.selection && s.reveals;
    case EditCommand::Copy:
      return s.selection && s.reveals;
    case EditCommand::Paste:
      return !s.readOnly && s.paste;
    case EditCommand::Clear:
      return !s.readOnly && s.selection;
    case EditCommand::SelectAll:
      return s.text;
    case EditCommand::None:
      break;
  }
  return false;
}

void Perform(EditCommand c, const TextKind& kind, QWidget* w) {
  switch (c) {
    case EditCommand::Undo:
      return kind.undo(w);
    case EditCommand::Cut:
      return kind.cut(w);
    case EditCommand::Copy:
      return kind.copy(w);
    case EditCommand::Paste:
      return kind.paste(w);
    case EditCommand::Clear:
      return kind.clearSelection(w);
    case EditCommand::SelectAll:
      return kind.selectAll(w);
    case EditCommand::None:
      break;
  }
}

bool MultipleSelection(QAbstractItemView* v) {
  const auto mode = v->selectionMode();
  return mode == QAbstractItemView::MultiSelection ||
         mode == QAbstractItemView::ExtendedSelection ||
         mode == QAbstractItemView::ContiguousSelection;
}

// The selected rows as text: cells by tabs, rows by line ends.
QString SelectedText(QAbstractItemView* v) {
  QModelIndexList cells = v->selectionModel()->selectedIndexes();
  std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
    return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
  });
  QString out;
  int row = -1;
  for (const QModelIndex& cell : cells) {
    if (row >= 0) out += cell.row() == row ? QLatin1Char('\t') : QLatin1Char('\n');
    row = cell.row();
    out += cell.data(Qt::DisplayRole).toString();
  }
  return out;
}

}  // namespace

EditCommand EditCommandNamed(std::string_view name) {
  static const std::pair<const char*, EditCommand> kNames[] = {
      {"EditUndo", EditCommand::Undo},   {"EditCut", EditCommand::Cut},
      {"EditCopy", EditCommand::Copy},   {"EditPaste", EditCommand::Paste},
      {"EditClear", EditCommand::Clear}, {"EditSelectAll", EditCommand::SelectAll},
  };
  for (const auto& [known, command] : kNames)
    if (name == known) return command;
  return EditCommand::None;
}

bool EditCommandApplies(EditCommand c, QWidget* w) {
  if (const TextKind* kind = TextKindOf(w)) return Applies(c, kind->state(w));
  if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
    if (c == EditCommand::Copy) return v->selectionModel() && v->selectionModel()->hasSelection();
    if (c == EditCommand::SelectAll)
      return MultipleSelection(v) && v->model() && v->model()->rowCount(v->rootIndex()) > 0;
  }
  return false;
}

void PerformEditCommand(EditCommand c, QWidget* w) {
  if (!EditCommandApplies(c, w)) return;  // the state may have changed since the menu was enabled
  if (const TextKind* kind = TextKindOf(w)) return Perform(c, *kind, w);
  if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
    if (c == EditCommand::Copy) QGuiApplication::clipboard()->setText(SelectedText(v));
    if (c == EditCommand::SelectAll) v->selectAll();
  }
}

}  // namespace rt
