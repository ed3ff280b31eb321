// Helpers for tests of the folder scan and the tag reading: the program's plugin entry
// points, a main window with just the two controls the scan uses, and readers of both.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/plugins/tags/tag_plugin.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"
#include "support/harness.h"

namespace qtest {

// Loads the plugins and binds the entry points as start-up does.
void BindProgramPlugins();

// A window of a subclass of Window1 that keeps Window1's members but finds its list box
// and text area by name among the controls made here (either may be left out), and makes
// none of its own. Not held by the framework.
rt::Ref<rt::Window> MakeScanWindow(bool withListbox = true, bool withTextArea = true);

std::vector<std::string> Rows(rt::Window* window);
std::string Text(rt::Window* window);
void SetText(rt::Window* window, const std::string& text);

// Opens a tag-file reference on path and gives its tag (nil when none).
rt::Ref<rt::TagLibTagExt> ReadTag(const std::string& path);
// "title - artist", or "nil" when the file has no readable tag.
std::string TagLine(const std::string& path);

// Forgets a quit request, so that later runs in the same process are not ended by it.
void ForgetQuitRequest();

// Lines of the call log that start with prefix.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& log,
                                           const std::string& prefix);

// The number of descriptors this process has open, to show that none is left behind.
int OpenDescriptors();

// A scan window over the program's plugins, its chooser answered by a scripted prompter.
class ScanWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Presses the button with the chooser answering folder (none: closed without a choice).
  void Press(std::optional<std::string> folder = std::nullopt);
  std::vector<std::string> Rows() { return qtest::Rows(window.get()); }
  std::string Text() { return qtest::Text(window.get()); }

  ScriptedPrompter prompter;
  rt::Ref<rt::Window> window;
};

// Watches the FIFO at path from another thread. A reader stuck opening it is freed by this
// writer's open, which only succeeds while a reader has the FIFO open; so the watch both
// notices the mistake and ends it.
class FifoWatch {
 public:
  explicit FifoWatch(std::string path);
  ~FifoWatch();
  bool Opened() const { return opened_; }

 private:
  std::atomic<bool> stop_{false}, opened_{false};
  std::thread thread_;
};

}  // namespace qtest
