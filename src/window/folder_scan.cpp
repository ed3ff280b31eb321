// The folder scan: the button's action and the walk over the chosen folder.
#include "window/window1.h"

namespace quorvane::Window1 {

void BevelButton1_Action(rt::Window*, rt::BevelButton*) {}
void openvideofolder(rt::Window*) {}

}  // namespace quorvane::Window1
