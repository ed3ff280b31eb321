// Values passed to members called through their descriptions (introspection).
#pragma once

#include <cstdint>
#include <tuple>
#include <type_traits>
#include <variant>

#include "platform/core/class_table.h"
#include "platform/core/errors.h"

namespace rt {

using Value = std::variant<std::monostate, Ref<Object>, String, int32_t, bool, double, void*>;
using ValueList = std::vector<Value>;

// Calls a member through its description: function, target, arguments (nil for none).
using MemberInvoker = Value (*)(AnyFn function, Object* target, const ValueList* args);

namespace detail {

template <class A>
struct Arg {
  using Held = std::decay_t<A>;
  static Held From(const Value& v) { return std::get<Held>(v); }
  static A Use(const Held& h) { return h; }
};
// Object parameters are cast to the parameter's class first.
template <class T>
struct Arg<T*> {
  static_assert(std::is_base_of_v<Object, T>);
  using Held = Ref<T>;
  static Held From(const Value& v) {
    const Ref<Object>* o = std::get_if<Ref<Object>>(&v);
    return CheckCast<T>(o ? o->get() : nullptr, T::__Lookup());
  }
  static T* Use(const Held& h) { return h.get(); }
};
template <>
struct Arg<Object*> {
  using Held = Ref<Object>;
  static Held From(const Value& v) {
    const Ref<Object>* o = std::get_if<Ref<Object>>(&v);
    return o ? *o : Held();
  }
  static Object* Use(const Held& h) { return h.get(); }
};
template <>
struct Arg<void*> {
  using Held = void*;
  static Held From(const Value& v) { return std::get<void*>(v); }
  static void* Use(Held h) { return h; }
};
// A class given as a plain pointer.
template <>
struct Arg<ClassTable*> {
  using Held = ClassTable*;
  static Held From(const Value& v) { return static_cast<ClassTable*>(std::get<void*>(v)); }
  static ClassTable* Use(Held h) { return h; }
};

template <class R>
Value ToValue(R&& r) {
  if constexpr (std::is_convertible_v<R, Ref<Object>>)
    return Value(Ref<Object>(std::forward<R>(r)));
  else
    return Value(std::forward<R>(r));
}

}  // namespace detail

// One invoker per signature, shared by every member of that signature.
template <class Sig>
struct SignatureInvoker;
template <class R, class Self, class... A>
struct SignatureInvoker<R(Self*, A...)> {
  static Value Invoke(AnyFn function, Object* target, const ValueList* args) {
    if (!target) RaiseNilObjectException();
    if constexpr (sizeof...(A) > 0) {
      if (!args) RaiseNilObjectException();
      if (args->size() < sizeof...(A)) RaiseException(OutOfBoundsException::__Lookup());
    }
    Ref<Self> self = CheckCast<Self>(target, Self::__Lookup());
    return Call(function, self.get(), args, std::index_sequence_for<A...>{});
  }

 private:
  template <size_t... I>
  static Value Call(AnyFn function, Self* self, const ValueList* args, std::index_sequence<I...>) {
    (void)args;  // unused when the member takes no argument
    auto fn = reinterpret_cast<R (*)(Self*, A...)>(function);
    std::tuple<typename detail::Arg<A>::Held...> held{detail::Arg<A>::From((*args)[I])...};
    if constexpr (std::is_void_v<R>) {
      fn(self, detail::Arg<A>::Use(std::get<I>(held))...);
      return Value{};
    } else {
      return detail::ToValue(fn(self, detail::Arg<A>::Use(std::get<I>(held))...));
    }
  }
};

template <class Sig>
MemberInvoker InvokerFor() {
  return &SignatureInvoker<Sig>::Invoke;
}

}  // namespace rt

namespace rt {

template <class Sig>
Invoker ErasedInvokerFor() {
  return EraseFn(&SignatureInvoker<Sig>::Invoke);
}

// Calls the member its description names, through the description's invoker.
inline Value CallMember(const MemberDescription& m, Object* target, const ValueList* args) {
  return reinterpret_cast<MemberInvoker>(m.invoker)(m.function, target, args);
}

}  // namespace rt
