// STOPGAP, to be deleted when the file-type registry lands: it defines
// RuntimeFileTypeExtensions in file_type.cpp, which then takes over from this weak definition.
// Until then no type is registered, so no extension matches.
#include "platform/file_type.h"

namespace rt {

[[gnu::weak]] std::vector<std::string> RuntimeFileTypeExtensions(const String&) { return {}; }

}  // namespace rt
