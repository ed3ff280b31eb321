// Value types that only properties use: colours and font units.
#pragma once

#include <cstdint>

namespace rt {

// Four bytes in record order: red, green, blue, then the transparency (0 is opaque).
struct Color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;
  bool operator==(const Color&) const = default;
};

// The unit of a control's TextSize; Default means points.
enum class FontUnits : uint8_t { Default, Pixel, Point, Inch, Millimeter };

}  // namespace rt
