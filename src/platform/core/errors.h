// Errors are framework objects, carried through C++ by one exception type.
#pragma once

#include <exception>
#include <string>

#include "platform/core/class_table.h"
#include "platform/core/object.h"
#include "platform/core/text.h"

namespace rt {

class RuntimeException : public Object {
 public:
  static ClassTable* __Lookup();
  String Message;
  int32_t ErrorNumber = 0;
};

class NilObjectException : public RuntimeException {
 public:
  static ClassTable* __Lookup();
};

class ThreadAccessingUIException : public RuntimeException {
 public:
  static ClassTable* __Lookup();
  static constexpr const char* kMessage =
      "A thread has attempted to manipulate a user interface element. This can only be done "
      "from the application's main thread.";
};

class IllegalCastException : public RuntimeException {
 public:
  static ClassTable* __Lookup();
};

class OutOfBoundsException : public RuntimeException {
 public:
  static ClassTable* __Lookup();
};

// What travels through C++ frames: the error object, any Object.
class RaisedError : public std::exception {
 public:
  explicit RaisedError(Ref<Object> error) : error_(std::move(error)) {}
  const Ref<Object>& Error() const noexcept { return error_; }
  const char* what() const noexcept override;

 private:
  Ref<Object> error_;
  mutable std::string what_;
};

// Makes an exception object of the class with the message.
Ref<RuntimeException> NewException(ClassTable* cls, String message = {});
[[noreturn]] void Raise(Ref<Object> error);
[[noreturn]] void RaiseException(ClassTable* cls, String message = {});
// Only inside a catch block: the error being handled as an error object. A raised one is
// given as it is (nil too); any other C++ error, not a reason to abort, becomes a
// RuntimeException with its message.
Ref<Object> CaughtError();

// The class name and message of an error object, for reports.
std::string DescribeError(const Object* error);

}  // namespace rt
