// Property tables and the mass property setter. Each class lists its properties once, each
// by pointing at the typed getter and setter (or the plain field) that already exist:
//   AddProperty<&RectControl::GetLeft, &RectControl::SetLeft>(cls, "Left");
//   AddField<&Control::Index>(cls, "Index");
// The value type fixes the type string and so the width of the value in a record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "platform/core/class_table.h"
#include "platform/core/property_record.h"
#include "platform/core/property_types.h"
#include "platform/core/runtime.h"
#include "platform/core/text.h"

namespace rt {

using PropertyValue = std::variant<int32_t, bool, FontUnits, Color, float, double, String>;

// How a property is read and written; one static instance per getter/setter pair.
class PropertySetter {
 public:
  using SetFn = void (*)(Object*, const PropertyValue&);
  using GetFn = PropertyValue (*)(Object*);
  constexpr PropertySetter(SetFn set, GetFn get) noexcept : set_(set), get_(get) {}
  // The value must hold the property's type (the record reader guarantees it).
  void Set(Object* obj, const PropertyValue& v) const { set_(obj, v); }
  PropertyValue Get(Object* obj) const { return get_(obj); }

 private:
  SetFn set_;
  GetFn get_;
};

template <class T>
struct PropertyType;
template <>
struct PropertyType<int32_t> {
  static constexpr const char* name = "i4";
};
template <>
struct PropertyType<bool> {
  static constexpr const char* name = "b";
};
template <>
struct PropertyType<FontUnits> {
  static constexpr const char* name = "FontUnits";
};
template <>
struct PropertyType<Color> {
  static constexpr const char* name = "c";
};
template <>
struct PropertyType<float> {
  static constexpr const char* name = "f4";
};
template <>
struct PropertyType<double> {
  static constexpr const char* name = "f8";
};
template <>
struct PropertyType<String> {
  static constexpr const char* name = "s";
};

namespace detail {

template <class F>
struct GetterTraits;
template <class R, class Self>
struct GetterTraits<R (*)(Self*)> {
  using Owner = Self;
  using Value = std::remove_cvref_t<R>;
};
template <class F>
struct SetterTraits;
template <class Self, class V>
struct SetterTraits<void (*)(Self*, V)> {
  using Owner = Self;
  using Value = std::remove_cvref_t<V>;
};
template <class M>
struct FieldTraits;
template <class C, class V>
struct FieldTraits<V C::*> {
  using Owner = C;
  using Value = V;
};

template <auto Get, auto Set>
struct Accessor {
  using G = GetterTraits<decltype(Get)>;
  using S = SetterTraits<decltype(Set)>;
  using Value = typename S::Value;
  static_assert(std::is_same_v<typename G::Value, Value>, "getter and setter disagree on the type");
  static void SetValue(Object* o, const PropertyValue& v) {
    Set(static_cast<typename S::Owner*>(o), std::get<Value>(v));
  }
  static PropertyValue GetValue(Object* o) { return Get(static_cast<typename G::Owner*>(o)); }
  static constexpr PropertySetter access{&SetValue, &GetValue};
};

template <auto Member>
struct FieldAccess {
  using F = FieldTraits<decltype(Member)>;
  using Value = typename F::Value;
  static void SetValue(Object* o, const PropertyValue& v) {
    // A stored field is a window's or control's property all the same: the main-thread
    // rule holds for it as it does for a setter.
    _UITrap();
    static_cast<typename F::Owner*>(o)->*Member = std::get<Value>(v);
  }
  static PropertyValue GetValue(Object* o) { return static_cast<typename F::Owner*>(o)->*Member; }
  static constexpr PropertySetter access{&SetValue, &GetValue};
};

}  // namespace detail

// A property of cls, read and written through its getter and setter.
template <auto Get, auto Set>
void AddProperty(ClassTable* cls, const char* name) {
  using A = detail::Accessor<Get, Set>;
  cls->properties.push_back({name, PropertyType<typename A::Value>::name, &A::access});
}

// A property of cls that is a plain stored field: it has no effect beyond being kept.
template <auto Member>
void AddField(ClassTable* cls, const char* name) {
  using A = detail::FieldAccess<Member>;
  cls->properties.push_back({name, PropertyType<typename A::Value>::name, &A::access});
}

// The property that key names in cls or a superclass: the exact name first, else the one
// whose name differs only in letter case. Nil when none.
const PropertyDescription* FindPropertyOf(const ClassTable* cls, std::string_view key) noexcept;

// One entry of a record, as read against a class's property tables.
struct RecordEntry {
  std::string_view key;  // as the record spells it
  size_t offset = 0;     // of the key's first byte
  size_t size = 0;       // of the whole entry
  const PropertyDescription* property = nullptr;
  PropertyValue value;
};

// Reads a record entry by entry. Never reads past the record's end: a key no table knows,
// a missing blank or an entry cut off by the end raises RuntimeException naming the key and
// the byte offset.
class RecordReader {
 public:
  RecordReader(const ClassTable* cls, PropertyRecord record) noexcept
      : cls_(cls), record_(record) {}
  bool AtEnd() const noexcept { return at_ >= record_.size(); }
  size_t Position() const noexcept { return at_; }
  // The next entry; decoding its value is skipped when decode is false.
  RecordEntry Next(bool decode = true);

 private:
  [[noreturn]] void Fail(std::string_view key, size_t offset, const std::string& what) const;
  const ClassTable* cls_;
  PropertyRecord record_;
  size_t at_ = 0;
};

// Sets every property the record names on obj. A malformed record raises before anything is
// set. A setter that fails does not stop the others: once all are done, one RuntimeException
// names every entry that could not be taken. A ThreadAccessingUIException travels at once.
void RuntimeMassPropertySetter(Object* obj, PropertyRecord record);
// The program's entry to the setter; hands both on unchanged.
void _SetProperties(Object* obj, PropertyRecord record);

// One property by name (letter case as FindPropertyOf); an unknown name raises RuntimeException.
PropertyValue GetProperty(Object* obj, std::string_view name);
void SetProperty(Object* obj, std::string_view name, const PropertyValue& value);

}  // namespace rt
