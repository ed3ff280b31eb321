// The framework's static text.
#pragma once

#include "platform/control.h"

namespace rt {

class Label : public RectControl {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
