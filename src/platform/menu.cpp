#include "platform/menu.h"

#include "platform/window_peer.h"

namespace rt {

ClassTable* MenuItem::__Lookup() {
  static ClassTable* cls = DefineClass<MenuItem>("MenuItem", nullptr);
  return cls;
}
ClassTable* MenuBar::__Lookup() {
  static ClassTable* cls = DefineClass<MenuBar>("MenuBar", MenuItem::__Lookup());
  return cls;
}
ClassTable* QuitMenuItem::__Lookup() {
  static ClassTable* cls = DefineClass<QuitMenuItem>("QuitMenuItem", MenuItem::__Lookup());
  return cls;
}

void InstallMenuBar(WindowPeer*, MenuItem*) {}

}  // namespace rt
