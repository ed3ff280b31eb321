// The framework's multi-line text control.
#pragma once

#include "platform/control.h"

namespace rt {

class TextEdit : public RectControl {
 public:
  static ClassTable* __Lookup();
};

class TextArea : public TextEdit {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
