// Entries that are there but cannot be read, or that lie deeper than a path can reach in one
// system call, and an entry swapped between a file and a FIFO while it is read: an entry is
// "gone" only when it really is, and nothing but a regular file is ever opened.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <thread>

#include "platform/files/folder_item.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/hostile_corpus.h"
#include "support/scan_support.h"

namespace {

using qtest::ScratchFolder;
using rt::FolderItem;
using rt::Ref;
using Lines = std::vector<std::string>;

// Removes what lies under the folder open as fd, however deep: the paths are too long for
// the usual tools.
void RemoveContents(int fd) {
  DIR* dir = fdopendir(dup(fd));
  if (!dir) return;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (unlinkat(fd, name.c_str(), 0) == 0) continue;
    const int sub = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    RemoveContents(sub);
    close(sub);
    unlinkat(fd, name.c_str(), AT_REMOVEDIR);
  }
  closedir(dir);
}

class PresentButUnreadable : public qtest::ScanWindowTest {
 protected:
  void SetUp() override {
    ScanWindowTest::SetUp();
    chmod(dir.Path().c_str(), 0755);  // reachable by the unprivileged user the scan runs as
  }

  void Scan(const std::string& folder) {
    qtest::UnprivilegedFileAccess unprivileged;
    EXPECT_EQ(qtest::RaisedClass([&] { Press(folder); }), "");
  }

  ScratchFolder dir;
};

// A folder that may be listed but not searched (r--): its entries are there, but nothing can
// be learnt of them or read: each gets the message, none the open-file dialog.
TEST_F(PresentButUnreadable, EntriesOfAFolderThatMayBeListedButNotSearchedGetTheMessage) {
  const std::string folder = dir / "list-only";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  qtest::WriteTaggedAudio(folder + "/a.mp3", qtest::AudioFormat::Mp3, "A", "a");
  qtest::WriteTaggedAudio(folder + "/b.wav", qtest::AudioFormat::Wav, "B", "b");
  ASSERT_EQ(chmod(folder.c_str(), 0444), 0);
  {
    qtest::UnprivilegedFileAccess unprivileged;
    struct stat st;
    if (stat((folder + "/a.mp3").c_str(), &st) == 0) GTEST_SKIP() << "permissions not enforced";
  }
  Scan(folder);
  EXPECT_EQ(qtest::Rows(window.get()), (Lines{"a.mp3", "b.wav"}));
  EXPECT_EQ(qtest::Text(window.get()), "");
  EXPECT_EQ(prompter.messages, Lines(2, "Failed to read file."));
  EXPECT_TRUE(prompter.openFileRequests.empty());
  chmod(folder.c_str(), 0755);
}

// A folder whose path is longer than PATH_MAX: its entries are reached from the folder's
// descriptor and read like any other; a broken link there is still the only one gone.
TEST_F(PresentButUnreadable, AFolderDeeperThanPathMaxIsScannedAndRead) {
  int fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const int top = dup(fd);
  std::string path = dir.Path();
  const std::string piece(200, 'd');
  while (path.size() <= PATH_MAX + 300) {
    ASSERT_EQ(mkdirat(fd, piece.c_str(), 0755), 0);
    const int next = openat(fd, piece.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
    path += "/" + piece;
  }
  qtest::WriteTaggedAudio(dir / "song.wav", qtest::AudioFormat::Wav, "Deep", "Down");
  ASSERT_EQ(renameat(AT_FDCWD, (dir / "song.wav").c_str(), fd, "song.wav"), 0);
  ASSERT_EQ(symlinkat("nowhere", fd, "x-gone.mp3"), 0);
  close(fd);

  Scan(path);
  EXPECT_EQ(qtest::Rows(window.get()), (Lines{"song.wav", "x-gone.mp3"}));
  EXPECT_EQ(qtest::Text(window.get()), "Deep - Down\n");
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(prompter.openFileRequests.size(), 1u);  // for the broken link only

  // An item made from the long path itself, as the open-file dialog gives one.
  Ref<FolderItem> song = FolderItem::FromPath(path + "/song.wav");
  EXPECT_TRUE(FolderItem::Exists(song.get()));
  EXPECT_EQ(qtest::TagLine(song->NativePath()), "Deep - Down");
  EXPECT_FALSE(FolderItem::Exists(FolderItem::FromPath(path + "/missing").get()));
  RemoveContents(top);
  close(top);
}

// The name stands for a tagged file and a FIFO by turns while it is read, again and again.
// An inotify watch on the FIFO counts every time anything opened it.
TEST(SwappedEntry, AFifoSwappedInForAFileIsNeverOpened) {
  qtest::BindProgramPlugins();
  ScratchFolder dir;
  qtest::WriteTaggedAudio(dir / "x.mp3", qtest::AudioFormat::Mp3, "Title", "Artist");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, (dir / "fifo").c_str(), IN_OPEN), 0);

  std::atomic<bool> stop{false};
  std::thread swapper([&] {
    const std::string x = dir / "x.mp3", file = dir / "file", fifo = dir / "fifo";
    while (!stop) {  // x.mp3: the file, nothing, the FIFO, nothing, ...
      rename(x.c_str(), file.c_str());
      rename(fifo.c_str(), x.c_str());
      std::this_thread::yield();
      rename(x.c_str(), fifo.c_str());
      rename(file.c_str(), x.c_str());
      std::this_thread::yield();
    }
  });
  Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
  int tags = 0, tries = 0;
  for (; tries < 3000; ++tries) {
    FolderItem::Count(folder.get());
    for (int32_t i = 1; i <= 3; ++i) {
      Ref<FolderItem> entry = FolderItem::Item(folder.get(), i);
      if (!entry || FolderItem::Name(entry.get()).Std() != "x.mp3") continue;
      Ref<rt::Object> made = rt::RuntimeNewObject(rt::TagLibFileRefExt::__Lookup());
      Ref<rt::TagLibFileRefExt> ref(static_cast<rt::TagLibFileRefExt*>(made.get()));
      rt::TagLibFileRefExt::Constructor(ref.get(), entry.get());
      tags += static_cast<bool>(rt::TagLibFileRefExt::tags(ref.get()));
    }
  }
  stop = true;
  swapper.join();
  char events[64 * 1024];
  const ssize_t got = read(watch, events, sizeof events);
  close(watch);
  EXPECT_LE(got, 0) << "the FIFO was opened";
  EXPECT_GT(tags, 0) << "the file was never read: the swap left nothing to compare";
}

}  // namespace
