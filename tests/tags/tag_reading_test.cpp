// Window1.getid3info on one entry at a time.
#include <gtest/gtest.h>
#include <unistd.h>

#include "filetypes/file_types1.h"
#include "platform/core/runtime.h"
#include "platform/files/folder_item.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using qtest::AudioFormat;
using Lines = std::vector<std::string>;

class TagReading : public ::testing::Test {
 protected:
  void SetUp() override {
    qtest::EnsureQtApplication();
    qtest::BindProgramPlugins();
    window = qtest::MakeScanWindow();
  }
  void Read(const std::string& path) {
    rt::Ref<rt::FolderItem> entry = rt::FolderItem::FromPath(path);
    rt::Invoke(W1::slot::getid3info, window, entry.get());
  }
  std::string Text() { return qtest::Text(window.get()); }

  qtest::ScratchFolder dir;
  qtest::ScriptedPrompter prompter;
  rt::Ref<rt::Window> window;
};

TEST_F(TagReading, AppendsTitleDashArtistAndALineEndAfterTheOldText) {
  const struct {
    const char *title, *artist, *line;
  } cases[] = {
      {"Song", "Singer", "Song - Singer\n"},
      {"", "", " - \n"},
      {"A - B", "C\nD", "A - B - C\nD\n"},  // taken over unchanged
      {"  padded ", "\tx", "  padded  - \tx\n"},
  };
  std::string expected = "earlier line\n";
  qtest::SetText(window.get(), expected);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    qtest::WriteTaggedAudio(dir / "a.mp3", AudioFormat::Mp3, c.title, c.artist);
    Read(dir / "a.mp3");
    expected += c.line;
    EXPECT_EQ(Text(), expected);
  }
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(TagReading, AnEntryWithoutAReadableTagShowsTheMessageAndAppendsNothing) {
  qtest::WriteText(dir / "a.txt", "text");
  qtest::SetText(window.get(), "kept\n");
  Read(dir / "a.txt");
  Read(dir.Path());  // a folder
  EXPECT_EQ(prompter.messages, Lines(2, "Failed to read file."));
  EXPECT_EQ(Text(), "kept\n");
  EXPECT_TRUE(prompter.openFileRequests.empty());
}

TEST_F(TagReading, AnEntryThatIsGoneIsReplacedByTheFilePickedOrPassedOverQuietly) {
  qtest::WriteTaggedAudio(dir / "picked.wav", AudioFormat::Wav, "Picked", "P");
  prompter.openFileAnswers = {std::nullopt, dir / "picked.wav"};
  Read(dir / "gone.mp3");
  EXPECT_EQ(Text(), "");
  Read(dir / "gone.mp3");
  EXPECT_EQ(Text(), "Picked - P\n");
  ASSERT_EQ(prompter.openFileRequests.size(), 2u);
  EXPECT_EQ(prompter.openFileRequests[1].filter, quorvane::FileTypes1::All().Std());
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(TagReading, ANilEntryRaisesBeforeAnythingElse) {
  EXPECT_EQ(qtest::RaisedClass([&] { rt::Invoke(W1::slot::getid3info, window, nullptr); }),
            "NilObjectException");
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_TRUE(prompter.openFileRequests.empty());
}

TEST_F(TagReading, WithoutATextAreaAReadableTagRaisesAndAnUnreadableOneStillShowsTheMessage) {
  window = qtest::MakeScanWindow(true, false);
  qtest::WriteTaggedAudio(dir / "a.flac", AudioFormat::Flac, "T", "A");
  qtest::WriteText(dir / "b.txt", "text");
  EXPECT_EQ(qtest::RaisedClass([&] { Read(dir / "a.flac"); }), "NilObjectException");
  EXPECT_EQ(qtest::RaisedClass([&] { Read(dir / "b.txt"); }), "");
  EXPECT_EQ(prompter.messages, Lines{"Failed to read file."});
}

TEST_F(TagReading, HoldsNothingOnceItReturnsOrRaises) {
  qtest::WriteTaggedAudio(dir / "a.opus", AudioFormat::Opus, "T", "A");
  qtest::WriteText(dir / "b.txt", "text");
  const long before = rt::LiveObjectCount();
  Read(dir / "a.opus");
  Read(dir / "b.txt");
  prompter.openFileAnswers = {std::nullopt};
  Read(dir / "gone");
  EXPECT_EQ(rt::LiveObjectCount(), before);
  window = qtest::MakeScanWindow(true, false);
  const long withoutTextArea = rt::LiveObjectCount();
  EXPECT_EQ(qtest::RaisedClass([&] { Read(dir / "a.opus"); }), "NilObjectException");
  EXPECT_EQ(rt::LiveObjectCount(), withoutTextArea);
}

}  // namespace
