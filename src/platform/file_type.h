// The framework's file types and their registry.
#pragma once

#include <string>
#include <vector>

#include "platform/class_table.h"
#include "platform/text.h"

namespace rt {

class FileType : public Object {
 public:
  static ClassTable* __Lookup();
};

// The extensions (each with its dot) of the registered file types whose Names the filter
// lists, ";"-separated; each extension once, in the filter's order. Empty when none match.
std::vector<std::string> RegisteredExtensionsFor(const String& filter);

}  // namespace rt
