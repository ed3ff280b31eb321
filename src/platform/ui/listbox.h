// The framework's list box: rows of text cells, shown by a Qt list view.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/array.h"
#include "platform/ui/control.h"
#include "platform/ui/peer_sync.h"

namespace rt {

class Listbox : public RectControl, private LaggingPeer {
 public:
  static ClassTable* __Lookup();
  Listbox();
  ~Listbox() override;

  // Both apply the main-thread rule. The rows are exact at once; the view shows new rows
  // by the time events are processed, all that came meanwhile in one step.
  static void DeleteAllRows(Listbox* self);
  // One new last row: element 0 its first cell, each further element the next cell.
  static void AddRow(Listbox* self, StringArray* cells);

  int32_t ListCount() const noexcept { return static_cast<int32_t>(rows_.size()); }
  // Scrolls the view, when it must, so that the last row shows.
  void ShowLastRow();
  // The cell's text; empty outside the rows and columns.
  String Cell(int32_t row, int32_t column) const;

  // Properties.
  static bool GetBorder(Listbox* self);
  static void SetBorder(Listbox* self, bool v);
  // The columns shown; cells beyond them are kept.
  static int32_t GetColumnCount(Listbox* self);
  static void SetColumnCount(Listbox* self, int32_t v);
  static bool GetHasHeading(Listbox* self);
  static void SetHasHeading(Listbox* self, bool v);
  // Replaces the rows: one a line, cells separated by tabs.
  static String GetInitialValue(Listbox* self);
  static void SetInitialValue(Listbox* self, const String& v);
  static bool GetScrollBarHorizontal(Listbox* self);
  static void SetScrollBarHorizontal(Listbox* self, bool v);
  static bool GetScrollBarVertical(Listbox* self);
  static void SetScrollBarVertical(Listbox* self, bool v);
  // While set, a scroll bar shows only when the rows do not fit.
  static bool GetAutoHideScrollbars(Listbox* self);
  static void SetAutoHideScrollbars(Listbox* self, bool v);
  // 0 one row at a time, any other value several.
  static int32_t GetSelectionType(Listbox* self);
  static void SetSelectionType(Listbox* self, int32_t v);
  // Frames the list in the desktop's highlight colour while it has the focus.
  static bool GetUseFocusRing(Listbox* self);
  static void SetUseFocusRing(Listbox* self, bool v);
  // Kept only: sorting, grid lines, drag and drop, hierarchy and data binding are not offered
  // on this platform's list box, and the rows keep the desktop's height.
  String ColumnWidths;
  int32_t HeadingIndex = -1;
  int32_t GridLinesHorizontal = 0;
  int32_t GridLinesVertical = 0;
  int32_t DefaultRowHeight = -1;
  bool ShowDropIndicator = false;
  int32_t _ScrollWidth = -1;
  int32_t _ScrollOffset = 0;
  bool Hierarchical = false;
  bool EnableDrag = false;
  bool EnableDragReorder = false;
  bool RequiresSelection = false;
  bool ColumnsResizable = false;
  String DataSource;
  String DataField;

 protected:
  QWidget* CreatePeer(QWidget* parent) override;
  void SyncPeer(QWidget* peer) override;

 private:
  class Rows;  // the Qt model over the rows the view has been told of
  friend class Rows;
  void CatchUp() override;
  void ReplaceRows(std::vector<std::vector<String>> rows);
  void ApplyView();
  void ApplyScrollBars();
  std::vector<std::vector<String>> rows_;
  std::unique_ptr<Rows> model_;  // made with the peer; a view loses a deleted model safely
  bool border_ = true;
  int32_t columnCount_ = 1;
  bool hasHeading_ = false;
  String initialValue_;
  bool scrollBarHorizontal_ = true, scrollBarVertical_ = true, autoHideScrollbars_ = true;
  int32_t selectionType_ = 0;
  bool useFocusRing_ = true;
};

}  // namespace rt
