#include "platform/listbox.h"

#include "platform/errors.h"
#include "platform/runtime.h"

namespace rt {

ClassTable* Listbox::__Lookup() {
  static ClassTable* cls = DefineClass<Listbox>("Listbox", RectControl::__Lookup());
  return cls;
}

void Listbox::DeleteAllRows(Listbox* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  self->rows_.clear();
}

void Listbox::AddRow(Listbox* self, StringArray* cells) {
  _UITrap();
  if (!self || !cells) RaiseNilObjectException();
  self->rows_.push_back(cells->Items());
}

String Listbox::Cell(int32_t row, int32_t column) const {
  if (row < 0 || row >= ListCount() || column < 0) return {};
  const auto& r = rows_[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < r.size() ? r[static_cast<size_t>(column)] : String();
}

}  // namespace rt
