#include "platform/plugins.h"

namespace rt {

PluginLibrary DialogPluginLibrary() { return {"Ext_Util_OpenDialog_Plugin_19503.dylib", {}}; }

}  // namespace rt
