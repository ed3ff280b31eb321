// The menu model: the item tree, its operations and lookups, the properties and the class
// tables. What shows on screen is menu_qt.cpp's, reached through menu_peer.h.
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

// ---- class tables ----

template <class Sig>
Invoker Inv() {
  return ErasedInvokerFor<Sig>();
}

// Members taking a text and a Variant: the Variant comes as it is.
Value InvokeTextTag(AnyFn function, Object* target, const ValueList* args) {
  if (!target) RaiseNilObjectException();
  if (!args) RaiseNilObjectException();
  if (args->size() < 2) RaiseException(OutOfBoundsException::__Lookup());
  Ref<MenuItem> self = CheckCast<MenuItem>(target, MenuItem::__Lookup());
  reinterpret_cast<void (*)(MenuItem*, const String&, const Value&)>(function)(
      self.get(), std::get<String>((*args)[0]), (*args)[1]);
  return {};
}

using M = MenuItem;
using S = const String&;
using TextTagFn = void (*)(M*, S, const Value&);

// The menu item's own members, by name (character code).
void AddMenuItemMembers(ClassTable* c) {
  const Invoker textTag = EraseFn(&InvokeTextTag);
  AddMembers(
      c, {
             {"Append", "%%o<MenuItem>", EraseFn(&M::Append), Inv<void(M*, M*)>(), 0},
             {"Child", "%o<MenuItem>%s", EraseFn(&M::Child), Inv<Ref<M>(M*, S)>(), 1},
             {"Clone", "%o<MenuItem>%", EraseFn(&M::Clone), Inv<Ref<M>(M*)>(), 2},
             {"Close", "%%", EraseFn(&M::Close), Inv<void(M*)>(), 3},
             {"Constructor", "%%", EraseFn(static_cast<void (*)(M*)>(&M::Constructor)),
              Inv<void(M*)>(), 4},
             {"Constructor", "%%o<MenuItem>",
              EraseFn(static_cast<void (*)(M*, M*)>(&M::Constructor)), Inv<void(M*, M*)>(), 5},
             {"Constructor", "%%so<Variant>", EraseFn(static_cast<TextTagFn>(&M::Constructor)),
              textTag, 6},
             {"Count", "%i4%", EraseFn(&M::Count), Inv<int32_t(M*)>(), 7},
             {"Enable", "%%", EraseFn(&M::Enable), Inv<void(M*)>(), 8},
             {"Handle", "%p%", EraseFn(&M::Handle), Inv<void*(M*)>(), 9},
             {"Insert", "%%i4o<MenuItem>", EraseFn(&M::Insert), Inv<void(M*, int32_t, M*)>(), 10},
             {"Item", "%o<MenuItem>%i4", EraseFn(&M::Item), Inv<Ref<M>(M*, int32_t)>(), 11},
             {"MenuItem", "%%", EraseFn(static_cast<void (*)(M*)>(&M::MenuItem_)), Inv<void(M*)>(),
              12, MemberKind::ClassConstructor},
             {"MenuItem", "%%so<Variant>", EraseFn(static_cast<TextTagFn>(&M::MenuItem_)), textTag,
              13, MemberKind::ClassConstructor},
             {"PopUp", "%o<MenuItem>%", EraseFn(static_cast<Ref<M> (*)(M*)>(&M::PopUp)),
              Inv<Ref<M>(M*)>(), 14},
             {"PopUp", "%o<MenuItem>%i4i4",
              EraseFn(static_cast<Ref<M> (*)(M*, int32_t, int32_t)>(&M::PopUp)),
              Inv<Ref<M>(M*, int32_t, int32_t)>(), 15},
             {"Remove", "%%i4", EraseFn(static_cast<void (*)(M*, int32_t)>(&M::Remove)),
              Inv<void(M*, int32_t)>(), 16},
             {"Remove", "%%o<MenuItem>", EraseFn(static_cast<void (*)(M*, M*)>(&M::Remove)),
              Inv<void(M*, M*)>(), 17},
             {"Remove", "%%s", EraseFn(static_cast<void (*)(M*, S)>(&M::Remove)),
              Inv<void(M*, S)>(), 18},
             {"_DependencyList", "%%", EraseFn(&M::_DependencyList), Inv<void(M*)>(), 19},
             {"_DisableEntirely", "%%", EraseFn(&M::_DisableEntirely), Inv<void(M*)>(), 20},
             {"_Lookup", "%o<MenuItem>%s", EraseFn(static_cast<Ref<M> (*)(M*, S)>(&M::_Lookup)),
              Inv<Ref<M>(M*, S)>(), 21},
             {"_Lookup", "%o<MenuItem>%si4",
              EraseFn(static_cast<Ref<M> (*)(M*, S, int32_t)>(&M::_Lookup)),
              Inv<Ref<M>(M*, S, int32_t)>(), 22},
             {"_SelfEnable", "%%", EraseFn(&M::_SelfEnable), Inv<void(M*)>(), 23},
             {"_Swap", "%%o<MenuItem>", EraseFn(&M::_Swap), Inv<void(M*, M*)>(), 24},
             {"__Exit", "%%", EraseFn(&M::__Exit), Inv<void(M*)>(), -1, MemberKind::Plain},
             {"__Init", "%%", EraseFn(&M::__Init), Inv<void(M*)>(), -1, MemberKind::Plain},
         });
}

Object* NewMenuItem() {
  auto* item = new MenuItem;
  MenuItem::__Init(item);
  return item;
}
Object* NewMenuBar() {
  auto* bar = new MenuBar;
  MenuItem::__Init(bar);
  MenuBar::__Init(bar);
  return bar;
}
Object* NewQuitMenuItem() {
  auto* item = new QuitMenuItem;
  MenuItem::__Init(item);
  return item;
}

void DestroyMenuItem(Object* self) { MenuItem::__Exit(static_cast<MenuItem*>(self)); }

}  // namespace

ClassTable* MenuItem::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<MenuItem>("MenuItem", nullptr, 27, kEventCount, 0);
    c->factory = &NewMenuItem;
    c->destructor = &DestroyMenuItem;
    c->eventNames = {"Action", "EnableMenu"};
    RuntimeNewVtable(c, kSlotCount);
    AddMenuItemMembers(c);
    FillVtableFromMembers(c);
    return c;
  }();
  return cls;
}

ClassTable* MenuBar::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* super = MenuItem::__Lookup();
    ClassTable* c = DefineClass<MenuBar>("MenuBar", super, 29, 0, 0);
    c->factory = &NewMenuBar;
    RuntimeNewVtable(c, kSlotCount);
    // MenuItem's members in name order, with the bar's own in their places.
    for (const MemberDescription& m : super->members) {
      if (m.name == "_Lookup" && m.slot == MenuItem::slot::_Lookup.index)
        AddMembers(c, {{"_InstallClone", "%%", EraseFn(&MenuBar::_InstallClone), Inv<void(M*)>(),
                        slot::_InstallClone.index}});
      c->members.push_back(m);
      if (m.name == "_DependencyList") c->members.back().function = EraseFn(&_DependencyList);
      if (m.name == "__Init")
        AddMembers(c, {{"__Init", "%%", EraseFn(&MenuBar::__Init), Inv<void(M*)>(), -1,
                        MemberKind::Plain}});
    }
    FillVtableFromMembers(c);
    return c;
  }();
  return cls;
}

ClassTable* QuitMenuItem::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<QuitMenuItem>("QuitMenuItem", MenuItem::__Lookup());
    c->factory = &NewQuitMenuItem;
    RuntimeNewVtable(c, kSlotCount);
    c->events[Action] = HandlerOf<&QuitMenuItem::Event_Action>();
    return c;
  }();
  return cls;
}

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
