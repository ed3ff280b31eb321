// The window's accessors of its menu bar's items.
#include "platform/core/runtime.h"
#include "window/window1.h"

namespace quorvane::Window1 {

namespace {

// The item of that name anywhere below the window's menu bar, cast to T.
template <class T>
Ref<T> MenuItemNamed(rt::Window* self, const char* name, rt::ClassTable* cls) {
  Ref<rt::Window> window(self);
  Ref<rt::MenuItem> bar = rt::Window::GetMenuBar(window.get());
  if (!bar) rt::RaiseNilObjectException();
  Ref<rt::MenuItem> found = rt::Invoke(rt::MenuItem::slot::_Lookup, bar, rt::String(name));
  return rt::CheckCast<T>(found, cls);
}

Ref<rt::MenuItem> Item(rt::Window* self, const char* name) {
  return MenuItemNamed<rt::MenuItem>(self, name, rt::MenuItem::__Lookup());
}

}  // namespace

Ref<rt::MenuItem> EditMenu(rt::Window* self) { return Item(self, "EditMenu"); }
Ref<rt::MenuItem> EditSelectAll(rt::Window* self) { return Item(self, "EditSelectAll"); }
Ref<rt::MenuItem> EditSeparator2(rt::Window* self) { return Item(self, "EditSeparator2"); }
Ref<rt::MenuItem> EditClear(rt::Window* self) { return Item(self, "EditClear"); }
Ref<rt::MenuItem> EditPaste(rt::Window* self) { return Item(self, "EditPaste"); }
Ref<rt::MenuItem> EditCopy(rt::Window* self) { return Item(self, "EditCopy"); }
Ref<rt::MenuItem> EditCut(rt::Window* self) { return Item(self, "EditCut"); }
Ref<rt::MenuItem> EditSeparator1(rt::Window* self) { return Item(self, "EditSeparator1"); }
Ref<rt::MenuItem> EditUndo(rt::Window* self) { return Item(self, "EditUndo"); }
Ref<rt::MenuItem> FileMenu(rt::Window* self) { return Item(self, "FileMenu"); }
Ref<rt::QuitMenuItem> FileQuit(rt::Window* self) {
  return MenuItemNamed<rt::QuitMenuItem>(self, "FileQuit", rt::QuitMenuItem::__Lookup());
}

}  // namespace quorvane::Window1
