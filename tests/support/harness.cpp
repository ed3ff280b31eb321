#include "support/harness.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <type_traits>
#include <variant>

#include "app/startup.h"
#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/ui/window_peer.h"

namespace qtest {

void EnsureQtApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char arg0[] = "quorvane-tests";
  static char* argv[] = {arg0, nullptr};
  new QApplication(argc, argv);  // lives for the whole test process
}

ScriptedPrompter::ScriptedPrompter() { rt::SetPrompter(this); }
ScriptedPrompter::~ScriptedPrompter() { rt::SetPrompter(nullptr); }

void ScriptedPrompter::Message(const std::string& text) {
  messages.push_back(text);
  if (onMessage) onMessage(text);
}

void ScriptedPrompter::UnhandledError(const std::string& text) { unhandledErrors.push_back(text); }

std::vector<std::string> ScriptedPrompter::ChooseItems(const rt::FolderRequest& request) {
  folderRequests.push_back(request);
  if (folderAnswers.empty()) return {};
  std::vector<std::string> answer = std::move(folderAnswers.front());
  folderAnswers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompter::ChooseOpenFile(const rt::OpenFileRequest& request) {
  openFileRequests.push_back(request);
  if (openFileAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(openFileAnswers.front());
  openFileAnswers.pop_front();
  return answer;
}

namespace {

// timeLimitMs < 0: the script ends the run itself once inLoop returns.
RunResult Run(const std::function<void()>& inLoop, int timeLimitMs) {
  EnsureQtApplication();
  RunResult result;
  rt::SetCallLog(&result.log);
  // Owned here: when start-up fails and the loop never runs, the script goes with the run.
  QTimer script, limit;
  script.setSingleShot(true);
  QObject::connect(&script, &QTimer::timeout, [&] {
    if (inLoop) inLoop();
    if (timeLimitMs >= 0) return;
    if (!rt::QuitRequested() && !rt::ErrorPending())
      for (const rt::Ref<rt::Window>& w : rt::RuntimeWindows())
        if (w->Peer()) w->Peer()->close();
    // Whatever the script did, the run must end; tied to the script, so that a run which
    // ended sooner leaves no exit behind for the next one.
    QTimer::singleShot(0, &script, [] { QCoreApplication::exit(0); });
  });
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, [&] {
    result.timedOut = true;
    for (const rt::Ref<rt::Window>& w : rt::RuntimeWindows())
      if (w->Peer()) w->Peer()->close();
    QCoreApplication::exit(0);
  });
  script.start(0);
  if (timeLimitMs >= 0) limit.start(timeLimitMs);
  result.status = quorvane::main();
  rt::SetCallLog(nullptr);
  return result;
}

}  // namespace

RunResult RunProgram(const std::function<void()>& inLoop) { return Run(inLoop, -1); }
RunResult RunProgramUnaided(const std::function<void()>& inLoop, int timeLimitMs) {
  return Run(inLoop, timeLimitMs);
}

rt::Ref<rt::Window> MainWindow() {
  for (const rt::Ref<rt::Window>& w : rt::RuntimeWindows())
    if (w->Class()->name == "Window1.Window1") return w;
  return nullptr;
}

rt::WindowPeer* ShownMainWindow() {
  rt::Ref<rt::Window> w = MainWindow();
  rt::WindowPeer* peer = w ? w->Peer() : nullptr;
  if (!peer) return nullptr;
  peer->show();
  peer->activateWindow();
  return QTest::qWaitForWindowActive(peer) ? peer : nullptr;
}

std::string RaisedClass(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::RaisedError& e) {
    return e.Error() ? e.Error()->Class()->name : "nil";
  }
  return "";
}

int IndexOf(const std::vector<std::string>& log, const std::string& line) {
  auto it = std::find(log.begin(), log.end(), line);
  return it == log.end() ? -1 : static_cast<int>(it - log.begin());
}

std::string ShowValue(const rt::PropertyValue& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, rt::String>)
          return "\"" + x.Std() + "\"";
        else if constexpr (std::is_same_v<T, rt::Color>)
          return "colour " + std::to_string(x.red) + "," + std::to_string(x.green) + "," +
                 std::to_string(x.blue) + "," + std::to_string(x.alpha);
        else if constexpr (std::is_same_v<T, rt::FontUnits>)
          return "unit " + std::to_string(static_cast<int>(x));
        else if constexpr (std::is_same_v<T, bool>)
          return x ? "True" : "False";
        else
          return std::to_string(x);
      },
      v);
}

}  // namespace qtest
