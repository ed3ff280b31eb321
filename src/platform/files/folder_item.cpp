#include "platform/files/folder_item.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/files/file_type.h"
#include "platform/files/read_ahead.h"

namespace rt {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Each maximal ill-formed subsequence becomes one U+FFFD, as Unicode recommends.
std::string ValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    int need = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      need = 1;
    } else if (c == 0xE0) {
      need = 2, lo = 0xA0;
    } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
      need = 2;
    } else if (c == 0xED) {
      need = 2, hi = 0x9F;  // no surrogates
    } else if (c == 0xF0) {
      need = 3, lo = 0x90;
    } else if (c >= 0xF1 && c <= 0xF3) {
      need = 3;
    } else if (c == 0xF4) {
      need = 3, hi = 0x8F;  // nothing past U+10FFFF
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    size_t j = i + 1;
    int k = 0;
    for (; k < need && j < s.size(); ++k, ++j) {
      const auto d = static_cast<unsigned char>(s[j]);
      if (d < (k == 0 ? lo : 0x80) || d > (k == 0 ? hi : 0xBF)) break;
    }
    if (k == need)
      out.append(s.substr(i, j - i));
    else
      out += kReplacement;
    i = j;
  }
  return out;
}

std::string_view LastComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  if (path == "/") return path;
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

int64_t Nanoseconds(const timespec& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

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

// A folder's names, with what identified the folder when they were read.
struct FolderItem::Listing {
  std::vector<std::string> names;
  dev_t dev = 0;
  ino_t ino = 0;
  timespec mtime{}, ctime{};
  off_t size = 0;
  nlink_t nlink = 0;
  // Set when the names were read later than a change could still share the last change's
  // timestamp. Until then a change need not show in the folder's status, so the names are
  // read again on every use (the way git treats "racily clean" entries).
  bool settled = false;

  bool Matches(const struct stat& st) const {
    return st.st_dev == dev && st.st_ino == ino && SameTime(st.st_mtim, mtime) &&
           SameTime(st.st_ctim, ctime) && st.st_size == size && st.st_nlink == nlink;
  }
};

ClassTable* FolderItem::__Lookup() {
  static ClassTable* cls = DefineClass<FolderItem>("FolderItem", nullptr);
  return cls;
}

FolderItem::FolderItem() = default;
FolderItem::~FolderItem() {
  read_ahead::Forget(this);  // read-ahead: the scan of this folder is over
}

Ref<FolderItem> FolderItem::FromPath(std::string path) {
  if (path.empty() || path.find('\0') != std::string::npos) return nullptr;
  Ref<Object> obj = RuntimeNewObject(__Lookup());
  auto* item = static_cast<FolderItem*>(obj.get());
  item->path_ = std::move(path);
  return Ref<FolderItem>(item);
}

namespace {
int64_t MonotonicNow() noexcept {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return Nanoseconds(now);
}
}  // namespace

bool FolderItem::Exists(FolderItem* self) {
  if (!self) RaiseNilObjectException();
  struct stat st;
  const bool there = ::stat(self->path_.c_str(), &st) == 0;
  self->seenAt_ = there ? MonotonicNow() : -1;
  self->seenRegular_ = there && S_ISREG(st.st_mode);
  return there;
}

bool FolderItem::RecentlySeenRegular() const noexcept {
  constexpr int64_t kFresh = 5'000'000;  // ns
  return seenRegular_ && MonotonicNow() - seenAt_ <= kFresh;
}

bool FolderItem::Visible(FolderItem* self) {
  if (!self) RaiseNilObjectException();
  std::string_view name = LastComponent(self->path_);
  return name.empty() || name.front() != '.';
}

String FolderItem::Name(FolderItem* self) {
  if (!self) RaiseNilObjectException();
  return String(ValidUtf8(LastComponent(self->path_)));
}

const FolderItem::Listing& FolderItem::CurrentListing() {
  struct stat st;
  if (::stat(path_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    listing_ = std::make_unique<Listing>();  // nothing to list
    return *listing_;
  }
  if (listing_ && listing_->settled && listing_->Matches(st)) return *listing_;

  timespec before{};
  clock_gettime(CLOCK_REALTIME, &before);
  auto fresh = std::make_unique<Listing>();
  // opendir asks for a directory, so a FIFO swapped in meanwhile fails instead of blocking.
  if (DIR* dir = ::opendir(path_.c_str())) {
    struct stat dst;
    if (::fstat(::dirfd(dir), &dst) == 0) st = dst;
    while (const dirent* e = ::readdir(dir)) {
      std::string_view n = e->d_name;
      if (n != "." && n != "..") fresh->names.emplace_back(n);
    }
    std::sort(fresh->names.begin(), fresh->names.end());
    read_ahead::Listed(this, ::dirfd(dir), fresh->names);  // read-ahead: warm what comes next
    ::closedir(dir);
  }
  fresh->dev = st.st_dev;
  fresh->ino = st.st_ino;
  fresh->mtime = st.st_mtim;
  fresh->ctime = st.st_ctim;
  fresh->size = st.st_size;
  fresh->nlink = st.st_nlink;
  const timespec& changed =
      Nanoseconds(st.st_ctim) > Nanoseconds(st.st_mtim) ? st.st_ctim : st.st_mtim;
  fresh->settled = Nanoseconds(before) > Nanoseconds(changed) + TimestampGranularity(changed);
  listing_ = std::move(fresh);
  return *listing_;
}

int32_t FolderItem::Count(FolderItem* self) {
  if (!self) RaiseNilObjectException();
  const size_t n = self->CurrentListing().names.size();
  return n > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(n);
}

Ref<FolderItem> FolderItem::Item(FolderItem* self, int32_t index) {
  if (!self) RaiseNilObjectException();
  const Listing& listing = self->CurrentListing();
  if (index < 1 || static_cast<size_t>(index) > listing.names.size()) return nullptr;
  read_ahead::Reached(self, listing.names, static_cast<size_t>(index) - 1);  // read-ahead
  std::string path = self->path_;
  if (path.back() != '/') path += '/';
  path += listing.names[static_cast<size_t>(index) - 1];
  return FromPath(std::move(path));
}

}  // namespace rt
