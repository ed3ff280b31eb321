// The framework's arrays, as the program makes them with CreateArray.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

class StringArray : public Object {
 public:
  static ClassTable* __Lookup();
  // Raises OutOfBoundsException outside 0..UBound.
  String& At(int32_t index);
  int32_t UBound() const noexcept { return static_cast<int32_t>(items_.size()) - 1; }
  const std::vector<String>& Items() const noexcept { return items_; }

 private:
  friend Ref<StringArray> CreateArray(int32_t, int32_t);
  std::vector<String> items_;
};

// A new one-dimensional text array with elements 0..upperBound, all empty.
Ref<StringArray> CreateArray(int32_t dimensions, int32_t upperBound);

}  // namespace rt
