#include "platform/file_type.h"

namespace rt {

ClassTable* FileType::__Lookup() {
  static ClassTable* cls = DefineClass<FileType>("FileType", nullptr);
  return cls;
}

}  // namespace rt
