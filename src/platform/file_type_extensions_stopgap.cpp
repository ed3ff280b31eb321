// STOPGAP, to be deleted when the file-type registry lands: it defines
// RegisteredExtensionsFor in file_type.cpp, whose definition then takes over from this weak
// one. Until then no type is registered, so no extension matches.
#include "platform/file_type.h"

namespace rt {

[[gnu::weak]] std::vector<std::string> RegisteredExtensionsFor(const String&) { return {}; }

}  // namespace rt
