#include "platform/ui/event_loop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <memory>
#include <string>

#include "platform/core/errors.h"
#include "platform/core/runtime_state.h"
#include "platform/ui/peer_sync.h"
#include "platform/ui/prompter.h"

namespace rt {

namespace {

std::unique_ptr<QApplication>& OwnApplication() {
  static auto* app = new std::unique_ptr<QApplication>;  // outlives static destruction
  return *app;
}

void LeaveLoops(int32_t code) { QCoreApplication::exit(code); }

}  // namespace

void StartEventLoop() {
  if (!QApplication::instance()) {
    // A fixed argument list: the process's own arguments never reach Qt.
    static int argc = 1;
    static char arg0[] = "quorvane";
    static char* argv[] = {arg0, nullptr};
    OwnApplication() = std::make_unique<QApplication>(argc, argv);
  }
  QApplication::setApplicationName("Quorvane");
  QApplication::setQuitOnLastWindowClosed(true);
  State().leaveLoops = &LeaveLoops;
}

void EndEventLoop() { OwnApplication().reset(); }

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

void RuntimeBackgroundTask() {
  // Handing control to Qt costs far more than an item of a scan, the window's repaint above
  // all: do it a few dozen times a second, enough to keep the window painted and answering,
  // and leave about nine tenths of the time to the work.
  constexpr qint64 kShortestPeriod = 25, kLongestPeriod = 35;  // milliseconds, turn to turn
  static QElapsedTimer since;  // since the start of the last turn
  static qint64 period = kShortestPeriod;
  if (CallLogActive()) LogCall("RuntimeBackgroundTask");
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

}  // namespace rt
