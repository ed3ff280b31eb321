// The framework's handle on one file-system entry.
#pragma once

#include "platform/class_table.h"

namespace rt {

class FolderItem : public Object {
 public:
  static ClassTable* __Lookup();
};

}  // namespace rt
