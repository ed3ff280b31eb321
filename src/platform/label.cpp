#include "platform/label.h"

namespace rt {

ClassTable* Label::__Lookup() {
  static ClassTable* cls = DefineClass<Label>("Label", RectControl::__Lookup());
  return cls;
}

}  // namespace rt
