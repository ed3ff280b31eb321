// The framework's own state. Platform-internal: the program never includes this.
#pragma once

#include <map>
#include <span>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/application.h"
#include "platform/runtime.h"

class QApplication;

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
  std::unique_ptr<QApplication> qapp;
  std::thread::id mainThread;
  ExceptionHelper helper = nullptr;
  String frameworkVersion;
  Ref<Application> app;
  std::vector<Ref<Object>> windows;  // the windows the framework holds, in creation order
  Ref<Object> pendingError;          // an error that left program code; ends the loop
  bool unhandled = false;
  bool quitRequested = false;
  int32_t quitCode = 0;
  int loopDepth = 0;
  int backgroundTurns = 0;  // background turns running, one inside another
  bool lateStartupCalled = false;
  std::vector<std::string>* log = nullptr;
  std::map<std::string, int> faults;
};

RuntimeState& State();

// The framework's class builders, run by RuntimePerformInitializers among the program's.
std::span<const StaticRoutine> FrameworkClassBuilders();
// Run by RuntimeExit after the windows are released, so a module forgets its run's state.
void RegisterShutdownHook(void (*hook)());
void ReleaseWindows();
void MarkApplicationRegistered(bool on);

}  // namespace rt
