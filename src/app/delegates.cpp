#include "app/delegates.h"

#include "platform/core/errors.h"
#include "platform/ui/window.h"

namespace quorvane::Delegate {

rt::Ref<rt::Object> Invoke(rt::Delegate* d, rt::PtrFunction function, void* argument) {
  auto fn = reinterpret_cast<rt::Ref<rt::Object> (*)(rt::PtrFunction, void*)>(d->Function());
  return fn(function, argument);
}

void Invoke(rt::Delegate* d) { reinterpret_cast<void (*)()>(d->Function())(); }

void Invoke(rt::Delegate* d, void* argument) {
  reinterpret_cast<void (*)(void*)>(d->Function())(argument);
}

void IM_Invoke(rt::Delegate* d, rt::BevelButton* button) {
  rt::Object* target = d->Target();
  if (!target) rt::RaiseNilObjectException();
  auto fn = reinterpret_cast<void (*)(rt::Window*, rt::BevelButton*)>(d->Function());
  fn(static_cast<rt::Window*>(target), button);
}

}  // namespace quorvane::Delegate
