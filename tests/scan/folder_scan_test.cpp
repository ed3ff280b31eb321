// The button's action and the folder scan, through the prompter seam, on real folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "filetypes/file_types1.h"
#include "platform/core/plugin_registry.h"
#include "platform/core/runtime.h"
#include "platform/plugins/folder_chooser/open_dialog.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using qtest::AudioFormat;
using qtest::ScratchFolder;
using Lines = std::vector<std::string>;

constexpr const char* kFailed = "Failed to read file.";

class FolderScan : public qtest::ScanWindowTest {
 protected:
  void SetUp() override {
    ScanWindowTest::SetUp();
    rt::SetCallLog(&log);
  }

  // Leaves a line and a row of an earlier scan in whichever of the controls there are.
  void Prefill() {
    if (rt::Window::_ControlByName(window.get(), "TextArea1"))
      qtest::SetText(window.get(), "stale line\n");
    rt::Ref<rt::Object> list = rt::Window::_ControlByName(window.get(), "Listbox1");
    if (!list) return;
    rt::Ref<rt::StringArray> row = rt::CreateArray(1, 0);
    row->At(0) = "stale row";
    rt::Listbox::AddRow(static_cast<rt::Listbox*>(list.get()), row.get());
  }
  int QuitCalls() { return static_cast<int>(qtest::LinesStartingWith(log, "Quit").size()); }

  std::vector<std::string> log;
};

TEST_F(FolderScan, ListsEveryVisibleEntryAndReadsEachTagInOrder) {
  ScratchFolder dir;
  window.reset();
  const long objectsBefore = rt::LiveObjectCount();
  window = qtest::MakeScanWindow();
  int n = 1;
  for (const qtest::AudioFormatInfo& f : qtest::AllAudioFormats()) {
    const std::string name = "0" + std::to_string(n++) + " " + f.name + f.extension;
    qtest::WriteTaggedAudio(dir / name, f.format, std::string(f.name) + " title", "by " + name);
  }
  qtest::WriteAudio(dir / "08 untagged.wav", AudioFormat::Wav);
  qtest::WriteText(dir / "09 notes.txt", "plain words\n");
  qtest::WriteText(dir / "10 text.mp3", "text in disguise\n");
  ASSERT_EQ(mkdir((dir / "11 sub").c_str(), 0755), 0);
  qtest::WriteTaggedAudio(dir / ".hidden.mp3", AudioFormat::Mp3, "Hidden", "Nobody");
  qtest::WriteTaggedAudio(dir / "12 Ünïcødé.flac", AudioFormat::Flac, "Grüße", "Ärtist");
  ASSERT_EQ(mkfifo((dir / "13 pipe").c_str(), 0644), 0);
  qtest::WriteTaggedAudio(dir / "14 \xFF\xFE.wav", AudioFormat::Wav, "Raw bytes", "Latin-1");

  // Frees a scan stuck opening the FIFO, and tells.
  std::atomic<bool> stop{false}, fifoOpened{false};
  std::thread watch([&] {
    while (!stop) {
      const int fd = open((dir / "13 pipe").c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) fifoOpened = true, close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  Lines rowAtMessage;
  prompter.onMessage = [&](const std::string&) { rowAtMessage.push_back(Rows().back()); };
  Prefill();
  Press(dir.Path());
  stop = true;
  watch.join();

  EXPECT_FALSE(fifoOpened);
  EXPECT_EQ(Rows(),
            (Lines{"01 Wav.wav", "02 Aiff.aiff", "03 Mp3.mp3", "04 Flac.flac", "05 OggVorbis.ogg",
                   "06 Opus.opus", "07 M4a.m4a", "08 untagged.wav", "09 notes.txt", "10 text.mp3",
                   "11 sub", "12 Ünïcødé.flac", "13 pipe", "14 \uFFFD\uFFFD.wav"}));
  EXPECT_EQ(Text(),
            "Wav title - by 01 Wav.wav\nAiff title - by 02 Aiff.aiff\nMp3 title - by 03 Mp3.mp3\n"
            "Flac title - by 04 Flac.flac\nOggVorbis title - by 05 OggVorbis.ogg\n"
            "Opus title - by 06 Opus.opus\nM4a title - by 07 M4a.m4a\n - \n"
            "Grüße - Ärtist\nRaw bytes - Latin-1\n");
  EXPECT_EQ(prompter.messages, Lines(4, kFailed));
  // Each message comes while its own entry is the last row: the row goes in first.
  EXPECT_EQ(rowAtMessage, (Lines{"09 notes.txt", "10 text.mp3", "11 sub", "13 pipe"}));
  EXPECT_TRUE(prompter.openFileRequests.empty());
  EXPECT_FALSE(rt::QuitRequested());
  window.reset();
  EXPECT_EQ(rt::LiveObjectCount(), objectsBefore);
}

TEST_F(FolderScan, ShowsTheChooserWithItsSettingsStoredInOrder) {
  Press();
  ASSERT_EQ(prompter.folderRequests.size(), 1u);
  const rt::FolderRequest& r = prompter.folderRequests[0];
  EXPECT_EQ(r.windowTitle, "This is a window title.");
  EXPECT_EQ(r.promptText, "Select one folder:");
  EXPECT_EQ(r.actionButtonLabel, "Open folders");
  EXPECT_EQ(r.cancelButtonLabel, "no, thanks.");
  EXPECT_EQ(r.clientName, "Client Name?");
  EXPECT_FALSE(r.showHiddenFiles);
  EXPECT_FALSE(r.multipleSelection);
  EXPECT_TRUE(r.allowFolderSelection);
  EXPECT_EQ(
      qtest::LinesStartingWith(log, "OpenDialogExt."),
      (Lines{"OpenDialogExt.ShowHiddenFiles False",
             "OpenDialogExt.PromptText Select one folder:", "OpenDialogExt.MultipleSelection False",
             "OpenDialogExt.ActionButtonLabel Open folders",
             "OpenDialogExt.CancelButtonLabel no, thanks.",
             "OpenDialogExt.WindowTitle This is a window title.",
             "OpenDialogExt.ClientName Client Name?", "OpenDialogExt.AllowFolderSelection True",
             "OpenDialogExt.ShowDialog", "OpenDialogExt.FileCount"}));
}

// The chooser's count, as a stand-in for the plugin's, for the case a real one never gives.
int32_t NegativeCount(rt::OpenDialogExt*) { return -1; }

void BindWithFileCount(int32_t (*fileCount)(rt::OpenDialogExt*)) {
  std::vector<rt::PluginEntrypoint> all = rt::DialogPluginLibrary().entrypoints;
  for (const rt::PluginEntrypoint& e : rt::TagPluginLibrary().entrypoints) all.push_back(e);
  std::vector<rt::PluginEntrypoint>& table =
      rt::RuntimeAllocatePluginEntrypointsTable(static_cast<int>(all.size()));
  for (size_t i = 0; i < all.size(); ++i) {
    table[i] = all[i];
    if (all[i].name == "OpenDialogExt.FileCount.Get") table[i].function = rt::EraseFn(fileCount);
  }
  rt::ResolvePluginClasses();
}

TEST_F(FolderScan, NoChosenFolderQuitsOnceWithZeroAndReadsNothing) {
  ScratchFolder dir;
  qtest::WriteTaggedAudio(dir / "a.wav", AudioFormat::Wav, "T", "A");
  struct Case {
    const char* name;
    std::optional<std::string> answer;  // nothing: closed without a choice
    bool negativeCount;
    bool filesAsked;
  };
  for (const Case& c : {Case{"closed", std::nullopt, false, false},
                        Case{"nil at index 0", std::string(), false, true},
                        Case{"negative count", dir.Path(), true, false}}) {
    SCOPED_TRACE(c.name);
    log.clear();
    qtest::ForgetQuitRequest();
    if (c.negativeCount) BindWithFileCount(&NegativeCount);
    Prefill();
    Press(c.answer);
    EXPECT_TRUE(rt::QuitRequested());
    EXPECT_EQ(qtest::LinesStartingWith(log, "Quit"), Lines{"Quit 0"});
    EXPECT_EQ(!qtest::LinesStartingWith(log, "OpenDialogExt.Files").empty(), c.filesAsked);
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(prompter.messages.empty());
    qtest::BindProgramPlugins();
  }
}

TEST_F(FolderScan, ClosingTheChooserEndsTheRealRunWithStatusZero) {
  bool quitByScan = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MakeScanWindow();
    rt::Invoke(W1::slot::BevelButton1_Action, w, nullptr);
    quitByScan = rt::QuitRequested();
  });
  EXPECT_TRUE(quitByScan);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(qtest::LinesStartingWith(run.log, "Quit"), Lines{"Quit 0"});
}

TEST_F(FolderScan, ARemovedEntryAsksForAFileAndKeepsItsRow) {
  ScratchFolder dir, elsewhere;
  ASSERT_EQ(symlink("gone-1", (dir / "a.mp3").c_str()), 0);
  qtest::WriteTaggedAudio(dir / "b.wav", AudioFormat::Wav, "Bee", "Present");
  ASSERT_EQ(symlink("gone-2", (dir / "c.mp3").c_str()), 0);
  ASSERT_EQ(symlink("gone-3", (dir / "d.m4a").c_str()), 0);
  qtest::WriteTaggedAudio(elsewhere / "picked.flac", AudioFormat::Flac, "Picked", "Instead");
  qtest::WriteText(elsewhere / "words.mp3", "not audio");
  prompter.openFileAnswers = {std::nullopt, elsewhere / "picked.flac", elsewhere / "words.mp3"};
  Press(dir.Path());

  EXPECT_EQ(Rows(), (Lines{"a.mp3", "b.wav", "c.mp3", "d.m4a"}));
  EXPECT_EQ(Text(), "Bee - Present\nPicked - Instead\n");
  EXPECT_EQ(prompter.messages, Lines{kFailed});
  ASSERT_EQ(prompter.openFileRequests.size(), 3u);
  for (const rt::OpenFileRequest& r : prompter.openFileRequests)
    EXPECT_EQ(r.filter, quorvane::FileTypes1::All().Std());
  EXPECT_FALSE(rt::QuitRequested());
}

TEST_F(FolderScan, ASecondScanShowsOnlyTheSecondFolder) {
  ScratchFolder first, second;
  qtest::WriteTaggedAudio(first / "one.wav", AudioFormat::Wav, "One", "First");
  qtest::WriteText(first / "x.txt", "x");
  qtest::WriteTaggedAudio(second / "two.mp3", AudioFormat::Mp3, "Two", "Second");
  Press(first.Path());
  Press(second.Path());
  EXPECT_EQ(Rows(), Lines{"two.mp3"});
  EXPECT_EQ(Text(), "Two - Second\n");
  EXPECT_EQ(prompter.folderRequests.size(), 2u);
  EXPECT_FALSE(rt::QuitRequested());
}

TEST_F(FolderScan, FoldersWithNothingVisibleGiveNoRow) {
  ScratchFolder empty, hidden;
  qtest::WriteTaggedAudio(hidden / ".a.wav", AudioFormat::Wav, "A", "A");
  qtest::WriteText(hidden / ".notes", "n");
  ASSERT_EQ(mkdir((hidden / ".git").c_str(), 0755), 0);
  for (const std::string& folder : {empty.Path(), hidden.Path()}) {
    SCOPED_TRACE(folder);
    Prefill();
    Press(folder);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(rt::QuitRequested());
  }
}

TEST_F(FolderScan, EntriesAddedOrRemovedDuringTheScanFollowTheCount) {
  for (bool settled : {false, true}) {
    SCOPED_TRACE(settled ? "folder unchanged for an hour" : "folder just made");
    ScratchFolder dir;
    qtest::WriteText(dir / "a.txt", "unreadable");
    qtest::WriteTaggedAudio(dir / "c.wav", AudioFormat::Wav, "C", "removed before its turn");
    qtest::WriteTaggedAudio(dir / "e.wav", AudioFormat::Wav, "E", "e");
    if (settled) {
      const timespec anHourAgo[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
      ASSERT_EQ(utimensat(AT_FDCWD, dir.Path().c_str(), anHourAgo, 0), 0);
    }
    prompter.messages.clear();
    prompter.onMessage = [&](const std::string&) {
      qtest::WriteTaggedAudio(dir / "b.wav", AudioFormat::Wav, "B", "added");
      unlink((dir / "c.wav").c_str());
      qtest::WriteTaggedAudio(dir / "f.wav", AudioFormat::Wav, "F", "added last");
    };
    Press(dir.Path());
    EXPECT_EQ(Rows(), (Lines{"a.txt", "b.wav", "e.wav", "f.wav"}));
    EXPECT_EQ(Text(), "B - added\nE - e\nF - added last\n");
    EXPECT_EQ(prompter.messages, Lines{kFailed});
  }
}

TEST_F(FolderScan, AnErrorInTheTagReadingEndsTheScanKeepingWhatWasDone) {
  ScratchFolder dir;
  qtest::WriteText(dir / "a.txt", "unreadable");
  qtest::WriteTaggedAudio(dir / "b.wav", AudioFormat::Wav, "B", "b");
  qtest::WriteTaggedAudio(dir / "c.wav", AudioFormat::Wav, "C", "c");
  window = qtest::MakeScanWindow(true, false);  // no text area: appending raises
  prompter.folderAnswers.push_back({dir.Path()});
  EXPECT_EQ(qtest::RaisedClass([&] { rt::Invoke(W1::slot::openvideofolder, window); }),
            "NilObjectException");
  EXPECT_EQ(Rows(), (Lines{"a.txt", "b.wav"}));
  EXPECT_EQ(prompter.messages, Lines{kFailed});
}

TEST_F(FolderScan, MissingControlsRaiseBeforeTheChooserIsShown) {
  window = qtest::MakeScanWindow(true, false);
  Prefill();
  EXPECT_EQ(qtest::RaisedClass([&] { Press("/"); }), "NilObjectException");
  EXPECT_EQ(Rows(), Lines{"stale row"});

  window = qtest::MakeScanWindow(false, true);
  Prefill();
  EXPECT_EQ(qtest::RaisedClass([&] { Press("/"); }), "NilObjectException");
  EXPECT_EQ(Text(), "");  // emptied before the list box was looked for
  EXPECT_TRUE(prompter.folderRequests.empty());
  EXPECT_FALSE(rt::QuitRequested());
}

}  // namespace
