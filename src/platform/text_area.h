// The framework's multi-line text control.
#pragma once

#include "platform/control.h"

namespace rt {

class TextEdit : public RectControl {
 public:
  static ClassTable* __Lookup();

  // Both apply the main-thread rule.
  static String GetText(TextEdit* self);
  static void SetText(TextEdit* self, const String& text);

 private:
  String text_;
};

class TextArea : public TextEdit {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
