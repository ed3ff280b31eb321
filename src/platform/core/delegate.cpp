#include "platform/core/delegate.h"

namespace rt {

ClassTable* Delegate::__Lookup() {
  static ClassTable* cls = DefineClass<Delegate>("Delegate", nullptr);
  return cls;
}

Ref<Delegate> RuntimeCreateDelegate(AnyFn invoker, AnyFn function, Object* target,
                                    String signature, int32_t flag) {
  Ref<Object> obj = RuntimeNewObject(Delegate::__Lookup());
  auto* d = static_cast<Delegate*>(obj.get());
  d->invoker_ = invoker;
  d->function_ = function;
  if (flag == 1)
    d->weakTarget_ = target;
  else
    d->target_ = target;
  d->signature_ = std::move(signature);
  d->flag_ = flag;
  return Ref<Delegate>(d);
}

}  // namespace rt
