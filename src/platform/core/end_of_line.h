// The framework's end of line: an object that, appended to a text, ends a line.
#pragma once

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

class EndOfLine : public Object {
 public:
  static ClassTable* __Lookup();
  // The platform's line ending.
  static constexpr const char* kSequence = "\n";
  // text + EndOfLine: the text followed by the line ending.
  static String Operator_AddRight(EndOfLine* self, const String& text);
};

// A new end-of-line object; the caller owns the reference.
Ref<EndOfLine> NewEndOfLine();

}  // namespace rt
