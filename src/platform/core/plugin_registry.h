// Plugins: libraries of classes the program loads by file name and binds by entry-point
// name. Quorvane's three are built into the program and found under their file names.
#pragma once

#include <string>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

struct PluginEntrypoint {
  std::string name;         // the plugin's own declaration of the member
  AnyFn function = nullptr;  // nil when no loaded plugin has it
};

struct PluginLibrary {
  const char* fileName;
  std::vector<PluginEntrypoint> entrypoints;
};

// Adds a library to the loaded ones, once per file name (RuntimeLoadPlugin finds it).
void AddLoadedPlugin(PluginLibrary library);
// The program's table of entry points, one slot each, in the program's order.
std::vector<PluginEntrypoint>& RuntimeAllocatePluginEntrypointsTable(int count);
// The entry point of that name in a loaded library; a nil function when there is none.
PluginEntrypoint RuntimeLookupPluginEntrypoint(const String& name);
// Lets the plugin wrapper classes take their functions from the table.
void ResolvePluginClasses();
// The function the program bound under that name, nil when none; raises when a wrapper
// class is used whose plugin function was never bound.
AnyFn BoundEntrypoint(const char* name);
AnyFn RequireEntrypoint(const char* name);

}  // namespace rt
