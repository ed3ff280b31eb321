// The program's stubs for per-instance event handlers, one per event number.
#pragma once

#include "platform/core/object.h"

namespace quorvane::AddHandler {

// Event 17: calls the invoker of the delegate installed on raiser for that event with the
// delegate and raiser, a BevelButton.
void Stub17(rt::Object* raiser);

}  // namespace quorvane::AddHandler
