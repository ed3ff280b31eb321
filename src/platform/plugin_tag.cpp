#include "platform/plugins.h"

namespace rt {

PluginLibrary TagPluginLibrary() { return {"Ext_Tools_LibTag_Plugin_19503.dylib", {}}; }

}  // namespace rt
