#include "platform/plugins.h"

namespace rt {

PluginLibrary AppearancePluginLibrary() { return {"AppearanceControls.dylib", {}}; }

}  // namespace rt
