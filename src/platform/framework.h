// A run of the framework, and the plugins built into the program.
#pragma once

#include <cstdint>

#include "platform/core/text.h"

namespace rt {

// Sets up the framework and its Qt application; the calling thread becomes the main thread.
void RuntimeInit();
// Shuts the framework down; the result is the process's exit status.
int32_t RuntimeExit();

// Loads the plugin library of that file name, one of those built into the program; false
// (and harmless) for an unknown one.
bool RuntimeLoadPlugin(const String& fileName);

}  // namespace rt
