#include "platform/files/folder_item.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/files/folder_listing.h"
#include "platform/files/read_ahead.h"
#include "platform/files/reopen.h"

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

}  // namespace


// Where an item is, for the *at system calls: its folder's descriptor and its name there
// for an entry of a listed folder; otherwise its path, which when longer than the system
// takes in one call is walked a piece at a time.
class FolderItem::Place {
 public:
  int at = AT_FDCWD;
  const char* name = nullptr;
  int error = 0;  // set when the path could not be walked; at and name are then of no use

  Place() = default;
  Place(const Place&) = delete;
  Place& operator=(const Place&) = delete;
  ~Place() {
    if (owned_ >= 0) ::close(owned_);
  }

  void Walk(const std::string& path) {
    size_t off = 0;
    while (path.size() - off >= PATH_MAX) {
      const size_t slash = path.rfind('/', off + PATH_MAX - 2);
      if (slash == std::string::npos || slash < off) {
        error = ENAMETOOLONG;
        return;
      }
      const std::string piece = path.substr(off, slash - off + 1);
      const int next = ::openat(at, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      if (next < 0) {
        error = errno;
        return;
      }
      if (owned_ >= 0) ::close(owned_);
      at = owned_ = next;
      off = slash + 1;
      while (path[off] == '/') ++off;  // "a//b": the next piece must not start at the root
    }
    name = path[off] ? path.c_str() + off : ".";
  }

 private:
  int owned_ = -1;
};

namespace {

// Errors that mean nothing is there, as against something there that cannot be looked at.
bool MeansGone(int error) { return error == ENOENT || error == ENOTDIR || error == ELOOP; }

}  // namespace

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

void FolderItem::Locate(Place& place) const {
  if (parent_) {
    place.at = parent_->Descriptor();
    place.name = path_.c_str() + path_.rfind('/') + 1;
  } else {
    place.Walk(path_);
  }
}

bool FolderItem::Exists(FolderItem* self) {
  if (CallLogActive()) LogCall("FolderItem.Exists");
  if (!self) RaiseNilObjectException();
  Place place;
  self->Locate(place);
  struct stat st;
  int error = place.error;
  if (!error && ::fstatat(place.at, place.name, &st, 0) != 0) error = errno;
  return !error || !MeansGone(error);
}

int FolderItem::OpenRegularFile(int64_t& size) const {
  Place place;
  Locate(place);
  if (place.error) return -1;
  // O_PATH looks up the entry without opening the file itself: a FIFO is not opened, a
  // device not touched.
  const int look = ::openat(place.at, place.name, O_PATH | O_CLOEXEC);
  if (look < 0) return -1;
  struct stat st;
  int fd = -1;
  if (::fstat(look, &st) == 0 && S_ISREG(st.st_mode)) {
    // Without /proc, open the name and keep it only if it is that file.
    fd = ReopenForReading(look);
    if (fd < 0 && errno == ENOENT) {
      fd = ::openat(place.at, place.name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      struct stat opened;
      if (fd >= 0 && (::fstat(fd, &opened) != 0 || opened.st_dev != st.st_dev ||
                      opened.st_ino != st.st_ino)) {
        ::close(fd);
        fd = -1;
      }
    }
    size = st.st_size;
  }
  ::close(look);
  return fd;
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

int64_t FolderItem::ListingReads() noexcept { return FolderListing::Reads(); }

// The folder's descriptor is opened once and kept: a folder renamed or moved during a scan
// is still the one listed, and its entries are found in it, however long its path.
FolderListing* FolderItem::OpenFolder() {
  if (folder_) return folder_.get();
  Place place;
  Locate(place);
  if (place.error) return nullptr;
  // O_DIRECTORY: a FIFO swapped in fails instead of blocking the open.
  const int fd = ::openat(place.at, place.name, O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return nullptr;
  }
  folder_ = std::make_shared<FolderListing>(dir);
  return folder_.get();
}

void FolderItem::Refresh(FolderListing& folder) {
  // read-ahead: a new listing tells it what comes next
  if (folder.Refresh()) read_ahead::Listed(this, folder.Descriptor(), folder.Names());
}

int32_t FolderItem::Count(FolderItem* self) {
  if (CallLogActive()) LogCall("FolderItem.Count");
  if (!self) RaiseNilObjectException();
  FolderListing* folder = self->OpenFolder();
  if (!folder) return 0;
  self->Refresh(*folder);
  const size_t n = folder->Names().size();
  return n > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(n);
}

Ref<FolderItem> FolderItem::Item(FolderItem* self, int32_t index) {
  if (CallLogActive()) LogCall("FolderItem.Item " + std::to_string(index));
  if (!self) RaiseNilObjectException();
  if (MaybeGiveNil("FolderItem.Item")) return nullptr;
  FolderListing* folder = self->OpenFolder();
  if (!folder) return nullptr;
  if (!folder->HasBeenRead()) self->Refresh(*folder);
  const std::vector<std::string>& names = folder->Names();
  if (index < 1 || static_cast<size_t>(index) > names.size()) return nullptr;
  read_ahead::Reached(self, names, static_cast<size_t>(index) - 1);  // read-ahead
  std::string path = self->path_;
  if (path.back() != '/') path += '/';
  path += names[static_cast<size_t>(index) - 1];
  Ref<FolderItem> entry = FromPath(std::move(path));
  entry->parent_ = self->folder_;
  return entry;
}

}  // namespace rt
