#include "platform/bevel_button.h"

namespace rt {

ClassTable* BevelButton::__Lookup() {
  static ClassTable* cls = DefineClass<BevelButton>("BevelButton", RectControl::__Lookup());
  return cls;
}

}  // namespace rt
