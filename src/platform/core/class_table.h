// Class tables: the framework's description of a class, with its virtual table,
// event table, member descriptions and property table.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/core/object.h"
#include "platform/core/text.h"

namespace rt {

// A function stored in a table; cast back to its real type only by the typed helpers.
using AnyFn = void (*)();

template <class F>
AnyFn EraseFn(F* f) noexcept {
  return reinterpret_cast<AnyFn>(f);
}

// See value.h; kept opaque here so that class tables need no variant.
using Invoker = AnyFn;

struct Attribute {
  std::string name;
  String value;
  uint8_t flag = 0;
};

enum class MemberKind : uint8_t { Virtual, ClassConstructor, Plain };

struct MemberDescription {
  std::string name;
  MemberKind kind = MemberKind::Virtual;
  bool hidden = false;
  std::string signature;
  AnyFn function = nullptr;
  Invoker invoker = nullptr;
  int slot = -1;  // place in the virtual table; -1 outside it
  std::vector<Attribute> attributes;
};

class PropertySetter;  // see property_setter.h
struct PropertyDescription {
  std::string name;
  std::string type;  // "i4", "b", "c", "f4", "f8", "s", or an enumeration's name
  const PropertySetter* access = nullptr;
};

using EventHandler = void (*)(Object* self);

struct ClassTable {
  std::string name;
  ClassTable* super = nullptr;
  size_t instanceSize = 0;
  Object* (*factory)() = nullptr;             // makes the bare C++ object
  void (*destructor)(Object* self) = nullptr;  // runs when the last reference goes
  std::vector<AnyFn> vtable;
  std::vector<std::string> eventNames;  // this class's own, numbered after the superclass's
  std::vector<EventHandler> events;     // handlers by event number, the superclass's included
  std::vector<MemberDescription> members;
  std::vector<PropertyDescription> properties;

  bool IsA(const ClassTable* other) const noexcept;
  int EventCount() const noexcept { return static_cast<int>(events.size()); }
  // Name of event n, looked up through the superclasses; empty when out of range.
  std::string EventName(int n) const;
  // The handler of event n in this class or the nearest superclass that has one.
  EventHandler HandlerFor(int n) const noexcept;
  // A property of this class or a superclass, by exact name; nil when none.
  const PropertyDescription* FindProperty(std::string_view name) const noexcept;
};

// A virtual-table slot with the exact type of the function it holds.
template <class Sig>
struct Slot;
template <class R, class Self, class... A>
struct Slot<R(Self*, A...)> {
  int index;
  using Fn = R (*)(Self*, A...);
};

// Builds a class from its superclass (nil for a root). The table is never freed.
ClassTable* RuntimeNewClass(ClassTable* super, int memberCount, int eventCount, int propertyCount);
// The class's virtual table of n slots, filled with the superclass's functions first.
std::vector<AnyFn>& RuntimeNewVtable(ClassTable* cls, int slotCount);
void RuntimeAllocateAttributeTable(MemberDescription& member, int attributeCount);

template <class R, class Self, class... A>
void SetSlot(ClassTable* cls, Slot<R(Self*, A...)> slot, typename Slot<R(Self*, A...)>::Fn fn) {
  cls->vtable.at(slot.index) = EraseFn(fn);
}

template <class R, class Self, class... A>
typename Slot<R(Self*, A...)>::Fn SlotFunction(const ClassTable* cls, Slot<R(Self*, A...)> slot) {
  return reinterpret_cast<typename Slot<R(Self*, A...)>::Fn>(cls->vtable.at(slot.index));
}

// Calls a member through the receiver's virtual table; a nil receiver raises NilObjectException.
template <class R, class Self, class... A, class... Args>
R Invoke(Slot<R(Self*, A...)> slot, Self* self, Args&&... args) {
  if (!self) RaiseNilObjectException();
  return SlotFunction(self->Class(), slot)(self, std::forward<Args>(args)...);
}
template <class R, class Self, class... A, class T, class... Args>
R Invoke(Slot<R(Self*, A...)> slot, const Ref<T>& self, Args&&... args) {
  return Invoke(slot, static_cast<Self*>(self.get()), std::forward<Args>(args)...);
}

// One row of a framework class's member list, as its builder writes it.
struct MemberRow {
  const char* name;
  const char* signature;
  AnyFn function;
  Invoker invoker;
  int slot;  // -1 outside the virtual table
  MemberKind kind = MemberKind::Virtual;
};
// Appends a description for each row, in order.
void AddMembers(ClassTable* cls, std::initializer_list<MemberRow> rows);
// Stores each described member's function in its virtual-table slot.
void FillVtableFromMembers(ClassTable* cls);

// Makes an object of the class; runs no constructor. The caller owns the reference.
Ref<Object> RuntimeNewObject(ClassTable* cls);

// The same object typed as cls; nil stays nil; another class raises IllegalCastException.
Ref<Object> RuntimeCheckCast(Object* obj, ClassTable* cls);
template <class T>
Ref<T> CheckCast(Object* obj, ClassTable* cls) {
  Ref<Object> o = RuntimeCheckCast(obj, cls);
  return Ref<T>(static_cast<T*>(o.get()));
}
template <class T, class U>
Ref<T> CheckCast(const Ref<U>& obj, ClassTable* cls) {
  return CheckCast<T>(static_cast<Object*>(obj.get()), cls);
}

void SetObjectClass(Object* obj, ClassTable* cls) noexcept;

}  // namespace rt

namespace rt {

template <class T>
Object* ConstructObject() {
  return new T;
}

// One framework class: named, made from its superclass, objects of C++ type T.
template <class T>
ClassTable* DefineClass(std::string name, ClassTable* super, int memberCount = 0,
                        int eventCount = 0, int propertyCount = 0) {
  ClassTable* cls = RuntimeNewClass(super, memberCount, eventCount, propertyCount);
  cls->name = std::move(name);
  cls->instanceSize = sizeof(T);
  cls->factory = &ConstructObject<T>;
  return cls;
}

}  // namespace rt

namespace rt {

namespace detail {
template <class F>
struct FirstParam;
template <class R, class Self, class... A>
struct FirstParam<R (*)(Self*, A...)> {
  using type = Self;
};
template <auto Fn>
void EventAdapter(Object* self) {
  using Self = typename FirstParam<decltype(Fn)>::type;
  Fn(static_cast<Self*>(self));
}
}  // namespace detail

// The event-table entry that runs Fn, a handler taking its object as its only argument.
template <auto Fn>
EventHandler HandlerOf() noexcept {
  return &detail::EventAdapter<Fn>;
}

}  // namespace rt
