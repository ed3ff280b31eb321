#include "platform/text_area.h"

namespace rt {

ClassTable* TextEdit::__Lookup() {
  static ClassTable* cls = DefineClass<TextEdit>("TextEdit", RectControl::__Lookup());
  return cls;
}
ClassTable* TextArea::__Lookup() {
  static ClassTable* cls = DefineClass<TextArea>("TextArea", TextEdit::__Lookup());
  return cls;
}

}  // namespace rt
