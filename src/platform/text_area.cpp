#include "platform/text_area.h"

#include "platform/errors.h"
#include "platform/runtime.h"

namespace rt {

ClassTable* TextEdit::__Lookup() {
  static ClassTable* cls = DefineClass<TextEdit>("TextEdit", RectControl::__Lookup());
  return cls;
}
ClassTable* TextArea::__Lookup() {
  static ClassTable* cls = DefineClass<TextArea>("TextArea", TextEdit::__Lookup());
  return cls;
}

String TextEdit::GetText(TextEdit* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  return self->text_;
}

void TextEdit::SetText(TextEdit* self, const String& text) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  self->text_ = text;
}

}  // namespace rt
