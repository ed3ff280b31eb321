#include "menus/main_menu_bar.h"

namespace quorvane::MainMenuBar {

rt::ClassTable* __ctbl = nullptr;
rt::StaticRef<rt::MenuBar> _implicitInstance;

void __ctblinit() {
  if (__ctbl) return;
  __ctbl = rt::RuntimeNewClass(rt::MenuBar::__Lookup(), 0, 0, 0);
  __ctbl->name = "MainMenuBar.MainMenuBar";
}

rt::ClassTable* __Lookup() {
  if (!__ctbl) __ctblinit();
  return __ctbl;
}

Ref<rt::MenuBar> MainMenuBar() { return nullptr; }

}  // namespace quorvane::MainMenuBar
