// MainMenuBar: the program's one menu bar, with its File and Edit menus.
#pragma once

#include "platform/menu.h"

namespace quorvane::MainMenuBar {

using rt::Ref;

extern rt::ClassTable* __ctbl;
void __ctblinit();
rt::ClassTable* __Lookup();

// The shared bar, built on first access; never nil on a normal return.
Ref<rt::MenuBar> MainMenuBar();

extern rt::StaticRef<rt::MenuBar> _implicitInstance;

}  // namespace quorvane::MainMenuBar
