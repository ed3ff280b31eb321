#include "platform/core/end_of_line.h"

#include "platform/core/errors.h"

namespace rt {

ClassTable* EndOfLine::__Lookup() {
  static ClassTable* cls = DefineClass<EndOfLine>("EndOfLine", nullptr);
  return cls;
}

String EndOfLine::Operator_AddRight(EndOfLine* self, const String& text) {
  if (!self) RaiseNilObjectException();
  return text + String(kSequence);
}

Ref<EndOfLine> NewEndOfLine() {
  Ref<Object> obj = RuntimeNewObject(EndOfLine::__Lookup());
  return Ref<EndOfLine>(static_cast<EndOfLine*>(obj.get()));
}

}  // namespace rt
