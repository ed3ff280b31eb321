// The framework's bookkeeping below the user interface: statics, the exception helper,
// event dispatch, the quit request, the main-thread rule. Start and end of a run are in
// platform/framework.h, the event loop in platform/ui/event_loop.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/delegate.h"
#include "platform/core/errors.h"

namespace rt {

// One static of the program with its initialiser or finaliser, in the program's fixed order.
struct StaticRoutine {
  const char* name;
  void (*routine)();
};
// Runs the framework's class builders and the program's initialisers, each where its name
// falls among the framework's (the program's keep their own order).
void RuntimePerformInitializers(std::span<const StaticRoutine> program);
void RuntimePerformFinalizers(std::span<const StaticRoutine> program);

// ---- the exception helper: calls fn(arg), gives back the RuntimeException that escaped ----
using PtrFunction = void (*)(void*);
using ExceptionHelper = Ref<Object> (*)(PtrFunction fn, void* arg);
void _RuntimeSetExceptionHelper(ExceptionHelper helper);
void _RuntimeSetFrameworkVersion(const String& version);
void _RuntimeInitExternalClasses();

// ---- calling the program from the framework ----
// The dispatch boundary: runs program code through the exception helper; an error that
// escapes is routed (it ends the event loop and reaches the start-up's catch-all).
void CallProgram(PtrFunction fn, void* arg) noexcept;
template <class F>
void CallProgram(F&& f) noexcept {
  using Fn = std::remove_reference_t<F>;
  CallProgram([](void* p) { (*static_cast<Fn*>(p))(); }, static_cast<void*>(&f));
}

// Raises event n on obj: its per-instance handler if it has one, else its class's.
// Returns true when program code ran. Nothing runs once an error is pending.
bool RaiseEvent(Object* obj, int eventNumber);

// Raises an event that the user's own action causes: a press of a button, a choice from a
// menu. Inside a background turn it runs nothing and gives false, so a running action ends
// before another starts; what the user did meanwhile is not done later either.
bool RaiseUserAction(Object* obj, int eventNumber);

// Per-instance handlers. The stub is called with the raising object.
using EventStub = void (*)(Object* raiser);
void RuntimeAddEventHandler(Object* obj, int eventNumber, EventStub stub, Delegate* handler);
// The delegate installed on obj for the event, nil when none.
Delegate* RuntimeEventHandlerDelegate(Object* obj, int eventNumber);
void RuntimeRemoveEventHandlers(Object* obj);

// ---- the loop ----
void _RunFrameworkInitialization(void (*lateStartup)());
// Asks the application to end with the exit code; the loop returns once it is back in charge.
void Quit(int32_t exitCode = 0);
bool QuitRequested();

// ---- errors ----
bool ErrorPending();

// ---- threads ----
// Raises ThreadAccessingUIException off the main thread once an application is registered.
void _UITrap();
bool OnMainThread();

// ---- observing the framework (tests and diagnostics) ----
// Framework calls append a line each while a log is installed; nil stops logging.
void SetCallLog(std::vector<std::string>* log);
void LogCall(std::string line);
bool CallLogActive() noexcept;
// Makes the nth next call of the named framework operation raise a RuntimeException.
void InjectFault(const std::string& operation, int nth = 1);
void ClearFaults();
void MaybeFail(const char* operation);
// For operations whose failure is a nil result: true when an injected fault falls due.
bool MaybeGiveNil(const char* operation);

}  // namespace rt
