#include "platform/core/property_setter.h"

#include <bit>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"

namespace rt {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A key as a message can show it: printable ASCII as it is, other bytes escaped, cut short.
std::string Printable(std::string_view key) {
  constexpr size_t kShown = 48;
  std::string out;
  for (size_t i = 0; i < key.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(key[i]);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      static const char hex[] = "0123456789abcdef";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  if (key.size() > kShown) out += "...";
  return out;
}

// Bytes of a value of the type; 0 for a text, whose width its count gives.
size_t FixedWidth(std::string_view type) noexcept {
  if (type == "i4" || type == "c" || type == "f4") return 4;
  if (type == "b" || type == "FontUnits") return 1;
  if (type == "f8") return 8;
  return 0;
}

uint64_t Little(const uint8_t* p, size_t width) noexcept {
  uint64_t v = 0;
  for (size_t i = 0; i < width; ++i) v |= uint64_t{p[i]} << (8 * i);
  return v;
}

PropertyValue Decode(std::string_view type, const uint8_t* p, size_t textSize) {
  if (type == "i4") return static_cast<int32_t>(static_cast<uint32_t>(Little(p, 4)));
  if (type == "b") return p[0] != 0;
  if (type == "FontUnits") return static_cast<FontUnits>(p[0]);
  if (type == "c") return Color{p[0], p[1], p[2], p[3]};
  if (type == "f4") return std::bit_cast<float>(static_cast<uint32_t>(Little(p, 4)));
  if (type == "f8") return std::bit_cast<double>(Little(p, 8));
  return String(std::string_view(reinterpret_cast<const char*>(p + 4), textSize));
}

bool KnownType(std::string_view type) noexcept { return FixedWidth(type) != 0 || type == "s"; }

std::string_view TypeOf(const PropertyValue& v) {
  return std::visit(
      [](const auto& x) { return std::string_view(PropertyType<std::decay_t<decltype(x)>>::name); },
      v);
}

}  // namespace

const PropertyDescription* FindPropertyOf(const ClassTable* cls, std::string_view key) noexcept {
  if (!cls) return nullptr;
  if (const PropertyDescription* exact = cls->FindProperty(key)) return exact;
  for (const ClassTable* c = cls; c; c = c->super)
    for (const PropertyDescription& p : c->properties)
      if (SameIgnoringCase(p.name, key)) return &p;
  return nullptr;
}

void RecordReader::Fail(std::string_view key, size_t offset, const std::string& what) const {
  RaiseException(
      RuntimeException::__Lookup(),
      String("property record for " + (cls_ ? cls_->name : std::string("nil")) + ": the entry \"" +
             Printable(key) + "\" at byte " + std::to_string(offset) + " " + what));
}

RecordEntry RecordReader::Next(bool decode) {
  const size_t start = at_;
  const size_t end = record_.size();
  const uint8_t* bytes = record_.data();
  size_t blank = start;
  while (blank < end && bytes[blank] != ' ') ++blank;
  const std::string_view key(reinterpret_cast<const char*>(bytes) + start, blank - start);
  if (blank == end) Fail(key, start, "has no blank after its key before the record ends");
  if (key.empty()) Fail(key, start, "has an empty key");
  const PropertyDescription* p = FindPropertyOf(cls_, key);
  if (!p) Fail(key, start, "names no property of " + (cls_ ? cls_->name : std::string("nil")));
  if (!KnownType(p->type)) Fail(key, start, "has a type this reader cannot read: " + p->type);

  const size_t value = blank + 1;
  const size_t left = end - value;
  size_t width = FixedWidth(p->type);
  size_t textSize = 0;
  if (width == 0) {
    if (left < 4)
      Fail(key, start,
           "is cut off by the record's end: its text count needs 4 bytes, " + std::to_string(left) +
               " remain");
    textSize = static_cast<size_t>(Little(bytes + value, 4));
    if (textSize > left - 4)
      Fail(key, start,
           "is cut off by the record's end: its text needs " + std::to_string(textSize) +
               " bytes, " + std::to_string(left - 4) + " remain");
    width = 4 + textSize;
  } else if (width > left) {
    Fail(key, start,
         "is cut off by the record's end: its value needs " + std::to_string(width) + " bytes, " +
             std::to_string(left) + " remain");
  }

  RecordEntry entry;
  entry.key = key;
  entry.offset = start;
  entry.size = value + width - start;
  entry.property = p;
  if (decode) entry.value = Decode(p->type, bytes + value, textSize);
  at_ = value + width;
  return entry;
}

void RuntimeMassPropertySetter(Object* obj, PropertyRecord record) {
  if (!obj) RaiseNilObjectException();
  Ref<Object> hold(obj);
  const ClassTable* cls = obj->Class();

  // The whole record is checked first, so that a malformed one changes nothing.
  for (RecordReader check(cls, record); !check.AtEnd();) check.Next(false);

  std::string report;
  int failed = 0;
  for (RecordReader reader(cls, record); !reader.AtEnd();) {
    RecordEntry e = reader.Next();
    try {
      if (!e.property->access)
        RaiseException(RuntimeException::__Lookup(), String("the property cannot be set"));
      e.property->access->Set(obj, e.value);
    } catch (const RaisedError& error) {
      // Every further entry would fail the same way.
      if (error.Error() && error.Error()->IsA(ThreadAccessingUIException::__Lookup())) throw;
      ++failed;
      report += "\n  \"" + Printable(e.key) + "\" at byte " + std::to_string(e.offset) + ": " +
                DescribeError(error.Error().get());
    }
  }
  if (failed)
    RaiseException(RuntimeException::__Lookup(),
                   String("property record for " + cls->name + ": " + std::to_string(failed) +
                          (failed == 1 ? " entry" : " entries") + " could not be set:" + report));
}

void _SetProperties(Object* obj, PropertyRecord record) {
  if (CallLogActive()) LogCall("_SetProperties " + (obj ? obj->Class()->name : std::string("nil")));
  RuntimeMassPropertySetter(obj, record);
}

PropertyValue GetProperty(Object* obj, std::string_view name) {
  if (!obj) RaiseNilObjectException();
  const PropertyDescription* p = FindPropertyOf(obj->Class(), name);
  if (!p || !p->access)
    RaiseException(RuntimeException::__Lookup(),
                   String(obj->Class()->name + " has no property \"" + Printable(name) + "\""));
  return p->access->Get(obj);
}

void SetProperty(Object* obj, std::string_view name, const PropertyValue& value) {
  if (!obj) RaiseNilObjectException();
  const PropertyDescription* p = FindPropertyOf(obj->Class(), name);
  if (!p || !p->access)
    RaiseException(RuntimeException::__Lookup(),
                   String(obj->Class()->name + " has no property \"" + Printable(name) + "\""));
  if (TypeOf(value) != p->type)
    RaiseException(RuntimeException::__Lookup(),
                   String(p->name + " takes a value of type " + p->type + ", not " +
                          std::string(TypeOf(value))));
  p->access->Set(obj, value);
}

}  // namespace rt
