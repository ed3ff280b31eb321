#include "platform/runtime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <string_view>

#include "platform/peer_sync.h"
#include "platform/prompter.h"
#include "platform/runtime_state.h"

namespace rt {

namespace {

std::atomic<bool> gAppRegistered{false};
std::vector<void (*)()>& ShutdownHooks() {
  // Outlives static destruction: RuntimeExit may run from an exit handler.
  static auto* hooks = new std::vector<void (*)()>;
  return *hooks;
}

void RouteError(Ref<Object> error) {
  RuntimeState& s = State();
  if (CallLogActive()) LogCall("error routed: " + DescribeError(error.get()));
  if (!s.pendingError) s.pendingError = std::move(error);
  // Leaves every running loop, modal dialogs included; the outer loop then re-raises it.
  if (s.loopDepth > 0) QCoreApplication::exit(1);
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

void RuntimeInit() {
  RuntimeState& s = State();
  s.mainThread = std::this_thread::get_id();
  if (!QApplication::instance()) {
    // A fixed argument list: the process's own arguments never reach Qt.
    static int argc = 1;
    static char arg0[] = "quorvane";
    static char* argv[] = {arg0, nullptr};
    s.qapp = std::make_unique<QApplication>(argc, argv);
  }
  QApplication::setApplicationName("Quorvane");
  QApplication::setQuitOnLastWindowClosed(true);
  s.initialized = true;
  LogCall("RuntimeInit");
}

int32_t RuntimeExit() {
  RuntimeState& s = State();
  LogCall("RuntimeExit");
  const int32_t status = s.unhandled ? 1 : (s.quitRequested ? s.quitCode : 0);
  ReleaseWindows();
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
  s.qapp.reset();
  s.initialized = false;
  return status;
}

void RuntimePerformInitializers(std::span<const StaticRoutine> program) {
  LogCall("RuntimePerformInitializers");
  std::vector<StaticRoutine> framework(FrameworkClassBuilders().begin(),
                                       FrameworkClassBuilders().end());
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
  for (const StaticRoutine& builder : FrameworkClassBuilders()) builder.routine();
}

void CallProgram(PtrFunction fn, void* arg) noexcept {
  RuntimeState& s = State();
  try {
    Ref<Object> error;
    if (s.helper)
      error = s.helper(fn, arg);
    else
      fn(arg);
    if (error) RouteError(std::move(error));
  } catch (const RaisedError& e) {
    RouteError(e.Error());
  } catch (const std::exception& e) {
    RouteError(NewException(RuntimeException::__Lookup(), String(e.what())));
  } catch (...) {
    RouteError(NewException(RuntimeException::__Lookup(), String("unknown error")));
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

void _RuntimeRun() {
  RuntimeState& s = State();
  LogCall("_RuntimeRun");
  if (!s.pendingError && !s.quitRequested && QApplication::instance()) {
    ++s.loopDepth;
    QApplication::exec();
    --s.loopDepth;
  }
  if (s.pendingError) {
    Ref<Object> error = s.pendingError;
    Raise(error);
  }
}

void Quit(int32_t exitCode) {
  RuntimeState& s = State();
  LogCall("Quit " + std::to_string(exitCode));
  if (!s.quitRequested) {
    s.quitRequested = true;
    s.quitCode = exitCode;
  }
  // Outside the loop Qt would end the next modal dialog instead; _RuntimeRun sees the request.
  if (s.loopDepth > 0) QCoreApplication::exit(exitCode);
}

bool QuitRequested() { return State().quitRequested; }

void RuntimeBackgroundTask() {
  // Handing control to Qt costs far more than an item of a scan, the window's repaint above
  // all: do it a few dozen times a second, enough to keep the window painted and answering,
  // and leave about nine tenths of the time to the work.
  constexpr qint64 kShortestPeriod = 25, kLongestPeriod = 35;  // milliseconds, turn to turn
  static QElapsedTimer since;  // since the start of the last turn
  static qint64 period = kShortestPeriod;
  if (since.isValid() && since.elapsed() < period) return;
  since.start();
  RuntimeState& s = State();
  CatchUpPeers();
  ++s.backgroundTurns;
  struct Leave {
    int& turns;
    ~Leave() { --turns; }
  } leave{s.backgroundTurns};
  // The user's input too, so that the window can be scrolled, read and copied from while
  // the work goes on; RaiseUserAction keeps new actions out.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  period = std::clamp(since.elapsed() * 10, kShortestPeriod, kLongestPeriod);
}

void _UnhandledException(Object* error) {
  LogCall("_UnhandledException " + DescribeError(error));
  State().unhandled = true;
  RuntimeUnhandledException(error);
}

void RuntimeUnhandledException(Object* error) {
  LogCall("RuntimeUnhandledException");
  CurrentPrompter().UnhandledError("An exception of class " +
                                   std::string(error && error->Class() ? error->Class()->name
                                                                       : "Object") +
                                   " was not handled. The application must shut down.\n\n" +
                                   DescribeError(error));
}

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
void MaybeFail(const char* operation) {
  auto& faults = State().faults;
  if (faults.empty()) return;
  auto it = faults.find(operation);
  if (it == faults.end() || --it->second > 0) return;
  faults.erase(it);
  RaiseException(RuntimeException::__Lookup(), String(std::string("injected fault in ") + operation));
}

}  // namespace rt
