#include "platform/files/folder_listing.h"

#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace rt {

namespace {

// Re-reading may take an eighth of the time: each read is charged eight times what it took
// (a quarter millisecond's worth at least, which bounds the reads of a small folder to 500 a
// second) against a budget that fills with the clock up to 100 ms: enough for a few reads in
// a row of a big folder, fifty of a small one, before a folder that never stops changing has
// to wait.
constexpr int64_t kCharge = 8;
constexpr int64_t kLeastCost = 250'000;
constexpr int64_t kBudget = 100'000'000;

std::atomic<int64_t> reads{0};

int64_t Nanoseconds(const timespec& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

int64_t Now(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return Nanoseconds(t);
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// How far apart two changes of the folder may lie and still get the same timestamp: the
// kernel stamps with its coarse clock, and a file system may keep only whole seconds (FAT:
// two), hundredths or microseconds, which shows in the trailing zeros of the nanoseconds.
int64_t TimestampGranularity(const timespec& stamp) {
  static const int64_t tick = [] {
    timespec res{};
    clock_getres(CLOCK_REALTIME_COARSE, &res);
    return std::max<int64_t>(Nanoseconds(res), 1'000'000);
  }();
  int64_t unit = 1;
  while (unit < 1'000'000'000 && stamp.tv_nsec % (unit * 10) == 0) unit *= 10;
  return 2 * std::max(tick, unit);
}

}  // namespace

FolderListing::FolderListing(DIR* dir) noexcept
    : dir_(dir), budget_(kBudget), budgetAt_(Now(CLOCK_MONOTONIC)) {}

FolderListing::~FolderListing() { ::closedir(dir_); }

int64_t FolderListing::Reads() noexcept { return reads.load(std::memory_order_relaxed); }

// Every change of the folder stamps its modification time with the clock of that moment. The
// names are current while the status is the one they were read under, unless a change could
// have come after the read with the very same stamp: as long as the stamp is not clearly
// before the read ("racily clean", as git calls it). A stamp ahead of the clock (a folder
// copied from a machine whose clock runs ahead, FAT media from a time zone east of UTC) is
// as safe: a change now would be stamped earlier than it.
bool FolderListing::UpToDate(const struct stat& st) const {
  if (st.st_dev != stamp_.st_dev || st.st_ino != stamp_.st_ino ||
      !SameTime(st.st_mtim, stamp_.st_mtim) || !SameTime(st.st_ctim, stamp_.st_ctim) ||
      st.st_size != stamp_.st_size || st.st_nlink != stamp_.st_nlink)
    return false;
  const int64_t modified = Nanoseconds(st.st_mtim);
  const int64_t granularity = TimestampGranularity(st.st_mtim);
  return modified + granularity < readAt_ || modified > Now(CLOCK_REALTIME) + granularity;
}

bool FolderListing::Refresh() {
  struct stat st;
  if (::fstat(Descriptor(), &st) != 0) return false;  // keep what was read
  if (read_ && UpToDate(st)) return false;
  const int64_t start = Now(CLOCK_MONOTONIC);
  budget_ = std::min(kBudget, budget_ + (start - budgetAt_));
  budgetAt_ = start;
  if (read_ && budget_ <= 0) return false;
  const bool read = ReadNames(st);
  budgetAt_ = Now(CLOCK_MONOTONIC);
  budget_ -= kCharge * std::max(budgetAt_ - start, kLeastCost);
  return read;
}

bool FolderListing::ReadNames(const struct stat& st) {
  const int64_t startedAt = Now(CLOCK_REALTIME);
  std::vector<std::string> names;
  names.reserve(names_.size());
  ::rewinddir(dir_);
  errno = 0;
  while (const dirent* e = ::readdir(dir_)) {
    std::string_view n = e->d_name;
    if (n != "." && n != "..") names.emplace_back(n);
    errno = 0;
  }
  reads.fetch_add(1, std::memory_order_relaxed);
  read_ = true;
  if (errno == ENOENT) {
    names.clear();  // the folder was removed: nothing is in it any more
  } else if (errno != 0) {
    stamp_ = {};  // failed part way: keep the last whole listing, try again later
    return false;
  }
  std::sort(names.begin(), names.end());
  names_ = std::move(names);
  stamp_ = st;
  readAt_ = startedAt;
  return true;
}

}  // namespace rt
