#include "platform/files/read_ahead.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/core/runtime_state.h"
#include "platform/files/reopen.h"

namespace rt::read_ahead {

namespace {

constexpr size_t kThreads = 4;
constexpr size_t kWindow = 256;  // entries ahead of the scan
constexpr size_t kBatch = 64;    // queued at a time, so that the scan rarely takes the lock
constexpr size_t kTake = 8;      // entries a worker warms at once
constexpr off_t kHeadAdvice = 64 * 1024;
constexpr off_t kLargestTag = 1 << 20;  // an ID3v2 tag past this is left to the scan's reads
constexpr size_t kHeadRead = 4096;
constexpr off_t kTailAdvice = 8 * 1024;
constexpr off_t kTailRead = 160;  // ID3v1 and the APE footer before it
// After this many files in a row found in the cache already, only every kProbeEvery-th entry
// is looked at, by one thread that wakes by itself now and then, until one is not: a warm
// folder costs the scan next to nothing (on a virtual machine, waking a thread from the scan's
// thread costs it far more than the thread's whole work). A scan starts that way; its first
// file not in the cache wakes them all.
constexpr int kWarmStreak = 32;
constexpr size_t kProbeEvery = 16;
constexpr auto kProbeInterval = std::chrono::milliseconds(10);
constexpr auto kIdleInterval = std::chrono::milliseconds(640);  // while the scan stands still

// The scanned folder's descriptor, closed when the last worker using it lets go.
struct Folder {
  explicit Folder(int descriptor) : fd(descriptor) {}
  ~Folder() { ::close(fd); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  const int fd;
};

struct Pool {
  std::mutex control;  // serialises starting and stopping; held while threads are joined
  std::vector<std::thread> threads;

  std::mutex mutex;  // guards what follows, up to the atomics
  std::condition_variable wake;
  // The window: the name of entry i at i % kWindow for i from next to queuedTo, empty where
  // it is not wanted. Filled in place, so that the scan's thread allocates next to nothing.
  std::vector<std::string> ring;
  size_t next = 0;  // the next entry a worker takes
  std::shared_ptr<const Folder> folder;
  bool stopping = false;
  int warmStreak = kWarmStreak;  // files in a row found in the cache
  size_t sinceProbe = 0;         // entries passed over since the last one looked at

  // What the scan's thread looks at on every fetch, apart from what the workers write.
  alignas(64) std::atomic<const void*> scan{nullptr};
  std::atomic<size_t> position{0};
  std::atomic<size_t> queuedTo{0};  // names below this were queued or passed over
  std::atomic<bool> enabled{true};
  std::atomic<bool> cold{false};  // a file was not in the cache: the scan's thread adds workers
  alignas(64) std::atomic<OpenObserver> observer{nullptr};
  std::atomic<size_t> warmed{0};
  std::atomic<size_t> handled{0};
  std::atomic<size_t> running{0};

  bool Sampling() const { return warmStreak >= kWarmStreak; }
  // The next entry to take, past what the scan has reached already.
  size_t Next() const { return std::max(next, position.load(std::memory_order_relaxed)); }
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

// Starts the disk on where tags live, the head and the tail, and returns without waiting.
void Advise(int fd, off_t size) {
  const off_t head = std::min(size, kHeadAdvice);
  ::posix_fadvise(fd, 0, head, POSIX_FADV_WILLNEED);
  if (size > head) {
    const off_t tail = std::max(head, size - kTailAdvice);
    ::posix_fadvise(fd, tail, size - tail, POSIX_FADV_WILLNEED);
  }
}

// A file longer than the advised head may hold an ID3v2 tag past it: its header says how
// long the tag is. This read waits for the head.
void AdviseWholeTag(int fd, off_t size, char* buf) {
  if (size <= kHeadAdvice) return;
  const ssize_t n = ::pread(fd, buf, kHeadRead, 0);
  const auto* b = reinterpret_cast<const unsigned char*>(buf);
  if (n >= 10 && std::memcmp(b, "ID3", 3) == 0 && (b[6] | b[7] | b[8] | b[9]) < 0x80) {
    const off_t tagEnd = 20 + (off_t{b[6]} << 21 | off_t{b[7]} << 14 | b[8] << 7 | b[9]);
    const off_t end = std::min({tagEnd, size, kLargestTag});
    if (end > kHeadAdvice) ::posix_fadvise(fd, kHeadAdvice, end - kHeadAdvice, POSIX_FADV_WILLNEED);
  }
}

// Opens the entry for reading only once it is known to be a regular file: the first open
// gets no more than a handle on the entry itself (a link is not followed, a FIFO or device
// not opened), and the second reopens exactly what that handle looked at; without /proc
// nothing is opened. A file found in the cache is closed again; one that is not stays open
// in *fd for warming.
enum class Found { Nothing, Cached, Cold };
Found Open(Pool& p, int dirFd, const char* name, char* buf, int* fd, off_t* size) {
  *fd = -1;
  const int handle = ::openat(dirFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (handle < 0) return Found::Nothing;
  struct stat st;
  int opened = -1;
  if (::fstat(handle, &st) == 0 && S_ISREG(st.st_mode)) opened = ReopenForReading(handle);
  ::close(handle);
  if (opened < 0) return Found::Nothing;
  if (OpenObserver observe = p.observer.load()) {
    struct stat seen;
    if (::fstat(opened, &seen) == 0) observe(seen);
  }
  p.warmed.fetch_add(1, std::memory_order_relaxed);
  if (!Cached(opened, st.st_size, buf)) {
    *fd = opened;
    *size = st.st_size;
    return Found::Cold;
  }
  ::close(opened);
  return Found::Cached;
}

// Warms a few entries at once: all their reads go to the disk together, so that they come
// back together too, with one interrupt and one wake-up for many, not one for each; on a
// virtual machine those cost the scan's own thread more than the reads.
void Warm(Pool& p, int dirFd, const char (*names)[NAME_MAX + 1], size_t n, Found* found,
          char* buf) {
  int fds[kTake];
  off_t sizes[kTake];
  for (size_t i = 0; i < n; ++i) found[i] = Open(p, dirFd, names[i], buf, &fds[i], &sizes[i]);
  for (size_t i = 0; i < n; ++i)
    if (fds[i] >= 0) Advise(fds[i], sizes[i]);
  for (size_t i = 0; i < n; ++i)
    if (fds[i] >= 0) {
      AdviseWholeTag(fds[i], sizes[i], buf);
      ::close(fds[i]);
    }
}

void Work(Pool& p) {
  char buf[kHeadRead];
  char names[kTake][NAME_MAX + 1];
  Found found[kTake];
  std::shared_ptr<const Folder> folder;  // copied only when the scan's folder changes
  auto interval = kProbeInterval;
  std::unique_lock lock(p.mutex);
  for (;;) {
    const auto ready = [&] { return p.stopping || p.Next() < p.queuedTo.load(); };
    if (p.Sampling())
      p.wake.wait_for(lock, interval, ready);
    else
      p.wake.wait(lock, ready);
    if (!ready()) {
      interval = std::min<std::chrono::milliseconds>(2 * interval, kIdleInterval);
      continue;
    }
    interval = kProbeInterval;
    if (p.stopping) break;
    // A folder found warm is only sampled, one entry at a time; a cold one is taken in runs.
    const bool sampling = p.Sampling();
    size_t taken = 0;
    while (taken < (sampling ? 1 : kTake) && p.Next() < p.queuedTo.load()) {
      const size_t index = p.Next();
      p.next = index + 1;
      const std::string& slot = p.ring[index % kWindow];
      if (slot.empty() || slot.size() > NAME_MAX) continue;
      p.handled.fetch_add(1, std::memory_order_relaxed);
      if (sampling && ++p.sinceProbe < kProbeEvery) continue;
      slot.copy(names[taken], slot.size());
      names[taken][slot.size()] = '\0';
      ++taken;
    }
    if (taken == 0) continue;
    // The scan's thread wakes one worker for a new batch; each wakes the next while work is left.
    if (!sampling && p.Next() < p.queuedTo.load()) p.wake.notify_one();
    if (folder != p.folder) folder = p.folder;
    lock.unlock();
    Warm(p, folder->fd, names, taken, found, buf);
    lock.lock();
    for (size_t i = 0; i < taken; ++i) {
      if (found[i] == Found::Nothing) {
        p.sinceProbe = kProbeEvery;  // not a file: the next entry is looked at instead
      } else if (found[i] == Found::Cached) {
        p.sinceProbe = 0;
        if (p.warmStreak < kWarmStreak) ++p.warmStreak;
      } else {
        p.warmStreak = 0;
        if (sampling) p.cold.store(true, std::memory_order_relaxed);  // the scan adds workers
      }
    }
  }
  p.running.fetch_sub(1);
}

// Queues the wanted names from the scan's position to the end of the window; true when it
// queued any. A slot is overwritten only once the scan is past the entry it held. Under mutex.
bool Fill(Pool& p, const std::vector<std::string>& names) {
  bool queued = false;
  const size_t from = p.position.load(std::memory_order_relaxed);
  const size_t end = std::min(names.size(), from + kWindow);
  size_t i = std::max(p.queuedTo.load(std::memory_order_relaxed), from);
  for (; i < end; ++i) {
    std::string& slot = p.ring[i % kWindow];
    if (Wanted(names[i])) {
      slot.assign(names[i]);
      queued = true;
    } else {
      slot.clear();
    }
  }
  p.queuedTo.store(std::max(i, p.queuedTo.load(std::memory_order_relaxed)));
  return queued;
}

// Ends the read-ahead, if any, and waits for its threads. Under control.
void Stop(Pool& p) {
  {
    std::lock_guard lock(p.mutex);
    p.stopping = true;
    p.folder.reset();
    p.scan.store(nullptr);
  }
  p.wake.notify_all();
  for (std::thread& t : p.threads) t.join();
  p.threads.clear();
  std::lock_guard lock(p.mutex);
  p.stopping = false;
  std::vector<std::string>().swap(p.ring);
}

// Starts workers up to `count`; false when none runs. Under control.
bool Grow(Pool& p, size_t count) {
  while (p.threads.size() < count) {
    p.running.fetch_add(1);
    try {
      p.threads.emplace_back([&p] { Work(p); });
    } catch (...) {
      p.running.fetch_sub(1);
      break;
    }
  }
  return !p.threads.empty();
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
      p.ring.resize(kWindow);
      p.next = 0;
      p.queuedTo.store(0);  // what was queued came from the listing before
      p.warmStreak = kWarmStreak;
      p.sinceProbe = kProbeEvery;
      p.cold.store(false);
      p.folder = std::move(folder);
      p.scan.store(scan);
      Fill(p, names);
    }
    // One thread while the folder looks warm; the rest once a file is not in the cache.
    if (!Grow(p, 1)) Stop(p);
    p.wake.notify_one();
  } catch (...) {
    // Only warming is lost: the scan reads everything itself.
  }
}

void Reached(const void* scan, const std::vector<std::string>& names, size_t index) noexcept {
  Pool& p = ThePool();
  if (!scan || p.scan.load(std::memory_order_relaxed) != scan) return;
  const bool again = index < p.position.load(std::memory_order_relaxed);  // a new pass
  p.position.store(index, std::memory_order_relaxed);
  if (!again && index + kWindow < p.queuedTo.load(std::memory_order_relaxed) + kBatch &&
      !p.cold.load(std::memory_order_relaxed))
    return;
  try {
    std::unique_lock lock(p.mutex);
    if (p.scan.load() != scan || p.stopping) return;
    if (again) {
      p.next = index;
      p.queuedTo.store(index);
    }
    const bool queued = Fill(p, names), sampling = p.Sampling();
    lock.unlock();
    if (p.cold.exchange(false)) {
      std::unique_lock control(p.control, std::try_to_lock);
      if (control && p.scan.load() == scan) Grow(p, kThreads);
    }
    if (queued && !sampling) p.wake.notify_one();  // a warm folder's worker wakes by itself
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
