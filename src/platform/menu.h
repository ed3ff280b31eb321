// The framework's menu classes. A menu bar is a MenuItem whose children are the menus.
#pragma once

#include <vector>

#include "platform/class_table.h"
#include "platform/text.h"

namespace rt {

class WindowPeer;

class MenuItem : public Object {
 public:
  static ClassTable* __Lookup();
  ~MenuItem() override;

  // Virtual operations used by the program (the full table is built in menu.cpp).
  static void Append(MenuItem* self, MenuItem* item);
  // The direct child with that Name, nil when none.
  static Ref<MenuItem> Child(MenuItem* self, const String& name);
  static void Constructor(MenuItem* self);
  // The item with that Name anywhere below self, nil when none.
  static Ref<MenuItem> _Lookup(MenuItem* self, const String& name);

  struct slot {
    static constexpr Slot<void(MenuItem*, MenuItem*)> Append{0};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, const String&)> Child{1};
    static constexpr Slot<void(MenuItem*)> Constructor{4};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, const String&)> _Lookup{21};
  };

  // Properties; each setter applies the main-thread rule.
  static void SetName(MenuItem* self, const String& v);
  static void SetText(MenuItem* self, const String& v);
  static void SetAutoEnable(MenuItem* self, bool v);
  static void SetVisible(MenuItem* self, bool v);
  static void SetKeyboardShortcut(MenuItem* self, const String& v);
  const String& Name() const noexcept { return name_; }
  const String& Text() const noexcept { return text_; }
  bool AutoEnable() const noexcept { return autoEnable_; }
  bool Visible() const noexcept { return visible_; }
  const String& KeyboardShortcut() const noexcept { return shortcut_; }
  const std::vector<Ref<MenuItem>>& Children() const noexcept { return children_; }

 private:
  String name_, text_, shortcut_;
  bool autoEnable_ = false;
  bool visible_ = true;
  std::vector<Ref<MenuItem>> children_;
};

class MenuBar : public MenuItem {
 public:
  static ClassTable* __Lookup();
};

class QuitMenuItem : public MenuItem {
 public:
  static ClassTable* __Lookup();
};

// Searches the tree below root, depth first; nil when no item has that Name.
Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name);

// Shows bar (nil for none) as the window's real menu bar.
void InstallMenuBar(WindowPeer* window, MenuItem* bar);

}  // namespace rt
