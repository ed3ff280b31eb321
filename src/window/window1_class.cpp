#include "platform/core/class_table.h"
#include "platform/core/runtime.h"
#include "platform/core/value.h"
#include "window/window1.h"

namespace quorvane::Window1 {

using rt::ClassTable;
using rt::EraseFn;
using rt::MemberDescription;
using rt::MemberKind;
using rt::Window;

ClassTable* __ctbl = nullptr;

namespace {

template <class Sig>
rt::Invoker Inv() {
  return rt::ErasedInvokerFor<Sig>();
}

struct OwnMember {
  const char* name;
  const char* signature;
  rt::AnyFn function;
  rt::Invoker invoker;
  bool hidden;
};

using MenuAccessor = Ref<rt::MenuItem>(Window*);

const OwnMember* OwnMembers() {
  static const OwnMember members[] = {
      {"Layout", "%%", EraseFn(&Layout), Inv<void(Window*)>(), false},
      {"CreateControls", "%%", EraseFn(&CreateControls), Inv<void(Window*)>(), false},
      {"_CreateControls0", "%%", EraseFn(&_CreateControls0), Inv<void(Window*)>(), true},
      {"BevelButton1", "%o<BevelButton>%", EraseFn(&BevelButton1),
       Inv<Ref<rt::BevelButton>(Window*)>(), false},
      {"Listbox1", "%o<Listbox>%", EraseFn(&Listbox1), Inv<Ref<rt::Listbox>(Window*)>(), false},
      {"Label4", "%o<Label>%", EraseFn(&Label4), Inv<Ref<rt::Label>(Window*)>(), false},
      {"TextArea1", "%o<TextArea>%", EraseFn(&TextArea1), Inv<Ref<rt::TextArea>(Window*)>(),
       false},
      {"BevelButton1_Action", "%%o<BevelButton>", EraseFn(&BevelButton1_Action),
       Inv<void(Window*, rt::BevelButton*)>(), false},
      {"EditMenu", "%o<MenuItem>%", EraseFn(&EditMenu), Inv<MenuAccessor>(), false},
      {"EditSelectAll", "%o<MenuItem>%", EraseFn(&EditSelectAll), Inv<MenuAccessor>(), false},
      {"EditSeparator2", "%o<MenuItem>%", EraseFn(&EditSeparator2), Inv<MenuAccessor>(), false},
      {"EditClear", "%o<MenuItem>%", EraseFn(&EditClear), Inv<MenuAccessor>(), false},
      {"EditPaste", "%o<MenuItem>%", EraseFn(&EditPaste), Inv<MenuAccessor>(), false},
      {"EditCopy", "%o<MenuItem>%", EraseFn(&EditCopy), Inv<MenuAccessor>(), false},
      {"EditCut", "%o<MenuItem>%", EraseFn(&EditCut), Inv<MenuAccessor>(), false},
      {"EditSeparator1", "%o<MenuItem>%", EraseFn(&EditSeparator1), Inv<MenuAccessor>(), false},
      {"EditUndo", "%o<MenuItem>%", EraseFn(&EditUndo), Inv<MenuAccessor>(), false},
      {"FileMenu", "%o<MenuItem>%", EraseFn(&FileMenu), Inv<MenuAccessor>(), false},
      {"FileQuit", "%o<QuitMenuItem>%", EraseFn(&FileQuit),
       Inv<Ref<rt::QuitMenuItem>(Window*)>(), false},
      {"openvideofolder", "%%", EraseFn(&openvideofolder), Inv<void(Window*)>(), false},
      {"getid3info", "%%o<FolderItem>", EraseFn(&getid3info),
       Inv<void(Window*, rt::FolderItem*)>(), false},
  };
  return members;
}
constexpr int kOwnCount = slot::kCount - slot::kInherited;

}  // namespace

void __ctblinit() {
  if (__ctbl) return;
  ClassTable* super = Window::__Lookup();
  const int memberCount = static_cast<int>(super->members.size()) + kOwnCount;
  __ctbl = rt::RuntimeNewClass(super, memberCount, 0, 0);
  __ctbl->name = kClassName;
  __ctbl->instanceSize = super->instanceSize;

  std::vector<rt::AnyFn>& vtable = rt::RuntimeNewVtable(__ctbl, slot::kCount);
  for (int i = 0; i < kOwnCount; ++i) vtable[slot::kInherited + i] = OwnMembers()[i].function;
  for (int i = 0; i < slot::kInherited; ++i) vtable[i] = super->vtable[i];

  for (const MemberDescription& inherited : super->members) {
    __ctbl->members.push_back(inherited);
    rt::RuntimeAllocateAttributeTable(__ctbl->members.back(), 0);
  }
  for (int i = 0; i < kOwnCount; ++i) {
    const OwnMember& own = OwnMembers()[i];
    MemberDescription m;
    m.name = own.name;
    m.kind = MemberKind::Virtual;
    m.hidden = own.hidden;
    m.signature = own.signature;
    m.function = own.function;
    m.invoker = own.invoker;
    m.slot = slot::kInherited + i;
    __ctbl->members.push_back(std::move(m));
    rt::MemberDescription& stored = __ctbl->members.back();
    rt::RuntimeAllocateAttributeTable(stored, own.hidden ? 1 : 0);
    if (own.hidden) stored.attributes[0] = rt::Attribute{"Hidden", rt::String(), 0};
  }

  __ctbl->events[Window::Layout] = rt::HandlerOf<&Layout>();
  __ctbl->events[Window::CreateControls] = rt::HandlerOf<&CreateControls>();
}

ClassTable* __Lookup() {
  if (!__ctbl) __ctblinit();
  return __ctbl;
}

Ref<Window> Window1() {
  Ref<Window> window = rt::_GetImplicitWindow(kClassName);
  if (!window) {
    Ref<rt::Object> made = rt::RuntimeNewObject(__Lookup());
    window = Ref<Window>(static_cast<Window*>(made.get()));
    rt::Invoke(Window::slot::Constructor, window);
  }
  return rt::CheckCast<Window>(window, __Lookup());
}

}  // namespace quorvane::Window1
