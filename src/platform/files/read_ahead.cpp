#include "platform/files/read_ahead.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/core/runtime_state.h"

namespace rt::read_ahead {

namespace {

constexpr size_t kThreads = 4;
constexpr size_t kWindow = 256;  // entries ahead of the scan
constexpr size_t kBatch = 32;    // queued at a time, so that the scan rarely takes the lock
constexpr off_t kHeadAdvice = 64 * 1024;
constexpr off_t kLargestTag = 1 << 20;  // an ID3v2 tag past this is left to the scan's reads
constexpr size_t kHeadRead = 4096;
constexpr off_t kTailAdvice = 8 * 1024;
constexpr off_t kTailRead = 160;  // ID3v1 and the APE footer before it
// After this many files in a row found in the cache already, only every kProbeEvery-th entry
// is looked at, until one is not: a warm folder costs the scan next to nothing.
constexpr int kWarmStreak = 32;
constexpr size_t kProbeEvery = 16;

// The scanned folder's descriptor, closed when the last job that uses it is done.
struct Folder {
  explicit Folder(int descriptor) : fd(descriptor) {}
  ~Folder() { ::close(fd); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  const int fd;
};

struct Job {
  std::shared_ptr<const Folder> folder;
  size_t index = 0;
  std::string name;
};

struct Pool {
  std::mutex control;  // serialises starting and stopping; held while threads are joined
  std::vector<std::thread> threads;

  std::mutex mutex;  // guards what follows, up to the atomics
  std::condition_variable wake;
  std::deque<Job> jobs;  // in index order, all within the window
  std::shared_ptr<const Folder> folder;
  bool stopping = false;
  int warmStreak = 0;  // files in a row found in the cache

  std::atomic<const void*> scan{nullptr};
  std::atomic<size_t> position{0};
  std::atomic<size_t> queuedTo{0};  // names below this were queued or passed over
  std::atomic<bool> enabled{true};
  std::atomic<OpenObserver> observer{nullptr};
  std::atomic<size_t> warmed{0};
  std::atomic<size_t> handled{0};
  std::atomic<size_t> running{0};
};

// Outlives static destruction: a run may end from an exit handler.
Pool& ThePool() {
  static Pool* pool = new Pool;
  return *pool;
}

// Only a visible name that stays inside the folder.
bool Wanted(const std::string& name) {
  return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// True when what the scan's reader looks at first, the head and the tail, is in the cache.
bool Cached(int fd, off_t size, char* buf) {
  auto cached = [&](off_t from, off_t end) {
    iovec io{buf, static_cast<size_t>(end - from)};
    return ::preadv2(fd, &io, 1, from, RWF_NOWAIT) == end - from;
  };
  const off_t head = std::min<off_t>(size, kHeadRead);
  return cached(0, head) && (size <= head || cached(std::max(head, size - kTailRead), size));
}

// Reads where tags live: the head, with a whole ID3v2 tag when it says how long it is, and
// the tail. The advice starts the disk on all of it; the reads wait for the parts read first.
void WarmContents(int fd, off_t size, char* buf) {
  if (size <= 0) return;
  const off_t head = std::min(size, kHeadAdvice);
  ::posix_fadvise(fd, 0, head, POSIX_FADV_WILLNEED);
  if (size > head) {
    const off_t tail = std::max(head, size - kTailAdvice);
    ::posix_fadvise(fd, tail, size - tail, POSIX_FADV_WILLNEED);
  }
  const ssize_t n = ::pread(fd, buf, std::min<off_t>(size, kHeadRead), 0);
  const auto* b = reinterpret_cast<const unsigned char*>(buf);
  if (n >= 10 && std::memcmp(b, "ID3", 3) == 0 && (b[6] | b[7] | b[8] | b[9]) < 0x80) {
    const off_t tagEnd = 20 + (off_t{b[6]} << 21 | off_t{b[7]} << 14 | b[8] << 7 | b[9]);
    const off_t end = std::min({tagEnd, size, kLargestTag});
    if (end > head) ::posix_fadvise(fd, head, end - head, POSIX_FADV_WILLNEED);
  }
  if (size > static_cast<off_t>(kHeadRead)) {
    const off_t from = std::max(static_cast<off_t>(kHeadRead), size - kTailRead);
    [[maybe_unused]] const ssize_t t = ::pread(fd, buf, static_cast<size_t>(size - from), from);
  }
}

// Opens the entry for reading only once it is known to be a regular file: the first open
// gets no more than a handle on the entry itself (a link is not followed, a FIFO or device
// not opened), and the second reopens exactly what that handle looked at.
enum class Found { Nothing, Cached, Warmed };
Found Warm(Pool& p, int dirFd, const std::string& name, char* buf) {
  const int handle = ::openat(dirFd, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (handle < 0) return Found::Nothing;
  struct stat seen;
  int fd = -1;
  if (::fstat(handle, &seen) == 0 && S_ISREG(seen.st_mode)) {
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", handle);
    fd = ::open(link, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  }
  ::close(handle);
  if (fd < 0) return Found::Nothing;
  Found found = Found::Nothing;
  struct stat opened;
  if (::fstat(fd, &opened) == 0) {
    if (OpenObserver observe = p.observer.load()) observe(opened);
    if (S_ISREG(opened.st_mode) && opened.st_dev == seen.st_dev && opened.st_ino == seen.st_ino) {
      p.warmed.fetch_add(1, std::memory_order_relaxed);
      found = Found::Cached;
      if (!Cached(fd, opened.st_size, buf)) {
        WarmContents(fd, opened.st_size, buf);
        found = Found::Warmed;
      }
    }
  }
  ::close(fd);
  return found;
}

void Work(Pool& p) {
  char buf[kHeadRead];
  std::unique_lock lock(p.mutex);
  for (;;) {
    p.wake.wait(lock, [&] { return p.stopping || !p.jobs.empty(); });
    if (p.stopping) break;
    Job job = std::move(p.jobs.front());
    p.jobs.pop_front();
    if (job.index < p.position.load(std::memory_order_relaxed)) continue;  // the scan is past it
    p.handled.fetch_add(1, std::memory_order_relaxed);
    if (p.warmStreak >= kWarmStreak && job.index % kProbeEvery != 0) continue;
    lock.unlock();
    const Found found = Warm(p, job.folder->fd, job.name, buf);
    job.folder.reset();
    lock.lock();
    if (found == Found::Cached) ++p.warmStreak;
    if (found == Found::Warmed) p.warmStreak = 0;
  }
  p.running.fetch_sub(1);
}

// Queues the wanted names from the scan's position to the end of the window; true when it
// queued any. Under mutex.
bool Fill(Pool& p, const std::vector<std::string>& names) {
  bool queued = false;
  const size_t from = p.position.load(std::memory_order_relaxed);
  while (!p.jobs.empty() && p.jobs.front().index < from) p.jobs.pop_front();
  const size_t end = std::min(names.size(), from + kWindow);
  size_t i = std::max(p.queuedTo.load(std::memory_order_relaxed), from);
  for (; i < end; ++i) {
    if (!Wanted(names[i])) continue;
    p.jobs.push_back({p.folder, i, names[i]});
    queued = true;
  }
  p.queuedTo.store(std::max(i, p.queuedTo.load(std::memory_order_relaxed)));
  return queued;
}

// Ends the read-ahead, if any, and waits for its threads. Under control.
void Stop(Pool& p) {
  {
    std::lock_guard lock(p.mutex);
    p.stopping = true;
    p.jobs.clear();
    p.folder.reset();
    p.scan.store(nullptr);
  }
  p.wake.notify_all();
  for (std::thread& t : p.threads) t.join();
  p.threads.clear();
  std::lock_guard lock(p.mutex);
  p.stopping = false;
}

// A run's read-ahead does not outlive it.
void StopAll() {
  Pool& p = ThePool();
  std::lock_guard control(p.control);
  Stop(p);
}

}  // namespace

void Listed(const void* scan, int dirFd, const std::vector<std::string>& names) noexcept {
  Pool& p = ThePool();
  if (!scan || !p.enabled.load()) return;
  try {
    std::lock_guard control(p.control);
    if (p.scan.load() != scan) Stop(p);
    const int fd = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return;
    auto folder = std::make_shared<const Folder>(fd);
    RegisterShutdownHook(&StopAll);
    {
      std::lock_guard lock(p.mutex);
      if (p.scan.load() != scan) p.position.store(0);
      p.jobs.clear();  // named from the listing before
      p.warmStreak = 0;
      p.folder = std::move(folder);
      p.queuedTo.store(0);
      p.scan.store(scan);
      Fill(p, names);
    }
    while (p.threads.size() < kThreads) {
      p.running.fetch_add(1);
      try {
        p.threads.emplace_back([&p] { Work(p); });
      } catch (...) {
        p.running.fetch_sub(1);
        break;
      }
    }
    if (p.threads.empty()) Stop(p);
    p.wake.notify_all();
  } catch (...) {
    // Only warming is lost: the scan reads everything itself.
  }
}

void Reached(const void* scan, const std::vector<std::string>& names, size_t index) noexcept {
  Pool& p = ThePool();
  if (!scan || p.scan.load(std::memory_order_relaxed) != scan) return;
  p.position.store(index, std::memory_order_relaxed);
  if (index + kWindow < p.queuedTo.load(std::memory_order_relaxed) + kBatch) return;
  try {
    std::unique_lock lock(p.mutex);
    if (p.scan.load() != scan || p.stopping || !Fill(p, names)) return;
    lock.unlock();
    p.wake.notify_all();
  } catch (...) {
  }
}

void Forget(const void* scan) noexcept {
  Pool& p = ThePool();
  if (!scan || p.scan.load(std::memory_order_relaxed) != scan) return;
  try {
    std::lock_guard control(p.control);
    if (p.scan.load() == scan) Stop(p);
  } catch (...) {
  }
}

void SetEnabled(bool on) noexcept {
  ThePool().enabled.store(on);
  if (!on) {
    try {
      StopAll();
    } catch (...) {
    }
  }
}

bool Enabled() noexcept { return ThePool().enabled.load(); }

void SetOpenObserver(OpenObserver observer) noexcept { ThePool().observer.store(observer); }

size_t WarmedFiles() noexcept { return ThePool().warmed.load(); }

size_t HandledEntries() noexcept { return ThePool().handled.load(); }

size_t RunningThreads() noexcept { return ThePool().running.load(); }

}  // namespace rt::read_ahead
