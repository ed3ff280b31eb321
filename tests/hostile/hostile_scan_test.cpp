// The folder scan over a folder of hostile entries: it must finish, hold nothing afterwards,
// list every visible entry, and give each exactly the outcome its making decides.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/core/runtime.h"
#include "support/harness.h"
#include "support/hostile_corpus.h"
#include "support/scan_support.h"
#include "support/taglib_oracle.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using qtest::FifoWatch;
using qtest::HostileEntry;
using qtest::OpenDescriptors;
using qtest::Outcome;
using Lines = std::vector<std::string>;

// Ends the process with a report when the scan has not finished in time: a hang must fail
// the test, not stall the suite. The folder goes first, since no destructor will run.
class Watchdog {
 public:
  Watchdog(std::chrono::seconds limit, const std::atomic<int>& progress, std::string folder)
      : thread_([this, limit, &progress, folder = std::move(folder)] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr,
                         "hostile scan: not done after %llds; last message or dialog at row %d\n",
                         static_cast<long long>(limit.count()), progress.load());
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
            std::abort();
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;
};

// Notes, for every message box and open-file dialog, the row of the entry being read: the
// scan adds an entry's row before it reads the entry.
class AttributingPrompter : public qtest::ScriptedPrompter {
 public:
  rt::Window* window = nullptr;
  std::map<size_t, Lines> events;  // by row index
  std::atomic<int> reached{0};

  void Message(const std::string& text) override {
    Note(text == "Failed to read file." ? "message" : "message: " + text);
    ScriptedPrompter::Message(text);
  }
  std::optional<std::string> ChooseOpenFile(const rt::OpenFileRequest& request) override {
    Note("dialog");
    return ScriptedPrompter::ChooseOpenFile(request);  // nothing scripted: cancelled
  }

 private:
  void Note(const std::string& what) {
    const size_t rows = qtest::Rows(window).size();
    reached = static_cast<int>(rows);
    events[rows - 1].push_back(what);
  }
};

Lines SplitLines(const std::string& text) {
  Lines out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::string Describe(const HostileEntry& e) {
  std::string shown;
  for (unsigned char c : e.row) shown += c == '\n' ? std::string("\\n") : std::string(1, c);
  return shown + " (" + e.how + ")";
}

TEST(HostileScan, EveryEntryGetsItsRowAndExactlyItsOutcomeAndNothingIsLeftHeld) {
  qtest::EnsureQtApplication();
  qtest::BindProgramPlugins();
  qtest::HostileCorpus corpus;

  // What each visible entry must give. Damaged files: what TagLib itself reads from them.
  struct Expected {
    const HostileEntry* entry;
    Outcome outcome;
    std::string line;
  };
  std::vector<Expected> expected;
  int damagedLines = 0, damagedMessages = 0;
  bool lockHolds = false;
  {
    qtest::UnprivilegedFileAccess unprivileged;
    lockHolds = !qtest::CanOpen(corpus / "locked.mp3");
  }
  if (!lockHolds)
    std::printf("note: a file of mode 000 can still be opened here; it is expected to read\n");
  for (const HostileEntry& e : corpus.Entries()) {
    if (!e.visible) continue;
    Expected x{&e, Outcome::Message, e.line};
    if (e.outcome && !(e.unreadable && !lockHolds)) {
      x.outcome = *e.outcome;
    } else if (std::optional<std::string> line = qtest::TagLibLine(corpus / e.name)) {
      x.outcome = Outcome::Line, x.line = *line;
      damagedLines += !e.outcome;
    } else {
      damagedMessages += !e.outcome;
    }
    expected.push_back(x);
  }
  // The corpus is no use unless its damage sometimes still reads and sometimes does not.
  EXPECT_GT(damagedLines, 5);
  EXPECT_GT(damagedMessages, 20);

  rt::Ref<rt::Window> window = qtest::MakeScanWindow();
  AttributingPrompter prompter;
  prompter.window = window.get();
  prompter.folderAnswers.push_back({corpus.Path()});
  const long objectsBefore = rt::LiveObjectCount();
  const int descriptorsBefore = OpenDescriptors();
  {
    FifoWatch fifo(corpus / "pipe.mp3");
    Watchdog watchdog(std::chrono::seconds(90), prompter.reached, corpus.Path());
    qtest::UnprivilegedFileAccess unprivileged;
    rt::Invoke(W1::slot::BevelButton1_Action, window, nullptr);
    EXPECT_FALSE(fifo.Opened()) << "the FIFO was opened";
  }
  EXPECT_EQ(rt::LiveObjectCount(), objectsBefore) << "objects left over from the scan";
  EXPECT_EQ(OpenDescriptors(), descriptorsBefore) << "descriptors left open by the scan";
  EXPECT_FALSE(rt::QuitRequested());
  EXPECT_TRUE(prompter.unhandledErrors.empty());

  Lines rows, lines;
  for (const Expected& x : expected) {
    rows.push_back(x.entry->row);
    if (x.outcome == Outcome::Line) lines.push_back(x.line);
  }
  EXPECT_EQ(qtest::Rows(window.get()), rows);
  EXPECT_EQ(SplitLines(qtest::Text(window.get())), lines);
  for (size_t i = 0; i < expected.size(); ++i) {
    const Expected& x = expected[i];
    Lines want;
    if (x.outcome == Outcome::Message) want = {"message"};
    if (x.outcome == Outcome::Dialog) want = {"dialog"};
    const auto it = prompter.events.find(i);
    EXPECT_EQ(it == prompter.events.end() ? Lines{} : it->second, want) << Describe(*x.entry);
  }
}

}  // namespace
