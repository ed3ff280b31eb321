// App, the application class: an Application with a constructor that does nothing.
#pragma once

#include "platform/ui/application.h"

namespace quorvane::App {

extern rt::ClassTable* __ctbl;
void __ctblinit();
rt::ClassTable* __Lookup();

void Constructor(rt::Application* self);

namespace slot {
inline constexpr rt::Slot<void(rt::Application*)> Constructor{rt::Application::kSlotCount};
inline constexpr int kCount = rt::Application::kSlotCount + 1;
}  // namespace slot

}  // namespace quorvane::App
