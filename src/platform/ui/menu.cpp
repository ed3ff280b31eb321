// The menu model: the item tree, its operations and lookups, and the properties (the class
// tables are in menu_classes.cpp). What shows on screen is menu_qt.cpp's, reached through
// menu_peer.h.
#include "platform/ui/menu.h"

#include <algorithm>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/ui/menu_peer.h"
#include "platform/ui/window.h"

namespace rt {

namespace {

using Access = MenuItemAccess;

MenuItem* Tested(MenuItem* item) {
  if (!item) RaiseNilObjectException();
  return item;
}

// ---- the model ----

void CheckPlace(MenuItem* self, MenuItem* item) {
  for (MenuItem* p = self; p; p = p->Parent())
    if (p == item)
      RaiseException(RuntimeException::__Lookup(),
                     String("A menu item cannot be placed inside itself."));
}

void TakeOut(MenuItem* item) {
  MenuItem* parent = item->Parent();
  if (!parent) return;
  Ref<MenuItem> hold(item);
  auto& siblings = Access::ChildrenOf(parent);
  auto it = std::find(siblings.begin(), siblings.end(), hold);
  Access::SetParent(item, nullptr);
  if (it != siblings.end()) siblings.erase(it);
}

void Place(MenuItem* self, size_t at, MenuItem* item) {
  CheckPlace(self, item);
  Ref<MenuItem> hold(item);
  TakeOut(item);
  auto& children = Access::ChildrenOf(self);
  children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(at, children.size())),
                  hold);
  Access::SetParent(item, self);
}

void CheckIndex(int32_t index, size_t size) {
  if (index < 0 || static_cast<size_t>(index) >= size)
    RaiseException(OutOfBoundsException::__Lookup());
}

void CopyInto(MenuItem* to, MenuItem* from) {
  Access::CopyProperties(to, from);
  for (const Ref<MenuItem>& child : from->Children()) {
    Ref<MenuItem> copy = MenuItem::Clone(child.get());
    Place(to, to->Children().size(), copy.get());
  }
}

}  // namespace

// ---- hooks ----

void MenuItem::__Init(MenuItem* self) {
  Tested(self);
  self->autoEnable_ = true;
  self->visible_ = true;
  self->enabled_ = true;
  self->index_ = -1;
}

void MenuBar::__Init(MenuItem* self) { Tested(self); }  // an item's defaults serve a bar

void MenuItem::__Exit(MenuItem* self) {
  Tested(self);
  std::vector<Ref<MenuItem>> children = std::move(self->children_);
  self->children_.clear();
  for (Ref<MenuItem>& c : children)
    if (c->parent_ == self) c->parent_ = nullptr;
  children.clear();
  self->name_ = self->text_ = self->shortcut_ = String();
  self->tag_ = Value();
}

MenuItem::~MenuItem() {
  for (Ref<MenuItem>& c : children_)
    if (c->parent_ == this) c->parent_ = nullptr;
  // peers_ goes next; its deleter leaves the actions unlinked
}

// ---- virtual operations ----

void MenuItem::Append(MenuItem* self, MenuItem* item) {
  _UITrap();
  if (!self || !item) RaiseNilObjectException();
  MaybeFail("MenuItem.Append");
  if (CallLogActive()) LogCall("MenuItem.Append " + item->name_.Std());
  Place(self, self->children_.size(), item);
}

Ref<MenuItem> MenuItem::Child(MenuItem* self, const String& name) {
  _UITrap();
  Tested(self);
  MaybeFail("MenuItem.Child");
  if (CallLogActive()) LogCall("MenuItem.Child " + name.Std());
  for (const Ref<MenuItem>& c : self->children_)
    if (c->name_ == name) return c;
  return nullptr;
}

Ref<MenuItem> MenuItem::Clone(MenuItem* self) {
  _UITrap();
  Tested(self);
  Ref<Object> made = RuntimeNewObject(self->Class());
  Ref<MenuItem> copy(static_cast<MenuItem*>(made.get()));
  CopyInto(copy.get(), self);
  return copy;
}

void MenuItem::Close(MenuItem* self) {
  _UITrap();
  TakeOut(Tested(self));
}

void MenuItem::Constructor(MenuItem* self) {
  _UITrap();
  Tested(self);
  MaybeFail("MenuItem.Constructor");
}

void MenuItem::Constructor(MenuItem* self, MenuItem* from) {
  Constructor(self);
  if (!from) RaiseNilObjectException();
  if (from != self) CopyInto(self, from);
}

void MenuItem::Constructor(MenuItem* self, const String& text, const Value& tag) {
  Constructor(self);
  self->text_ = text;
  self->tag_ = tag;
}

int32_t MenuItem::Count(MenuItem* self) {
  _UITrap();
  return static_cast<int32_t>(Tested(self)->children_.size());
}

void MenuItem::Enable(MenuItem* self) {
  _UITrap();
  Tested(self)->enabled_ = true;
  ShowOnActions(self);
}

void* MenuItem::Handle(MenuItem* self) {
  _UITrap();
  return FirstAction(Tested(self));
}

void MenuItem::Insert(MenuItem* self, int32_t index, MenuItem* item) {
  _UITrap();
  if (!self || !item) RaiseNilObjectException();
  if (index < 0 || static_cast<size_t>(index) > self->children_.size())
    RaiseException(OutOfBoundsException::__Lookup());
  Place(self, static_cast<size_t>(index), item);
}

Ref<MenuItem> MenuItem::Item(MenuItem* self, int32_t index) {
  _UITrap();
  CheckIndex(index, Tested(self)->children_.size());
  return self->children_[static_cast<size_t>(index)];
}

void MenuItem::MenuItem_(MenuItem* self) { Constructor(self); }
void MenuItem::MenuItem_(MenuItem* self, const String& text, const Value& tag) {
  Constructor(self, text, tag);
}

Ref<MenuItem> MenuItem::PopUp(MenuItem* self) {
  _UITrap();
  return PopUpAtPointer(Tested(self));
}
Ref<MenuItem> MenuItem::PopUp(MenuItem* self, int32_t x, int32_t y) {
  _UITrap();
  return rt::PopUpAt(Tested(self), x, y);
}

void MenuItem::Remove(MenuItem* self, int32_t index) {
  _UITrap();
  CheckIndex(index, Tested(self)->children_.size());
  TakeOut(self->children_[static_cast<size_t>(index)].get());
}

void MenuItem::Remove(MenuItem* self, MenuItem* item) {
  _UITrap();
  Tested(self);
  if (item && item->parent_ == self) TakeOut(item);
}

void MenuItem::Remove(MenuItem* self, const String& name) {
  _UITrap();
  for (const Ref<MenuItem>& c : Tested(self)->children_)
    if (c->name_ == name) return TakeOut(c.get());
}

void MenuItem::_DependencyList(MenuItem*) {}
void MenuBar::_DependencyList(MenuItem*) {}

void MenuItem::_DisableEntirely(MenuItem* self) {
  _UITrap();
  Tested(self)->enabled_ = false;
  ShowOnActions(self);
  for (const Ref<MenuItem>& c : self->children_) _DisableEntirely(c.get());
}

Ref<MenuItem> MenuItem::_Lookup(MenuItem* self, const String& name) {
  _UITrap();
  return RuntimeMenuItemLookup(self, name);
}

Ref<MenuItem> MenuItem::_Lookup(MenuItem* self, const String& name, int32_t index) {
  _UITrap();
  return RuntimeMenuItemLookup(self, name, index);
}

void MenuItem::_SelfEnable(MenuItem* self) {
  _UITrap();
  Tested(self);
  RefreshEnabledForFocus(self);
  ShowOnActions(self);
}

void MenuItem::_Swap(MenuItem* self, MenuItem* other) {
  _UITrap();
  if (!self || !other) RaiseNilObjectException();
  if (self == other) return;
  CheckPlace(self, other);  // neither may end up inside itself
  CheckPlace(other, self);
  Access::SwapState(self, other);
  ShowOnActions(self);
  ShowOnActions(other);
}

void MenuBar::_InstallClone(MenuItem* self) {
  _UITrap();
  Tested(self);
  for (const Ref<Window>& w : RuntimeWindows())
    if (w->Peer() && Window::GetMenuBar(w.get()).get() == self) InstallMenuBar(w->Peer(), self);
}

bool QuitMenuItem::Event_Action(QuitMenuItem* self) { return QuitMenuAction(self); }

bool QuitMenuAction(MenuItem*) {
  LogCall("QuitMenuAction");
  Quit(0);
  return true;
}

Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name) {
  Tested(root);
  for (const Ref<MenuItem>& c : root->Children()) {
    if (c->Name() == name) return c;
    if (Ref<MenuItem> below = RuntimeMenuItemLookup(c.get(), name)) return below;
  }
  return nullptr;
}

Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name, int32_t index) {
  Tested(root);
  for (const Ref<MenuItem>& c : root->Children()) {
    if (c->Name() == name && c->Index() == index) return c;
    if (Ref<MenuItem> below = RuntimeMenuItemLookup(c.get(), name, index)) return below;
  }
  return nullptr;
}

// ---- properties ----

namespace {
void LogSet(const char* property, const std::string& value) {
  if (CallLogActive()) LogCall(std::string("MenuItem.") + property + " set " + value);
}
}  // namespace

void MenuItem::SetName(MenuItem* self, const String& v) {
  _UITrap();
  Tested(self)->name_ = v;
  LogSet("Name", v.Std());
}
void MenuItem::SetText(MenuItem* self, const String& v) {
  _UITrap();
  Tested(self)->text_ = v;
  LogSet("Text", v.Std());
  ShowOnActions(self);
}
void MenuItem::SetAutoEnable(MenuItem* self, bool v) {
  _UITrap();
  Tested(self)->autoEnable_ = v;
  LogSet("AutoEnable", v ? "True" : "False");
}
void MenuItem::SetVisible(MenuItem* self, bool v) {
  _UITrap();
  Tested(self)->visible_ = v;
  LogSet("Visible", v ? "True" : "False");
  ShowOnActions(self);
}
void MenuItem::SetKeyboardShortcut(MenuItem* self, const String& v) {
  _UITrap();
  Tested(self)->shortcut_ = v;
  LogSet("KeyboardShortcut", v.Std());
  ShowOnActions(self);
}
void MenuItem::SetIndex(MenuItem* self, int32_t v) {
  _UITrap();
  Tested(self)->index_ = v;
}

}  // namespace rt
