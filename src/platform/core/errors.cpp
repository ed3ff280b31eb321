#include "platform/core/errors.h"

namespace rt {

ClassTable* RuntimeException::__Lookup() {
  static ClassTable* cls = DefineClass<RuntimeException>("RuntimeException", nullptr);
  return cls;
}
ClassTable* NilObjectException::__Lookup() {
  static ClassTable* cls =
      DefineClass<NilObjectException>("NilObjectException", RuntimeException::__Lookup());
  return cls;
}
ClassTable* ThreadAccessingUIException::__Lookup() {
  static ClassTable* cls = DefineClass<ThreadAccessingUIException>(
      "ThreadAccessingUIException", RuntimeException::__Lookup());
  return cls;
}
ClassTable* IllegalCastException::__Lookup() {
  static ClassTable* cls =
      DefineClass<IllegalCastException>("IllegalCastException", RuntimeException::__Lookup());
  return cls;
}
ClassTable* OutOfBoundsException::__Lookup() {
  static ClassTable* cls =
      DefineClass<OutOfBoundsException>("OutOfBoundsException", RuntimeException::__Lookup());
  return cls;
}

const char* RaisedError::what() const noexcept {
  if (what_.empty()) what_ = DescribeError(error_.get());
  return what_.c_str();
}

Ref<RuntimeException> NewException(ClassTable* cls, String message) {
  Ref<Object> obj = RuntimeNewObject(cls);
  auto* e = static_cast<RuntimeException*>(obj.get());
  e->Message = std::move(message);
  return Ref<RuntimeException>(e);
}

void Raise(Ref<Object> error) { throw RaisedError(std::move(error)); }

void RaiseException(ClassTable* cls, String message) {
  Raise(NewException(cls, std::move(message)));
}

Ref<Object> CaughtError() {
  try {
    throw;
  } catch (const RaisedError& e) {
    return e.Error();
  } catch (const std::exception& e) {
    return NewException(RuntimeException::__Lookup(), String(e.what()));
  } catch (...) {
    return NewException(RuntimeException::__Lookup(), String("unknown error"));
  }
}

void RaiseNilObjectException() { RaiseException(NilObjectException::__Lookup()); }

std::string DescribeError(const Object* error) {
  if (!error) return "nil";
  std::string text = error->Class() ? error->Class()->name : "Object";
  if (error->IsA(RuntimeException::__Lookup())) {
    auto* e = static_cast<const RuntimeException*>(error);
    if (!e->Message.IsEmpty()) text += ": " + e->Message.Std();
  }
  return text;
}

}  // namespace rt
