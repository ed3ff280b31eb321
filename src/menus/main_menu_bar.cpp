#include "menus/main_menu_bar.h"

#include <tuple>

#include "platform/core/value.h"

namespace quorvane::MainMenuBar {

using rt::MenuItem;

rt::ClassTable* __ctbl = nullptr;
rt::StaticRef<rt::MenuBar> _implicitInstance;

namespace {

struct Entry {
  rt::ClassTable* (*cls)();
  const char* name;
  const char* text;
  const char* shortcut;  // nullptr: no KeyboardShortcut store at all
  const char* menu;      // the bar's child it goes to; nullptr: the bar itself
};

// In the order they are made and appended.
const Entry kFileMenu[] = {
    {&MenuItem::__Lookup, "FileMenu", "&File", "", nullptr},
    {&rt::QuitMenuItem::__Lookup, "FileQuit", "&Quit", "Cmd+Q", "FileMenu"},
};
const Entry kEditMenu[] = {
    {&MenuItem::__Lookup, "EditMenu", "&Edit", "", nullptr},
    {&MenuItem::__Lookup, "EditUndo", "&Undo", "Cmd+Z", "EditMenu"},
    {&MenuItem::__Lookup, "EditSeparator1", "-", nullptr, "EditMenu"},
    {&MenuItem::__Lookup, "EditCut", "Cu&t", "Cmd+X", "EditMenu"},
    {&MenuItem::__Lookup, "EditCopy", "&Copy", "Cmd+C", "EditMenu"},
    {&MenuItem::__Lookup, "EditPaste", "&Paste", "Cmd+V", "EditMenu"},
    {&MenuItem::__Lookup, "EditClear", "&Delete", "", "EditMenu"},
    {&MenuItem::__Lookup, "EditSeparator2", "-", nullptr, "EditMenu"},
    {&MenuItem::__Lookup, "EditSelectAll", "Select &All", "Cmd+A", "EditMenu"},
};

// The entry in hand; nil raises NilObjectException before any store.
MenuItem* Tested(const Ref<MenuItem>& entry) { return &*entry; }

// Makes, fills and appends one entry; current is the builder's entry, replaced by the new one.
void Build(MenuItem* bar, Ref<MenuItem>& current, const Entry& e) {
  {
    Ref<rt::Object> made = rt::RuntimeNewObject(e.cls());
    Ref<MenuItem> entry(static_cast<MenuItem*>(made.get()));
    rt::Invoke(MenuItem::slot::Constructor, entry);
    current = entry;
  }
  MenuItem::SetName(Tested(current), e.name);
  MenuItem::SetAutoEnable(Tested(current), true);
  MenuItem::SetText(Tested(current), e.text);
  MenuItem::SetVisible(Tested(current), true);
  if (e.shortcut) MenuItem::SetKeyboardShortcut(Tested(current), e.shortcut);
  if (!e.menu) {
    rt::Invoke(MenuItem::slot::Append, bar, Tested(current));
    return;
  }
  Ref<MenuItem> menu = rt::Invoke(MenuItem::slot::Child, bar, rt::String(e.menu));
  rt::Invoke(MenuItem::slot::Append, Tested(menu), Tested(current));
}

template <size_t N>
void BuildAll(MenuItem* self, const Entry (&entries)[N]) {
  Ref<MenuItem> receiver(self);
  Ref<MenuItem> current;
  for (const Entry& e : entries) Build(receiver.get(), current, e);
}

}  // namespace

void Untitled0(MenuItem* self) { BuildAll(self, kFileMenu); }
void Untitled1(MenuItem* self) { BuildAll(self, kEditMenu); }

// Runs no inherited constructor: the bar is what RuntimeNewObject made plus the two menus.
void Constructor(MenuItem* self) {
  rt::Invoke(slot::Untitled0, self);
  rt::Invoke(slot::Untitled1, self);
}

Ref<rt::MenuBar> MainMenuBar() {
  if (!_implicitInstance) {
    Ref<rt::Object> made = rt::RuntimeNewObject(__Lookup());
    Ref<rt::MenuBar> bar(static_cast<rt::MenuBar*>(made.get()));
    made.reset();
    rt::Invoke(slot::Constructor, bar);
    _implicitInstance = bar;  // only a finished bar is kept
  }
  return _implicitInstance;
}

void __ctblinit() {
  if (__ctbl) return;
  rt::ClassTable* super = rt::MenuBar::__Lookup();
  __ctbl = rt::RuntimeNewClass(super, static_cast<int>(super->members.size()) + 2, 0, 0);
  __ctbl->name = kClassName;

  std::vector<rt::AnyFn>& vtable = rt::RuntimeNewVtable(__ctbl, slot::kCount);
  vtable[slot::Constructor.index] = rt::EraseFn(&Constructor);
  vtable[slot::Untitled0.index] = rt::EraseFn(&Untitled0);
  vtable[slot::Untitled1.index] = rt::EraseFn(&Untitled1);

  const rt::Invoker plain = rt::ErasedInvokerFor<void(MenuItem*)>();
  for (const rt::MemberDescription& inherited : super->members) {
    __ctbl->members.push_back(inherited);
    rt::MemberDescription& m = __ctbl->members.back();
    if (m.slot == slot::Constructor.index) {
      m.function = rt::EraseFn(&Constructor);
      m.invoker = plain;
    }
    rt::RuntimeAllocateAttributeTable(m, 0);
  }
  for (auto [name, fn, at] : {std::tuple{"Untitled0", &Untitled0, slot::Untitled0.index},
                              std::tuple{"Untitled1", &Untitled1, slot::Untitled1.index}}) {
    rt::MemberDescription m;
    m.name = name;
    m.signature = "%%";
    m.function = rt::EraseFn(fn);
    m.invoker = plain;
    m.slot = at;
    __ctbl->members.push_back(std::move(m));
    rt::RuntimeAllocateAttributeTable(__ctbl->members.back(), 0);
  }
}

rt::ClassTable* __Lookup() {
  if (!__ctbl) __ctblinit();
  return __ctbl;
}

}  // namespace quorvane::MainMenuBar
