#include "platform/menu.h"

#include "platform/runtime.h"
#include "platform/window_peer.h"

namespace rt {

ClassTable* MenuItem::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<MenuItem>("MenuItem", nullptr);
    RuntimeNewVtable(c, 25);
    SetSlot(c, slot::Append, &Append);
    SetSlot(c, slot::Child, &Child);
    SetSlot(c, slot::Constructor, &Constructor);
    SetSlot(c, slot::_Lookup, &_Lookup);
    return c;
  }();
  return cls;
}
ClassTable* MenuBar::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<MenuBar>("MenuBar", MenuItem::__Lookup());
    RuntimeNewVtable(c, 26);
    return c;
  }();
  return cls;
}
ClassTable* QuitMenuItem::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<QuitMenuItem>("QuitMenuItem", MenuItem::__Lookup());
    RuntimeNewVtable(c, 25);
    return c;
  }();
  return cls;
}

MenuItem::~MenuItem() = default;

void MenuItem::Append(MenuItem* self, MenuItem* item) {
  _UITrap();
  if (!self || !item) RaiseNilObjectException();
  self->children_.emplace_back(item);
}

Ref<MenuItem> MenuItem::Child(MenuItem* self, const String& name) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  for (const Ref<MenuItem>& c : self->children_)
    if (c->name_ == name) return c;
  return nullptr;
}

void MenuItem::Constructor(MenuItem* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
}

Ref<MenuItem> MenuItem::_Lookup(MenuItem* self, const String& name) {
  _UITrap();
  return RuntimeMenuItemLookup(self, name);
}

Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name) {
  if (!root) RaiseNilObjectException();
  for (const Ref<MenuItem>& c : root->Children()) {
    if (c->Name() == name) return c;
    if (Ref<MenuItem> below = RuntimeMenuItemLookup(c.get(), name)) return below;
  }
  return nullptr;
}

void MenuItem::SetName(MenuItem* self, const String& v) {
  _UITrap();
  self->name_ = v;
}
void MenuItem::SetText(MenuItem* self, const String& v) {
  _UITrap();
  self->text_ = v;
}
void MenuItem::SetAutoEnable(MenuItem* self, bool v) {
  _UITrap();
  self->autoEnable_ = v;
}
void MenuItem::SetVisible(MenuItem* self, bool v) {
  _UITrap();
  self->visible_ = v;
}
void MenuItem::SetKeyboardShortcut(MenuItem* self, const String& v) {
  _UITrap();
  self->shortcut_ = v;
}

void InstallMenuBar(WindowPeer*, MenuItem*) {}

}  // namespace rt
