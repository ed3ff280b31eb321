#include "platform/core/array.h"

#include "platform/core/errors.h"

namespace rt {

ClassTable* StringArray::__Lookup() {
  static ClassTable* cls = DefineClass<StringArray>("StringArray", nullptr);
  return cls;
}

String& StringArray::At(int32_t index) {
  if (index < 0 || index > UBound()) RaiseException(OutOfBoundsException::__Lookup());
  return items_[static_cast<size_t>(index)];
}

Ref<StringArray> CreateArray(int32_t dimensions, int32_t upperBound) {
  if (dimensions != 1 || upperBound < -1) RaiseException(OutOfBoundsException::__Lookup());
  Ref<Object> obj = RuntimeNewObject(StringArray::__Lookup());
  auto* a = static_cast<StringArray*>(obj.get());
  a->items_.resize(static_cast<size_t>(upperBound + 1));
  return Ref<StringArray>(a);
}

}  // namespace rt
