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

// The extensions, each with its leading dot, of the registered types that the filter text
// ("audio/mp3;audio/mp4;") names: in the filter's order, then registration order, each once.
// Names that no registered type has contribute nothing.
std::vector<std::string> RuntimeFileTypeExtensions(const String& filter);

}  // namespace rt
