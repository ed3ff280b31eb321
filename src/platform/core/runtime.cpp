#include "platform/core/runtime.h"

#include <algorithm>
#include <atomic>
#include <string_view>

#include "platform/core/runtime_state.h"

namespace rt {

namespace {

std::atomic<bool> gAppRegistered{false};
std::span<const StaticRoutine> gClassBuilders;
std::vector<void (*)()>& ShutdownHooks() {
  // Outlives static destruction: RuntimeExit may run from an exit handler.
  static auto* hooks = new std::vector<void (*)()>;
  return *hooks;
}

// With no loop running, Qt would end the next one instead: the caller's flag is seen then.
void LeaveRunningLoops(int32_t code) {
  RuntimeState& s = State();
  if (s.loopDepth > 0 && s.leaveLoops) s.leaveLoops(code);
}

void RouteError(Ref<Object> error) {
  RuntimeState& s = State();
  if (CallLogActive()) LogCall("error routed: " + DescribeError(error.get()));
  if (!s.pendingError) s.pendingError = std::move(error);
  // Leaves every running loop, modal dialogs included; the outer loop then re-raises it.
  LeaveRunningLoops(1);
}

}  // namespace

RuntimeState& State() {
  static auto* state = new RuntimeState;  // outlives static destruction, as the hooks do
  return *state;
}

void RegisterShutdownHook(void (*hook)()) {
  auto& hooks = ShutdownHooks();
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

InstanceHandlers& HandlersOf(Object* obj) {
  if (!obj->handlers_) obj->handlers_ = std::make_unique<InstanceHandlers>();
  return *obj->handlers_;
}
InstanceHandlers* FindHandlers(Object* obj) noexcept { return obj->handlers_.get(); }

void BeginRun(std::span<const StaticRoutine> frameworkClassBuilders) {
  RuntimeState& s = State();
  s.mainThread = std::this_thread::get_id();
  gClassBuilders = frameworkClassBuilders;
  s.initialized = true;
}

int32_t RunExitStatus() {
  const RuntimeState& s = State();
  return s.unhandled ? 1 : (s.quitRequested ? s.quitCode : 0);
}

void EndRun() {
  RuntimeState& s = State();
  const std::vector<void (*)()> hooks = ShutdownHooks();  // a hook may register another
  for (auto hook : hooks) hook();
  s.app.reset();
  gAppRegistered = false;
  s.pendingError.reset();
  s.helper = nullptr;
  s.frameworkVersion = {};
  s.unhandled = false;
  s.quitRequested = false;
  s.quitCode = 0;
  s.lateStartupCalled = false;
  s.faults.clear();
  s.initialized = false;
}

void RuntimePerformInitializers(std::span<const StaticRoutine> program) {
  LogCall("RuntimePerformInitializers");
  std::vector<StaticRoutine> framework(gClassBuilders.begin(), gClassBuilders.end());
  std::sort(framework.begin(), framework.end(), [](const StaticRoutine& a, const StaticRoutine& b) {
    return std::string_view(a.name) < std::string_view(b.name);
  });
  size_t next = 0;
  for (const StaticRoutine& own : program) {
    while (next < framework.size() && std::string_view(framework[next].name) < own.name)
      framework[next++].routine();
    if (CallLogActive()) LogCall(std::string("init ") + own.name);
    own.routine();
  }
  while (next < framework.size()) framework[next++].routine();
}

void RuntimePerformFinalizers(std::span<const StaticRoutine> program) {
  LogCall("RuntimePerformFinalizers");
  for (const StaticRoutine& own : program) {
    if (CallLogActive()) LogCall(std::string("exit ") + own.name);
    own.routine();
  }
}

void _RuntimeSetExceptionHelper(ExceptionHelper helper) {
  LogCall("_RuntimeSetExceptionHelper");
  State().helper = helper;
}

void _RuntimeSetFrameworkVersion(const String& version) {
  LogCall("_RuntimeSetFrameworkVersion " + version.Std());
  State().frameworkVersion = version;
}

void _RuntimeInitExternalClasses() {
  LogCall("_RuntimeInitExternalClasses");
  MaybeFail("_RuntimeInitExternalClasses");
  for (const StaticRoutine& builder : gClassBuilders) builder.routine();
}

void CallProgram(PtrFunction fn, void* arg) noexcept {
  RuntimeState& s = State();
  ++s.programCalls;
  struct Leave {
    int& calls;
    ~Leave() { --calls; }
  } leave{s.programCalls};
  try {
    Ref<Object> error;
    if (s.helper)
      error = s.helper(fn, arg);
    else
      fn(arg);
    if (error) RouteError(std::move(error));
  } catch (const LeaveProgram&) {
    // The run is ending and the action was left on purpose: nothing to report.
  } catch (...) {
    RouteError(CaughtError());
  }
}

bool RaiseEvent(Object* obj, int eventNumber) {
  RuntimeState& s = State();
  if (!obj || s.pendingError) return false;
  Ref<Object> hold(obj);  // the handler may drop the last other reference
  EventStub stub = nullptr;
  if (InstanceHandlers* hs = FindHandlers(obj))
    for (const InstanceHandler& h : hs->list)
      if (h.event == eventNumber) stub = h.stub;
  EventHandler handler = stub ? nullptr : obj->Class()->HandlerFor(eventNumber);
  if (!stub && !handler) return false;
  if (CallLogActive())
    LogCall("event " + obj->Class()->name + "." + obj->Class()->EventName(eventNumber));
  if (stub)
    CallProgram([&] { stub(obj); });
  else
    CallProgram([&] { handler(obj); });
  return true;
}

bool RaiseUserAction(Object* obj, int eventNumber) {
  RuntimeState& s = State();
  if (s.backgroundTurns > 0) {
    if (CallLogActive() && obj)
      LogCall("user action dropped: " + obj->Class()->name + "." +
              obj->Class()->EventName(eventNumber));
    return false;
  }
  return RaiseEvent(obj, eventNumber);
}

void RuntimeAddEventHandler(Object* obj, int eventNumber, EventStub stub, Delegate* handler) {
  if (!obj) RaiseNilObjectException();
  auto& list = HandlersOf(obj).list;
  std::erase_if(list, [&](const InstanceHandler& h) { return h.event == eventNumber; });
  list.push_back({eventNumber, stub, Ref<Object>(handler)});
}

Delegate* RuntimeEventHandlerDelegate(Object* obj, int eventNumber) {
  if (!obj) return nullptr;
  if (InstanceHandlers* hs = FindHandlers(obj))
    for (const InstanceHandler& h : hs->list)
      if (h.event == eventNumber) return static_cast<Delegate*>(h.delegate.get());
  return nullptr;
}

void RuntimeRemoveEventHandlers(Object* obj) {
  if (InstanceHandlers* hs = obj ? FindHandlers(obj) : nullptr) hs->list.clear();
}

void _RunFrameworkInitialization(void (*lateStartup)()) {
  RuntimeState& s = State();
  LogCall("_RunFrameworkInitialization");
  if (s.lateStartupCalled || !lateStartup) return;
  s.lateStartupCalled = true;
  CallProgram([&] { lateStartup(); });
}

void Quit(int32_t exitCode) {
  RuntimeState& s = State();
  LogCall("Quit " + std::to_string(exitCode));
  if (!s.quitRequested) {
    s.quitRequested = true;
    s.quitCode = exitCode;
  }
  LeaveRunningLoops(exitCode);  // outside the loop, _RuntimeRun sees the request
}

bool QuitRequested() { return State().quitRequested; }

bool ErrorPending() { return static_cast<bool>(State().pendingError); }

void MarkApplicationRegistered(bool on) { gAppRegistered = on; }

void _UITrap() {
  if (gAppRegistered.load(std::memory_order_acquire) && !OnMainThread())
    RaiseException(ThreadAccessingUIException::__Lookup(),
                   String(ThreadAccessingUIException::kMessage));
}

bool OnMainThread() { return std::this_thread::get_id() == State().mainThread; }

void SetCallLog(std::vector<std::string>* log) { State().log = log; }
bool CallLogActive() noexcept { return State().log != nullptr; }
void LogCall(std::string line) {
  if (auto* log = State().log) log->push_back(std::move(line));
}

void InjectFault(const std::string& operation, int nth) { State().faults[operation] = nth; }
void ClearFaults() { State().faults.clear(); }
namespace {
bool FaultFallsDue(const char* operation) {
  auto& faults = State().faults;
  if (faults.empty()) return false;
  auto it = faults.find(operation);
  if (it == faults.end() || --it->second > 0) return false;
  faults.erase(it);
  return true;
}
}  // namespace

bool MaybeGiveNil(const char* operation) { return FaultFallsDue(operation); }
void MaybeFail(const char* operation) {
  if (!FaultFallsDue(operation)) return;
  RaiseException(RuntimeException::__Lookup(), String(std::string("injected fault in ") + operation));
}

}  // namespace rt
