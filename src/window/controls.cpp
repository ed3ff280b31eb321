// The window's controls: made in CreateControls, found again by name.
#include "window/window1.h"

namespace quorvane::Window1 {

void Layout(rt::Window*) {}
void CreateControls(rt::Window*) {}
void _CreateControls0(rt::Window*) {}
Ref<rt::BevelButton> BevelButton1(rt::Window*) { return nullptr; }
Ref<rt::Listbox> Listbox1(rt::Window*) { return nullptr; }
Ref<rt::Label> Label4(rt::Window*) { return nullptr; }
Ref<rt::TextArea> TextArea1(rt::Window*) { return nullptr; }

}  // namespace quorvane::Window1
