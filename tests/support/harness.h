// Drives the real program in-process: Qt's offscreen platform, a scripted prompter.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/property_setter.h"
#include "platform/ui/prompter.h"
#include "platform/ui/window.h"

namespace rt {
class WindowPeer;
}

namespace qtest {

// One QApplication for the whole test process; the framework uses it and leaves it.
void EnsureQtApplication();

// Answers every prompt from a script and records what was asked.
class ScriptedPrompter : public rt::Prompter {
 public:
  ScriptedPrompter();
  ~ScriptedPrompter() override;

  // Answers, taken in order; an empty queue answers "cancel".
  std::deque<std::vector<std::string>> folderAnswers;
  std::deque<std::optional<std::string>> openFileAnswers;
  // Runs inside each message box, before it is dismissed.
  std::function<void(const std::string&)> onMessage;

  std::vector<std::string> messages;
  std::vector<std::string> unhandledErrors;
  std::vector<rt::FolderRequest> folderRequests;
  std::vector<rt::OpenFileRequest> openFileRequests;

  void Message(const std::string& text) override;
  void UnhandledError(const std::string& text) override;
  std::vector<std::string> ChooseItems(const rt::FolderRequest& request) override;
  std::optional<std::string> ChooseOpenFile(const rt::OpenFileRequest& request) override;
};

struct RunResult {
  int status = -1;
  std::vector<std::string> log;  // the framework's call log of the whole run
  bool timedOut = false;         // an unaided run had to be ended by its time limit
};

// Runs the program's main. inLoop runs once the event loop has started; when it returns
// and the program has not ended by itself, the main window is closed as a user would.
RunResult RunProgram(const std::function<void()>& inLoop = {});
// The same, but the harness neither closes the window nor ends the loop: the program must end
// by itself. Only a run still going after timeLimitMs is ended, and says so.
RunResult RunProgramUnaided(const std::function<void()>& inLoop, int timeLimitMs = 10000);

// The program's main window while it runs, nil when there is none.
rt::Ref<rt::Window> MainWindow();
// The main window's peer, shown and given the focus as the desktop would; nil when there is no
// window or the platform refuses it the focus.
rt::WindowPeer* ShownMainWindow();

// The class name of the error that escapes f, "nil" for a nil error, empty when none does.
std::string RaisedClass(const std::function<void()>& f);

// A property value as a failure message shows it: strings quoted, colours and units named.
std::string ShowValue(const rt::PropertyValue& v);

// Index of the first log line equal to line, or -1.
int IndexOf(const std::vector<std::string>& log, const std::string& line);

}  // namespace qtest
