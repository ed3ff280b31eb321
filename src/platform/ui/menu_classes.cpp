// The class tables of MenuItem, MenuBar and QuitMenuItem: members in name order, slots,
// events, and the factories that give a new object its defaults.
#include "platform/ui/menu.h"

#include "platform/core/errors.h"
#include "platform/core/runtime.h"

namespace rt {

namespace {

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

}  // namespace rt
