// The framework's list box: rows of text cells, shown by a Qt list.
#pragma once

#include <vector>

#include "platform/array.h"
#include "platform/control.h"

namespace rt {

class Listbox : public RectControl {
 public:
  static ClassTable* __Lookup();

  // Both apply the main-thread rule.
  static void DeleteAllRows(Listbox* self);
  // One new last row: element 0 its first cell, each further element the next cell.
  static void AddRow(Listbox* self, StringArray* cells);

  int32_t ListCount() const noexcept { return static_cast<int32_t>(rows_.size()); }
  // The cell's text; empty outside the rows and columns.
  String Cell(int32_t row, int32_t column) const;

 private:
  std::vector<std::vector<String>> rows_;
};

}  // namespace rt
