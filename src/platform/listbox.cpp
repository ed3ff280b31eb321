#include "platform/listbox.h"

namespace rt {

ClassTable* Listbox::__Lookup() {
  static ClassTable* cls = DefineClass<Listbox>("Listbox", RectControl::__Lookup());
  return cls;
}

}  // namespace rt
