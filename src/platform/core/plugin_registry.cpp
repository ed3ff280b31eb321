#include "platform/core/plugin_registry.h"

#include <map>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"

namespace rt {

namespace {

struct PluginState {
  std::vector<PluginLibrary> loaded;
  std::vector<PluginEntrypoint> table;
  std::map<std::string, AnyFn, std::less<>> bound;
};

PluginState& Plugins() {
  static PluginState state;
  return state;
}

void ForgetPlugins() { Plugins() = PluginState{}; }

}  // namespace

void AddLoadedPlugin(PluginLibrary library) {
  RegisterShutdownHook(&ForgetPlugins);
  for (const PluginLibrary& l : Plugins().loaded)
    if (std::string_view(l.fileName) == library.fileName) return;
  Plugins().loaded.push_back(std::move(library));
}

std::vector<PluginEntrypoint>& RuntimeAllocatePluginEntrypointsTable(int count) {
  LogCall("RuntimeAllocatePluginEntrypointsTable " + std::to_string(count));
  RegisterShutdownHook(&ForgetPlugins);
  Plugins().table.assign(count < 0 ? 0 : count, PluginEntrypoint{});
  return Plugins().table;
}

PluginEntrypoint RuntimeLookupPluginEntrypoint(const String& name) {
  for (const PluginLibrary& lib : Plugins().loaded)
    for (const PluginEntrypoint& e : lib.entrypoints)
      if (e.name == name.View()) return e;
  return PluginEntrypoint{name.Std(), nullptr};
}

void ResolvePluginClasses() {
  LogCall("ResolvePluginClasses");
  PluginState& p = Plugins();
  p.bound.clear();
  for (const PluginEntrypoint& e : p.table)
    if (e.function) p.bound[e.name] = e.function;
}

AnyFn BoundEntrypoint(const char* name) {
  auto it = Plugins().bound.find(std::string_view(name));
  return it == Plugins().bound.end() ? nullptr : it->second;
}

AnyFn RequireEntrypoint(const char* name) {
  if (AnyFn f = BoundEntrypoint(name)) return f;
  RaiseException(RuntimeException::__Lookup(),
                 String(std::string("the plugin function ") + name + " is not loaded"));
}

}  // namespace rt
