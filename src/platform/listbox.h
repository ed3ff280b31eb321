// The framework's list box.
#pragma once

#include "platform/control.h"

namespace rt {

class Listbox : public RectControl {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
