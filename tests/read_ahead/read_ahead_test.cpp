// The read-ahead's rules: it opens nothing but the visible regular files of the folder being
// scanned, never goes past its window, leaves no thread or descriptor once the scan is over,
// and the scan finds exactly the same with it as without it.
#include "platform/files/read_ahead.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/core/runtime.h"
#include "platform/files/folder_item.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/hostile_corpus.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace ra = rt::read_ahead;
using qtest::FifoWatch;
using qtest::OpenDescriptors;
using qtest::ScratchFolder;
using rt::FolderItem;
using rt::Ref;
using FileId = std::pair<dev_t, ino_t>;

// Every file the read-ahead opened for reading, by identity and type.
struct Opened {
  std::mutex mutex;
  std::vector<FileId> regular;
  std::vector<mode_t> other;  // of anything that was not a regular file
};
Opened& TheOpened() {
  static Opened opened;
  return opened;
}
void Observe(const struct stat& st) {
  std::lock_guard lock(TheOpened().mutex);
  if (S_ISREG(st.st_mode))
    TheOpened().regular.push_back({st.st_dev, st.st_ino});
  else
    TheOpened().other.push_back(st.st_mode & S_IFMT);
}

// Records what the read-ahead opens while it lives, and checks afterwards that it is gone.
class Watching {
 public:
  Watching() : threads_(Threads()), descriptors_(OpenDescriptors()) {
    std::lock_guard lock(TheOpened().mutex);
    TheOpened().regular.clear();
    TheOpened().other.clear();
    ra::SetOpenObserver(&Observe);
  }
  ~Watching() { ra::SetOpenObserver(nullptr); }

  std::vector<FileId> Regular() {
    std::lock_guard lock(TheOpened().mutex);
    return TheOpened().regular;
  }
  std::vector<mode_t> Other() {
    std::lock_guard lock(TheOpened().mutex);
    return TheOpened().other;
  }
  void ExpectNothingLeft() const {
    EXPECT_EQ(ra::RunningThreads(), 0u);
    EXPECT_EQ(Threads(), threads_) << "threads left running";
    EXPECT_EQ(OpenDescriptors(), descriptors_) << "descriptors left open";
  }
  static int Threads() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
      while (const dirent* e = readdir(d)) n += e->d_name[0] != '.';
      closedir(d);
    }
    return n;
  }

 private:
  int threads_, descriptors_;
};

FileId IdOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
  return {st.st_dev, st.st_ino};
}

// Waits until the counter has grown by `count` from `before`, or gives up.
bool WaitFor(size_t (*counter)() noexcept, size_t before, size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (counter() - before < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Drops the file's pages from the cache, as a first scan finds them; false when they stay
// (a file system in memory keeps them).
bool MakeCold(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  fdatasync(fd);
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  // Asked without reading: a read, even one that must not wait, would start the disk.
  bool cold = false;
  if (void* map = mmap(nullptr, 1, PROT_READ, MAP_SHARED, fd, 0); map != MAP_FAILED) {
    unsigned char resident = 1;
    cold = mincore(map, 1, &resident) == 0 && !(resident & 1);
    munmap(map, 1);
  }
  close(fd);
  return cold;
}

// Names written long enough ago that the folder's listing is read once, not again per call.
void LetTheFolderSettle() { std::this_thread::sleep_for(std::chrono::milliseconds(60)); }

TEST(ReadAhead, OpensOnlyTheVisibleRegularFilesOfItsFolderAndNothingThroughALink) {
  ScratchFolder dir, outside;
  qtest::WriteText(outside / "secret.mp3", "outside the chosen folder");
  ASSERT_EQ(mkfifo((outside / "pipe").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  qtest::WriteText(dir / "sub/inner.mp3", "one level down");
  qtest::WriteText(dir / ".hidden.mp3", "hidden");
  for (const auto& [name, target] : {std::pair{"link-out.mp3", outside / "secret.mp3"},
                                     std::pair{"link-fifo.mp3", outside / "pipe"},
                                     std::pair{"link-zero.mp3", std::string("/dev/zero")},
                                     std::pair{"link-loop.mp3", std::string("link-loop.mp3")}})
    ASSERT_EQ(symlink(target.c_str(), (dir / name).c_str()), 0);
  // A device node of its own, where this user may make one (/dev/null's numbers).
  const bool device = mknod((dir / "null.mp3").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const int sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  (dir / "sock.mp3").copy(addr.sun_path, sizeof(addr.sun_path) - 1);
  ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
  std::set<FileId> wanted;
  bool cold = true;
  for (int i = 0; i < 20; ++i) {
    const std::string path = dir / ("track" + std::to_string(10 + i) + ".mp3");
    qtest::WriteText(path, std::string(10000, 'x'));
    wanted.insert(IdOf(path));
    cold = MakeCold(path) && cold;
  }
  // Names no listing holds, given as if one did: they must not lead out of the folder.
  const std::string outsideName = outside.Path().substr(outside.Path().rfind('/') + 1);
  std::vector<std::string> names = {"sub/../../" + outsideName + "/secret.mp3", "sub/inner.mp3"};
  size_t visible = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(e.path().filename().string());
    visible += names.back()[0] != '.';
  }
  // The special entries sort before the tracks, so each is looked at: what is no file passes
  // the look on to the next entry even in a folder found warm.
  std::sort(names.begin(), names.end());

  {
    FifoWatch inside(dir / "pipe.mp3"), beyond(outside / "pipe");
    Watching watch;
    const size_t handledBefore = ra::HandledEntries();
    const int fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int scan = 0;
    ra::Listed(&scan, fd, names);
    close(fd);  // the read-ahead keeps its own
    ra::Reached(&scan, names, 0);
    EXPECT_TRUE(WaitFor(ra::HandledEntries, handledBefore, visible));
    ra::Forget(&scan);
    watch.ExpectNothingLeft();

    // Files not in the cache are all warmed; where they stay cached, most are left alone.
    const std::vector<FileId> regular = watch.Regular();
    EXPECT_FALSE(regular.empty()) << "nothing was warmed";
    if (cold) {
      EXPECT_EQ(std::set<FileId>(regular.begin(), regular.end()), wanted);
    }
    for (const FileId& id : regular) EXPECT_TRUE(wanted.count(id)) << "opened what it must not";
    EXPECT_EQ(std::set<FileId>(regular.begin(), regular.end()).size(), regular.size())
        << "a file was opened twice";
    EXPECT_EQ(watch.Other(), std::vector<mode_t>{}) << "a special file was opened";
    EXPECT_FALSE(inside.Opened());
    EXPECT_FALSE(beyond.Opened());
  }
  if (!device) std::printf("note: no device node could be made here\n");
  if (!cold) std::printf("note: the files stay in the cache here; not all need warming\n");
  close(sock);
}

TEST(ReadAhead, StaysWithinItsWindowFollowsTheScanAndEndsWithTheFolderItem) {
  ScratchFolder dir;
  constexpr int kFiles = 700;
  for (int i = 0; i < kFiles; ++i) qtest::WriteText(dir / ("f" + std::to_string(1000 + i)), "x");
  LetTheFolderSettle();
  Watching watch;
  const size_t before = ra::HandledEntries(), warmedBefore = ra::WarmedFiles();
  {
    Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
    ASSERT_EQ(FolderItem::Count(folder.get()), kFiles);
    // Nothing fetched yet: it takes a window's worth ahead of the start and then waits.
    ASSERT_TRUE(WaitFor(ra::HandledEntries, before, 256));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ra::HandledEntries() - before, 256u);
    EXPECT_GE(ra::RunningThreads(), 1u);
    EXPECT_LE(ra::RunningThreads(), 4u);

    // Halfway through the scan, more is taken from there on (what the scan passed meanwhile
    // may be left out), still no more than a window ahead.
    for (int i = 1; i <= kFiles / 2; ++i) ASSERT_TRUE(FolderItem::Item(folder.get(), i));
    EXPECT_TRUE(WaitFor(ra::HandledEntries, before, 256 + 128));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(ra::HandledEntries() - before, static_cast<size_t>(kFiles / 2 + 256));
    for (int i = kFiles / 2 + 1; i <= kFiles; ++i) ASSERT_TRUE(FolderItem::Item(folder.get(), i));
  }
  watch.ExpectNothingLeft();
  EXPECT_LE(ra::HandledEntries() - before, static_cast<size_t>(kFiles));
  // The files were just written, so they are in the cache: most are not even opened.
  EXPECT_LT(ra::WarmedFiles() - warmedBefore, static_cast<size_t>(kFiles / 2));
}

// How many of this process's descriptors are open on path.
int HeldOpen(const std::string& path) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    n += std::filesystem::read_symlink(e.path(), ignored) == path;
  }
  return n;
}

TEST(ReadAhead, EndsWhenAnotherFolderIsListedAndWhenTheRunEnds) {
  ScratchFolder first, second;
  for (int i = 0; i < 5; ++i) {
    qtest::WriteText(first / ("a" + std::to_string(i)), "x");
    qtest::WriteText(second / ("b" + std::to_string(i)), "x");
  }
  qtest::RunProgram();  // Qt's own descriptors and threads, before any are counted
  Watching watch;
  Ref<FolderItem> a = FolderItem::FromPath(first.Path());
  Ref<FolderItem> b = FolderItem::FromPath(second.Path());
  constexpr int kOwn = 1;  // a folder item holds its folder open while it lives
  FolderItem::Count(a.get());
  EXPECT_EQ(HeldOpen(first.Path()), kOwn + 1);  // and the read-ahead its own copy
  FolderItem::Count(b.get());
  EXPECT_EQ(HeldOpen(first.Path()), kOwn) << "the first folder is still held";
  EXPECT_EQ(HeldOpen(second.Path()), kOwn + 1);
  EXPECT_LE(ra::RunningThreads(), 4u);
  a = nullptr;  // no longer the one followed: changes nothing
  EXPECT_EQ(HeldOpen(first.Path()), 0);
  EXPECT_EQ(HeldOpen(second.Path()), kOwn + 1);

  // A run's end ends a read-ahead whose folder item is still held.
  qtest::RunProgram([&] { FolderItem::Count(b.get()); });
  EXPECT_EQ(ra::RunningThreads(), 0u);
  EXPECT_EQ(HeldOpen(second.Path()), kOwn);
  b = nullptr;
  watch.ExpectNothingLeft();
}

// What a scan showed: its rows, its text, and each message or dialog with the row it came at.
struct ScanOutcome {
  std::vector<std::string> rows;
  std::string text;
  std::vector<std::string> events;
  bool operator==(const ScanOutcome&) const = default;
};

class NotingPrompter : public qtest::ScriptedPrompter {
 public:
  rt::Window* window = nullptr;
  std::vector<std::string> events;
  void Message(const std::string& text) override {
    Note("message " + text);
    ScriptedPrompter::Message(text);
  }
  std::optional<std::string> ChooseOpenFile(const rt::OpenFileRequest& request) override {
    Note("dialog");
    return ScriptedPrompter::ChooseOpenFile(request);
  }

 private:
  void Note(const std::string& what) {
    events.push_back(std::to_string(qtest::Rows(window).size()) + ": " + what);
  }
};

ScanOutcome ScanOnce(const qtest::HostileCorpus& corpus) {
  rt::Ref<rt::Window> window = qtest::MakeScanWindow();
  NotingPrompter prompter;
  prompter.window = window.get();
  prompter.folderAnswers.push_back({corpus.Path()});
  {
    FifoWatch fifo(corpus / "pipe.mp3");
    qtest::UnprivilegedFileAccess unprivileged;
    rt::Invoke(quorvane::Window1::slot::BevelButton1_Action, window, nullptr);
    EXPECT_FALSE(fifo.Opened());
  }
  return {qtest::Rows(window.get()), qtest::Text(window.get()), prompter.events};
}

TEST(ReadAhead, TheHostileScanFindsTheSameWithAndWithoutIt) {
  qtest::EnsureQtApplication();
  qtest::BindProgramPlugins();
  qtest::HostileCorpus corpus;
  std::set<FileId> regular;  // what it may open: the corpus's own regular files
  for (const qtest::HostileEntry& e : corpus.Entries()) {
    struct stat st {};
    if (e.visible && lstat((corpus / e.name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
      regular.insert({st.st_dev, st.st_ino});
  }

  ra::SetEnabled(false);
  const ScanOutcome without = ScanOnce(corpus);
  ra::SetEnabled(true);
  Watching watch;
  const ScanOutcome with = ScanOnce(corpus);
  watch.ExpectNothingLeft();

  EXPECT_EQ(with, without);
  EXPECT_GT(with.rows.size(), 50u);
  const std::vector<FileId> opened = watch.Regular();
  EXPECT_FALSE(opened.empty()) << "the read-ahead never ran";
  for (const FileId& id : opened) EXPECT_TRUE(regular.count(id)) << "opened a file not listed";
  EXPECT_EQ(watch.Other(), std::vector<mode_t>{}) << "a special file was opened";
}

}  // namespace
