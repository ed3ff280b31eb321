// How the scan walks a folder, seen in the framework's call log: how often it reads the count,
// fetches an entry and gives a background turn, and what a nil entry at each fetch leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/core/runtime.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"

namespace {

using Lines = std::vector<std::string>;

// A folder of visible and hidden entries; '+' sorts before '.', so a hidden pair sits
// between the two visible entries.
class ScanCounts : public qtest::ScanWindowTest {
 protected:
  void SetUp() override {
    ScanWindowTest::SetUp();
    qtest::WriteTaggedAudio(dir / "+first.wav", qtest::AudioFormat::Wav, "One", "Band");
    qtest::WriteText(dir / ".hidden1", "x");
    qtest::WriteText(dir / ".hidden2", "x");
    qtest::WriteText(dir / "second.txt", "no tag here");
    folder = dir.Path();
  }
  void TearDown() override {
    ScanWindowTest::TearDown();
    rt::ClearFaults();
  }

  // Presses the button with the chooser answering the folder; gives the scan's own calls.
  Lines Scan(std::string* raised = nullptr) {
    rt::SetCallLog(&log);
    std::string error = qtest::RaisedClass([&] { Press(folder); });
    rt::SetCallLog(nullptr);
    if (raised) *raised = error;
    Lines walk;
    for (const std::string& line : log)
      if (line.rfind("FolderItem.", 0) == 0 || line == "RuntimeBackgroundTask")
        walk.push_back(line);
    return walk;
  }

  qtest::ScratchFolder dir;
  std::string folder;  // the one the chooser answers
  Lines log;
};

TEST_F(ScanCounts, CountBeforeEveryPassThreeFetchesPerVisibleEntryOneTurnPerEntry) {
  const Lines walk = Scan();
  EXPECT_EQ(walk, (Lines{
                      "FolderItem.Count",  "FolderItem.Item 1", "FolderItem.Item 1",
                      "FolderItem.Item 1", "FolderItem.Exists", "RuntimeBackgroundTask",
                      "FolderItem.Count",  "FolderItem.Item 2", "RuntimeBackgroundTask",
                      "FolderItem.Count",  "FolderItem.Item 3", "RuntimeBackgroundTask",
                      "FolderItem.Count",  "FolderItem.Item 4", "FolderItem.Item 4",
                      "FolderItem.Item 4", "FolderItem.Exists", "RuntimeBackgroundTask",
                      "FolderItem.Count",  // the last count test ends the loop, no turn after it
                  }));
  EXPECT_EQ(qtest::Rows(window.get()), (Lines{"+first.wav", "second.txt"}));
  EXPECT_EQ(qtest::Text(window.get()), "One - Band\n");
  EXPECT_EQ(prompter.messages, Lines{"Failed to read file."});
}

TEST_F(ScanCounts, AFolderOfHiddenEntriesStillGivesATurnForEach) {
  qtest::ScratchFolder hidden;
  qtest::WriteText(hidden / ".a", "x");
  qtest::WriteText(hidden / ".b", "x");
  folder = hidden.Path();
  EXPECT_EQ(Scan(), (Lines{"FolderItem.Count", "FolderItem.Item 1", "RuntimeBackgroundTask",
                           "FolderItem.Count", "FolderItem.Item 2", "RuntimeBackgroundTask",
                           "FolderItem.Count"}));
  EXPECT_TRUE(qtest::Rows(window.get()).empty());
}

TEST_F(ScanCounts, AnEmptyFolderIsCountedOnceAndGivesNoTurn) {
  qtest::ScratchFolder empty;
  folder = empty.Path();
  EXPECT_EQ(Scan(), Lines{"FolderItem.Count"});
  EXPECT_TRUE(qtest::Rows(window.get()).empty());
  EXPECT_EQ(qtest::Text(window.get()), "");
}

// A nil entry at the first, second or third fetch of the last visible entry's pass: the
// scan ends with NilObjectException, keeps what the earlier entries gave, and the pass that
// failed gives no turn. Only at the third fetch does the entry already have its row.
TEST_F(ScanCounts, ANilEntryAtEachFetchEndsTheScanAsItsFailureTableSays) {
  struct Case {
    int fetch;  // of the fourth entry's pass
    Lines rows;
  };
  const Case cases[] = {
      {1, {"+first.wav"}},
      {2, {"+first.wav"}},
      {3, {"+first.wav", "second.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("fetch " + std::to_string(c.fetch));
    log.clear();
    // Fetches before the failing one: three for the first entry, one per hidden entry.
    rt::InjectFault("FolderItem.Item", 3 + 1 + 1 + c.fetch);
    std::string raised;
    const Lines walk = Scan(&raised);
    EXPECT_EQ(raised, "NilObjectException");
    EXPECT_EQ(qtest::Rows(window.get()), c.rows);
    EXPECT_EQ(qtest::Text(window.get()), "One - Band\n");
    EXPECT_TRUE(prompter.messages.empty()) << "the failing entry is never read";
    ASSERT_FALSE(walk.empty());
    EXPECT_EQ(walk.back(), "FolderItem.Item 4");
    EXPECT_EQ(std::count(walk.begin(), walk.end(), "RuntimeBackgroundTask"), 3);
    EXPECT_EQ(std::count(walk.begin(), walk.end(), "FolderItem.Item 4"), c.fetch);
    rt::ClearFaults();
  }
}

}  // namespace
