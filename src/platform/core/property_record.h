// Property records: the packed bytes that give a window or control many properties in one
// step. Entries follow each other with nothing between them: the key, one blank, then the
// value in the encoding of the property's type. The type is not stored; the property table
// of the object's class gives it.
//
// Records are built at compile time from readable lists of typed entries:
//   constexpr record::Entry kEntries[] = {record::Text("Name", "Box"), record::Int("Left", 4)};
//   constexpr auto kBytes = record::Encode<kEntries>();  // std::array<uint8_t, 24>
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace rt {

// A record as the mass property setter reads it: bytes bounded by their length.
using PropertyRecord = std::span<const uint8_t>;

namespace record {

enum class Kind : uint8_t { Integer, Boolean, Enumeration, Colour, Single, Double, Text };

struct Entry {
  std::string_view key;
  Kind kind = Kind::Integer;
  uint64_t bits = 0;      // the value's bytes, little-endian, for every kind but Text
  std::string_view text;  // Text only
};

constexpr Entry Int(std::string_view key, int32_t v) {
  return {key, Kind::Integer, static_cast<uint32_t>(v), {}};
}
constexpr Entry Bool(std::string_view key, bool v) { return {key, Kind::Boolean, v ? 1u : 0u, {}}; }
constexpr Entry Enum(std::string_view key, uint8_t member) {
  return {key, Kind::Enumeration, member, {}};
}
// The four bytes as they stand in the record.
constexpr Entry Colour(std::string_view key, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  return {key,
          Kind::Colour,
          uint64_t{b0} | uint64_t{b1} << 8 | uint64_t{b2} << 16 | uint64_t{b3} << 24,
          {}};
}
constexpr Entry Single(std::string_view key, float v) {
  return {key, Kind::Single, std::bit_cast<uint32_t>(v), {}};
}
constexpr Entry Double(std::string_view key, double v) {
  return {key, Kind::Double, std::bit_cast<uint64_t>(v), {}};
}
constexpr Entry Text(std::string_view key, std::string_view utf8) {
  return {key, Kind::Text, 0, utf8};
}

// Bytes of the value, the text's count included.
constexpr size_t ValueWidth(const Entry& e) {
  switch (e.kind) {
    case Kind::Boolean:
    case Kind::Enumeration:
      return 1;
    case Kind::Integer:
    case Kind::Colour:
    case Kind::Single:
      return 4;
    case Kind::Double:
      return 8;
    case Kind::Text:
      return 4 + e.text.size();
  }
  return 0;
}

template <size_t N>
constexpr size_t EncodedSize(const Entry (&entries)[N]) {
  size_t n = 0;
  for (const Entry& e : entries) n += e.key.size() + 1 + ValueWidth(e);
  return n;
}

template <const auto& entries>
constexpr auto Encode() {
  std::array<uint8_t, EncodedSize(entries)> out{};
  size_t at = 0;
  auto little = [&](uint64_t v, size_t width) {
    for (size_t i = 0; i < width; ++i) out[at++] = static_cast<uint8_t>(v >> (8 * i));
  };
  for (const Entry& e : entries) {
    for (char c : e.key) out[at++] = static_cast<uint8_t>(c);
    out[at++] = ' ';
    if (e.kind == Kind::Text) {
      little(e.text.size(), 4);
      for (char c : e.text) out[at++] = static_cast<uint8_t>(c);
    } else {
      little(e.bits, ValueWidth(e));
    }
  }
  return out;
}

}  // namespace record
}  // namespace rt
