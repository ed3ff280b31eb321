// The framework's menu classes. A menu bar is a MenuItem whose children are the menus;
// a window shows the bar set on it as its real menu bar.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/text.h"
#include "platform/core/value.h"

namespace rt {

class WindowPeer;

class MenuItem : public Object {
 public:
  static ClassTable* __Lookup();
  ~MenuItem() override;

  // Virtual operations, in slot order. Each applies the main-thread rule first.
  // Makes item the last child; an item already elsewhere in a menu moves. An item cannot
  // hold itself or one of its ancestors (RuntimeException).
  static void Append(MenuItem* self, MenuItem* item);
  // The direct child with that Name, nil when none.
  static Ref<MenuItem> Child(MenuItem* self, const String& name);
  // A new item of the same class with the same properties and copies of the children.
  static Ref<MenuItem> Clone(MenuItem* self);
  // Takes the item out of the menu that holds it; nothing when none does.
  static void Close(MenuItem* self);
  static void Constructor(MenuItem* self);
  // Copies the properties and the children of from (nil raises NilObjectException).
  static void Constructor(MenuItem* self, MenuItem* from);
  static void Constructor(MenuItem* self, const String& text, const Value& tag);
  static int32_t Count(MenuItem* self);
  // Enables the item; meant for EnableMenu handlers and items without AutoEnable.
  static void Enable(MenuItem* self);
  // The first Qt action that shows the item, nil when no window shows it.
  static void* Handle(MenuItem* self);
  // index 0 to Count; another index raises OutOfBoundsException.
  static void Insert(MenuItem* self, int32_t index, MenuItem* item);
  // The child at index (from 0); outside the children raises OutOfBoundsException.
  static Ref<MenuItem> Item(MenuItem* self, int32_t index);
  static void MenuItem_(MenuItem* self);
  static void MenuItem_(MenuItem* self, const String& text, const Value& tag);
  // Shows the children as a context menu at the pointer (or at x, y on the screen) and
  // returns when it closes: the chosen item, whose Action is raised, or nil.
  static Ref<MenuItem> PopUp(MenuItem* self);
  static Ref<MenuItem> PopUp(MenuItem* self, int32_t x, int32_t y);
  static void Remove(MenuItem* self, int32_t index);
  static void Remove(MenuItem* self, MenuItem* item);
  // Removes the first child with that Name.
  static void Remove(MenuItem* self, const String& name);
  static void _DependencyList(MenuItem* self);
  // Disables the item and everything below it.
  static void _DisableEntirely(MenuItem* self);
  // The item with that Name anywhere below self, nil when none.
  static Ref<MenuItem> _Lookup(MenuItem* self, const String& name);
  static Ref<MenuItem> _Lookup(MenuItem* self, const String& name, int32_t index);
  // Sets the item's enabled state to what AutoEnable gives for the focused control.
  static void _SelfEnable(MenuItem* self);
  // Exchanges everything but identity and class with other.
  static void _Swap(MenuItem* self, MenuItem* other);

  struct slot {
    static constexpr Slot<void(MenuItem*, MenuItem*)> Append{0};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, const String&)> Child{1};
    static constexpr Slot<Ref<MenuItem>(MenuItem*)> Clone{2};
    static constexpr Slot<void(MenuItem*)> Close{3};
    static constexpr Slot<void(MenuItem*)> Constructor{4};
    static constexpr Slot<void(MenuItem*, MenuItem*)> ConstructorFrom{5};
    static constexpr Slot<void(MenuItem*, const String&, const Value&)> ConstructorText{6};
    static constexpr Slot<int32_t(MenuItem*)> Count{7};
    static constexpr Slot<void(MenuItem*)> Enable{8};
    static constexpr Slot<void*(MenuItem*)> Handle{9};
    static constexpr Slot<void(MenuItem*, int32_t, MenuItem*)> Insert{10};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, int32_t)> Item{11};
    static constexpr Slot<void(MenuItem*)> MenuItem_{12};
    static constexpr Slot<void(MenuItem*, const String&, const Value&)> MenuItemText{13};
    static constexpr Slot<Ref<MenuItem>(MenuItem*)> PopUp{14};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, int32_t, int32_t)> PopUpAt{15};
    static constexpr Slot<void(MenuItem*, int32_t)> RemoveIndex{16};
    static constexpr Slot<void(MenuItem*, MenuItem*)> RemoveItem{17};
    static constexpr Slot<void(MenuItem*, const String&)> RemoveName{18};
    static constexpr Slot<void(MenuItem*)> _DependencyList{19};
    static constexpr Slot<void(MenuItem*)> _DisableEntirely{20};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, const String&)> _Lookup{21};
    static constexpr Slot<Ref<MenuItem>(MenuItem*, const String&, int32_t)> _LookupIndex{22};
    static constexpr Slot<void(MenuItem*)> _SelfEnable{23};
    static constexpr Slot<void(MenuItem*, MenuItem*)> _Swap{24};
  };
  static constexpr int kSlotCount = 25;

  enum Event : int { Action, EnableMenu, kEventCount };

  // Initialiser and finaliser hooks: the defaults of a new item; the release of its
  // children and texts when its last reference goes.
  static void __Init(MenuItem* self);
  static void __Exit(MenuItem* self);

  // Properties; each setter applies the main-thread rule.
  static void SetName(MenuItem* self, const String& v);
  static void SetText(MenuItem* self, const String& v);
  static void SetAutoEnable(MenuItem* self, bool v);
  static void SetVisible(MenuItem* self, bool v);
  static void SetKeyboardShortcut(MenuItem* self, const String& v);
  static void SetIndex(MenuItem* self, int32_t v);
  const String& Name() const noexcept { return name_; }
  const String& Text() const noexcept { return text_; }
  bool AutoEnable() const noexcept { return autoEnable_; }
  bool Visible() const noexcept { return visible_; }
  bool Enabled() const noexcept { return enabled_; }
  const String& KeyboardShortcut() const noexcept { return shortcut_; }
  int32_t Index() const noexcept { return index_; }
  const Value& Tag() const noexcept { return tag_; }
  const std::vector<Ref<MenuItem>>& Children() const noexcept { return children_; }
  // The item holding this one, nil when none; not a reference.
  MenuItem* Parent() const noexcept { return parent_; }

  struct Peers;  // the Qt actions showing the item (menu_qt.cpp)
  struct PeersDeleter {
    void operator()(Peers* peers) const noexcept;  // unlinks the actions first
  };

 private:
  friend struct MenuItemAccess;
  String name_, text_, shortcut_;
  bool autoEnable_ = true;
  bool visible_ = true;
  bool enabled_ = true;
  int32_t index_ = -1;  // -1: not one of an array of items
  Value tag_;
  std::vector<Ref<MenuItem>> children_;
  MenuItem* parent_ = nullptr;
  std::unique_ptr<Peers, PeersDeleter> peers_;
};

class MenuBar : public MenuItem {
 public:
  static ClassTable* __Lookup();

  // Virtual operations of its own: slot 19 replaced, slot 25 added.
  static void _DependencyList(MenuItem* self);
  // Rebuilds the real menu bar of every window that shows self, from the tree as it is now.
  static void _InstallClone(MenuItem* self);

  struct slot : MenuItem::slot {
    static constexpr Slot<void(MenuItem*)> _InstallClone{25};
  };
  static constexpr int kSlotCount = 26;

  static void __Init(MenuItem* self);
};

// The framework's Quit entry: its Action quits the application.
class QuitMenuItem : public MenuItem {
 public:
  static ClassTable* __Lookup();
  // The class's handler of the MenuItem event Action.
  static bool Event_Action(QuitMenuItem* self);
};

// Quits the application with the exit code 0; true when the quit was asked for.
bool QuitMenuAction(MenuItem* item);

// Searches the tree below root, depth first; nil when no item has that Name (and that
// Index, in the second form).
Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name);
Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name, int32_t index);

// Shows bar (nil for none) as the window's real menu bar, built from the tree as it is.
// "&" marks a mnemonic, the Text "-" is a separator; "Cmd+" shortcuts become Ctrl ones.
void InstallMenuBar(WindowPeer* window, MenuItem* bar);

}  // namespace rt
