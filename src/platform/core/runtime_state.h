// The framework's own state. Platform-internal: the program never includes this.
#pragma once

#include <map>
#include <span>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/runtime.h"

namespace rt {

struct InstanceHandler {
  int event;
  EventStub stub;
  Ref<Object> delegate;
};
struct InstanceHandlers {
  std::vector<InstanceHandler> list;
};
InstanceHandlers& HandlersOf(Object* obj);
InstanceHandlers* FindHandlers(Object* obj) noexcept;

struct RuntimeState {
  bool initialized = false;
  std::thread::id mainThread;
  ExceptionHelper helper = nullptr;
  String frameworkVersion;
  Ref<Object> app;  // the registered Application
  std::vector<Ref<Object>> windows;  // the windows the framework holds, in creation order
  Ref<Object> pendingError;          // an error that left program code; ends the loop
  bool unhandled = false;
  bool quitRequested = false;
  int32_t quitCode = 0;
  int loopDepth = 0;
  void (*leaveLoops)(int32_t code) = nullptr;  // ends every running event loop
  int backgroundTurns = 0;  // background turns running, one inside another
  int programCalls = 0;      // CallProgram calls running, one inside another
  bool lateStartupCalled = false;
  std::vector<std::string>* log = nullptr;
  std::map<std::string, int> faults;
};

RuntimeState& State();

// Thrown by the framework to leave the program's running action once the run is ending
// (Quit, the last window closed); the outermost CallProgram takes it. Not an error: it is
// thrown only where nothing but program and framework code lies up to that call.
struct LeaveProgram {};

// A run's bookkeeping, wrapped by RuntimeInit and RuntimeExit with the event loop's.
// The class builders run by RuntimePerformInitializers among the program's, in any order.
void BeginRun(std::span<const StaticRoutine> frameworkClassBuilders);
// The process's exit status as the run stands: Quit's code, 1 after an unhandled error.
int32_t RunExitStatus();
// Runs the shut-down hooks and forgets the run.
void EndRun();
// Run by EndRun, so a module forgets its run's state.
void RegisterShutdownHook(void (*hook)());
void MarkApplicationRegistered(bool on);

}  // namespace rt
