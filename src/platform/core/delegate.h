// Delegates: callable objects over a routine, with an invoker and an optional target.
#pragma once

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

class Delegate : public Object {
 public:
  static ClassTable* __Lookup();

  AnyFn Invoker() const noexcept { return invoker_; }
  AnyFn Function() const noexcept { return function_; }
  // Flag 1 marks a target that owns, through its controls, the object holding this
  // delegate: it is not retained, so the two do not keep each other alive.
  Object* Target() const noexcept { return weakTarget_ ? weakTarget_ : target_.get(); }
  const String& Signature() const noexcept { return signature_; }
  int32_t Flag() const noexcept { return flag_; }
  // A plain pointer that calls the routine with the caller's own arguments; it stays
  // valid after the delegate is gone.
  AnyFn FunctionPointer() const noexcept { return function_; }

 private:
  friend Ref<Delegate> RuntimeCreateDelegate(AnyFn, AnyFn, Object*, String, int32_t);
  AnyFn invoker_ = nullptr;
  AnyFn function_ = nullptr;
  Ref<Object> target_;
  Object* weakTarget_ = nullptr;
  String signature_;
  int32_t flag_ = 0;
};

Ref<Delegate> RuntimeCreateDelegate(AnyFn invoker, AnyFn function, Object* target,
                                    String signature, int32_t flag);

}  // namespace rt
