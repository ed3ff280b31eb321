// Reading one entry's tag into the text area.
#include "window/window1.h"

namespace quorvane::Window1 {

void getid3info(rt::Window*, rt::FolderItem*) {}

}  // namespace quorvane::Window1
