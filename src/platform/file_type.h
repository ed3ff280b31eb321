// The framework's file types and their registry.
#pragma once

#include "platform/class_table.h"

namespace rt {

class FileType : public Object {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
