// The event loop on Qt, background turns, and the report of an error that ends the program.
#pragma once

#include "platform/core/class_table.h"

namespace rt {

void _RuntimeRun();
// Lets the framework handle pending work (repaints, timers, the user's scrolling and
// editing) without starting new user actions; cheap enough to call after every item of a
// long loop: most calls return at once.
void RuntimeBackgroundTask();

void _UnhandledException(Object* error);
// Tells the user which error ended the program, then returns.
void RuntimeUnhandledException(Object* error);

// Platform-internal, for RuntimeInit and RuntimeExit: the Qt application of the run.
void StartEventLoop();
void EndEventLoop();

}  // namespace rt
