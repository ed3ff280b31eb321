#include "platform/plugins/appearance/bevel_button.h"

namespace rt {

PluginLibrary AppearancePluginLibrary() { return {"AppearanceControls.dylib", {}}; }

}  // namespace rt
