#include "app/app.h"

#include "platform/core/value.h"

namespace quorvane::App {

rt::ClassTable* __ctbl = nullptr;

void Constructor(rt::Application*) {}

void __ctblinit() {
  if (__ctbl) return;
  rt::ClassTable* super = rt::Application::__Lookup();
  __ctbl = rt::RuntimeNewClass(super, 1, 0, 0);
  __ctbl->name = "App";
  rt::RuntimeNewVtable(__ctbl, slot::kCount);
  rt::SetSlot(__ctbl, slot::Constructor, &Constructor);

  rt::MemberDescription constructor;
  constructor.name = "Constructor";
  constructor.signature = "%%";
  constructor.function = rt::EraseFn(&Constructor);
  constructor.invoker = rt::ErasedInvokerFor<void(rt::Application*)>();
  constructor.slot = slot::Constructor.index;
  __ctbl->members.push_back(std::move(constructor));
  rt::RuntimeAllocateAttributeTable(__ctbl->members.back(), 0);
}

rt::ClassTable* __Lookup() {
  if (!__ctbl) __ctblinit();
  return __ctbl;
}

}  // namespace quorvane::App
