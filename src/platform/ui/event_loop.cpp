#include "platform/ui/event_loop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <string>

#include "platform/core/errors.h"
#include "platform/core/runtime_state.h"
#include "platform/ui/peer_sync.h"
#include "platform/ui/prompter.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"

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

namespace {

bool gLastWindowClosed = false;  // in this run: Qt then ends the application's loop

// Notes the last window's closing, once per Qt application.
void WatchLastWindow() {
  static QPointer<QCoreApplication> watched;
  if (watched == QCoreApplication::instance() || !qApp) return;
  watched = qApp;
  QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, [] {
    if (QGuiApplication::quitOnLastWindowClosed()) gLastWindowClosed = true;
  });
  RegisterShutdownHook([] { gLastWindowClosed = false; });
}

bool RunEnding() { return State().quitRequested || gLastWindowClosed; }

// The run is over for the user: the windows go at once, and the running action is left
// when nothing but its own code and the framework's lies between here and its dispatch
// (an event handler nested in it, or Qt's own frames, would have to be left too).
void EndRunningAction() {
  for (const Ref<Window>& w : RuntimeWindows())
    if (w->Peer()) w->Peer()->hide();
  const RuntimeState& s = State();
  if (s.programCalls == 1 && s.backgroundTurns == 0) throw LeaveProgram{};
}

}  // namespace

void RuntimeBackgroundTask() {
  // Handing control to Qt costs far more than an item of a scan, the window's repaint above
  // all: do it a few dozen times a second, enough to keep the window painted and answering,
  // and leave about nine tenths of the time to the work.
  constexpr qint64 kShortestPeriod = 25, kLongestPeriod = 35;  // milliseconds, turn to turn
  static QElapsedTimer since;  // since the start of the last turn
  static qint64 period = kShortestPeriod;
  if (CallLogActive()) LogCall("RuntimeBackgroundTask");
  WatchLastWindow();
  if (RunEnding()) return EndRunningAction();
  if (since.isValid() && since.elapsed() < period) return;
  since.start();
  RuntimeState& s = State();
  CatchUpPeers();
  {
    ++s.backgroundTurns;
    struct Leave {
      int& turns;
      ~Leave() { --turns; }
    } leave{s.backgroundTurns};
    // The user's input too, so that the window can be scrolled, read and copied from while
    // the work goes on; RaiseUserAction keeps new actions out. Quitting and closing the
    // window are honoured: the action then ends here, with no further item or prompt.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // What those events laid out (the list's new rows, the text's new lines) asks for its
    // repaint by a posted request: paint it now, not a whole period later at the next turn.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  }
  period = std::clamp(since.elapsed() * 10, kShortestPeriod, kLongestPeriod);
  if (RunEnding()) EndRunningAction();
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
