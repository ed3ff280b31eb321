// Loading the three plugins and binding every entry point their wrapper classes call.
#include "app/startup.h"
#include "platform/core/plugin_registry.h"
#include "platform/framework.h"

namespace quorvane {

namespace {

const char* const kPluginLibraries[] = {
    "AppearanceControls.dylib",
    "Ext_Util_OpenDialog_Plugin_19503.dylib",
    "Ext_Tools_LibTag_Plugin_19503.dylib",
};

// Each name is the plugin's own declaration of the member.
const char* const kEntrypoints[] = {
    "OpenDialogExt.ShowDialog",
    "OpenDialogExt.FileCount.Get",
    "OpenDialogExt.Files(index as integer) as folderitem",
    "TagLibFileRefExt.Constructor(file as folderitem)",
    "TagLibFileRefExt.tags.Get",
    "TagLibTagExt.Title.Get",
    "TagLibTagExt.Artist.Get",
};

}  // namespace

void _InitPluginEntrypoints() {
  for (const char* library : kPluginLibraries) rt::RuntimeLoadPlugin(library);
  const int count = static_cast<int>(std::size(kEntrypoints));
  std::vector<rt::PluginEntrypoint>& table = rt::RuntimeAllocatePluginEntrypointsTable(count);
  for (int i = 0; i < count; ++i) table[i] = rt::RuntimeLookupPluginEntrypoint(kEntrypoints[i]);
  rt::ResolvePluginClasses();
}

}  // namespace quorvane
