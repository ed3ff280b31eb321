// The framework's modal message box.
#pragma once

#include "platform/core/text.h"

namespace rt {

// Shows the text in a modal message box and returns once the user has dismissed it.
// Main thread only.
void MsgBox(const String& text);

}  // namespace rt
