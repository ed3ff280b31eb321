// The framework's menu classes.
#pragma once

#include "platform/class_table.h"
#include "platform/text.h"

namespace rt {

class WindowPeer;

class MenuItem : public Object {
 public:
  static ClassTable* __Lookup();
};

class MenuBar : public MenuItem {
 public:
  static ClassTable* __Lookup();
};

class QuitMenuItem : public MenuItem {
 public:
  static ClassTable* __Lookup();
};

// Shows bar (nil for none) as the window's real menu bar.
void InstallMenuBar(WindowPeer* window, MenuItem* bar);

}  // namespace rt
