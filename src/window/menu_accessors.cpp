// The window's accessors of its menu bar's items.
#include "window/window1.h"

namespace quorvane::Window1 {

Ref<rt::MenuItem> EditMenu(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditSelectAll(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditSeparator2(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditClear(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditPaste(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditCopy(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditCut(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditSeparator1(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> EditUndo(rt::Window*) { return nullptr; }
Ref<rt::MenuItem> FileMenu(rt::Window*) { return nullptr; }
Ref<rt::QuitMenuItem> FileQuit(rt::Window*) { return nullptr; }

}  // namespace quorvane::Window1
