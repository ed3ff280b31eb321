// The process entry.
#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "platform/ui/display_check.h"

int main() {
  if (!rt::GraphicalDisplayUsable()) {
    std::fputs("Quorvane needs a graphical display (X11 or Wayland) and found none it can use.\n",
               stderr);
    return 1;
  }
  std::exit(quorvane::main());
}
