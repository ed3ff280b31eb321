// A whole run of the program, start-up, one scan through the real button and the quit that
// closing the chooser asks for, releases every object it made.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <set>

#include "app/startup.h"
#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"
#include "platform/framework.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/application.h"
#include "platform/ui/menu.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using Lines = std::vector<std::string>;

// A folder of a tagged file, a file of text and a sub-folder.
struct SmallFolder {
  SmallFolder() {
    qtest::WriteTaggedAudio(dir / "a.mp3", qtest::AudioFormat::Mp3, "Song", "Singer");
    qtest::WriteText(dir / "b.txt", "words");
    mkdir((dir / "c").c_str(), 0755);
  }
  qtest::ScratchFolder dir;
};

// Presses the main window's button as the user does: a click on its Qt widget.
void ClickTheButton() {
  rt::Ref<rt::Window> w = qtest::MainWindow();
  ASSERT_TRUE(w);
  rt::Ref<rt::Object> button = rt::Window::_ControlByName(w.get(), "BevelButton1");
  ASSERT_TRUE(button);
  auto* peer = qobject_cast<QAbstractButton*>(static_cast<rt::BevelButton*>(button.get())->Peer());
  ASSERT_NE(peer, nullptr);
  peer->click();
}

// The scan, then a second press whose chooser is closed without a choice: the quit.
struct ScanThenQuit {
  explicit ScanThenQuit(const std::string& folder) { prompter.folderAnswers.push_back({folder}); }
  void operator()() {
    ClickTheButton();
    rt::Ref<rt::Window> w = qtest::MainWindow();
    rows = qtest::Rows(w.get());
    text = qtest::Text(w.get());
    ClickTheButton();
  }
  qtest::ScriptedPrompter prompter;
  Lines rows;
  std::string text;
};

TEST(WholeRun, StartUpOneScanAndTheQuitReleaseEveryObject) {
  SmallFolder folder;
  qtest::EnsureQtApplication();
  const long before = rt::LiveObjectCount();
  ScanThenQuit user(folder.dir.Path());
  qtest::RunResult run = qtest::RunProgram([&] { user(); });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(user.rows, (Lines{"a.mp3", "b.txt", "c"}));
  EXPECT_EQ(user.text, "Song - Singer\n");
  EXPECT_EQ(user.prompter.messages, Lines(2, "Failed to read file."));
  EXPECT_EQ(user.prompter.folderRequests.size(), 2u);
  EXPECT_TRUE(user.prompter.unhandledErrors.empty());
  EXPECT_EQ(qtest::LinesStartingWith(run.log, "Quit"), Lines{"Quit 0"});
  EXPECT_EQ(rt::LiveObjectCount(), before);
}

// Objects that the framework itself holds: the application object with its menu bar, and
// each window with its controls, its menu bar and the controls' event-handler delegates.
long HeldByTheFramework() {
  std::set<const rt::Object*> seen;
  std::function<void(rt::Object*)> menu = [&](rt::Object* item) {
    if (!item || !seen.insert(item).second) return;
    auto* m = static_cast<rt::MenuItem*>(item);
    for (int32_t i = 0; i < rt::MenuItem::Count(m); ++i) menu(rt::MenuItem::Item(m, i).get());
  };
  if (rt::Application* app = rt::RegisteredApplication()) {
    seen.insert(app);
    menu(rt::Application::GetMenuBar(app).get());
  }
  for (const rt::Ref<rt::Window>& w : rt::RuntimeWindows()) {
    seen.insert(w.get());
    menu(rt::Window::GetMenuBar(w.get()).get());
    for (const auto& [name, control] : w->Controls()) {
      seen.insert(control.get());
      if (rt::InstanceHandlers* handlers = rt::FindHandlers(control.get()))
        for (const rt::InstanceHandler& h : handlers->list)
          if (h.delegate) seen.insert(h.delegate.get());
    }
  }
  return static_cast<long>(seen.size());
}

// main's steps one by one, to look between the finalisers and the framework's end.
TEST(WholeRun, AfterTheFinalisersOnlyWhatTheFrameworkHoldsIsLeftAndItsEndReleasesThat) {
  SmallFolder folder;
  qtest::EnsureQtApplication();
  const long before = rt::LiveObjectCount();
  ScanThenQuit user(folder.dir.Path());
  QTimer script;
  script.setSingleShot(true);
  QObject::connect(&script, &QTimer::timeout, [&] {
    user();
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });  // the run ends whatever happened
  });
  script.start(0);

  rt::RuntimeInit();
  rt::RuntimePerformInitializers(quorvane::StaticInitializers());
  quorvane::_Main();
  rt::RuntimePerformFinalizers(quorvane::StaticFinalizers());
  const long held = HeldByTheFramework();
  const long afterFinalisers = rt::LiveObjectCount();
  const int32_t status = rt::RuntimeExit();

  EXPECT_EQ(status, 0);
  EXPECT_EQ(user.text, "Song - Singer\n");
  EXPECT_GT(held, 1 + 1 + 4);  // at least the application, the window, its four controls
  EXPECT_EQ(afterFinalisers - before, held);
  EXPECT_EQ(rt::LiveObjectCount(), before);
}

}  // namespace
