// The program's entry, its start-up steps in their fixed order, and its orderly end.
#pragma once

#include <cstdint>

#include "platform/core/object.h"
#include "platform/core/runtime.h"

namespace quorvane {

// The whole run: framework up, statics, start-up and event loop, statics down, status.
int32_t main();

void _Main();
void _EarlyStartup();
void _InitPluginEntrypoints();
void _InitFileTypes();
void _NewAppInstance();
void _ApplicationAddMenuHandlers();
void _LateStartup();
void _MakeDefaultView();
// The exception helper the framework calls program code through.
rt::Ref<rt::Object> _CallFunctionWithExceptionHandling(rt::PtrFunction function, void* argument);

// The program's statics, in their fixed orders.
std::span<const rt::StaticRoutine> StaticInitializers();
std::span<const rt::StaticRoutine> StaticFinalizers();

inline constexpr const char* kFrameworkVersion = "2019.r3";

}  // namespace quorvane
