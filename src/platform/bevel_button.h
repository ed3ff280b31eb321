// The appearance-controls plugin's push button.
#pragma once

#include "platform/control.h"

namespace rt {

class BevelButton : public RectControl {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
