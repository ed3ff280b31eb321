// The framework's handle on one file-system entry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

class FolderItem : public Object {
 public:
  static ClassTable* __Lookup();
  FolderItem();
  ~FolderItem() override;

  // A new item for the path's raw bytes; nil for an empty path or one holding a NUL byte.
  static Ref<FolderItem> FromPath(std::string path);

  // True while something is there, following symbolic links: a broken link does not exist.
  static bool Exists(FolderItem* self);
  // False when the name starts with a dot.
  static bool Visible(FolderItem* self);
  // The last path component as UTF-8; bytes that are not UTF-8 show as U+FFFD.
  static String Name(FolderItem* self);
  // Entries of the folder, "." and ".." left out; 0 for a file or an unreadable folder.
  // Read again whenever the folder has changed.
  static int32_t Count(FolderItem* self);
  // The entry at a 1-based index in byte order of the names; nil outside 1..Count.
  static Ref<FolderItem> Item(FolderItem* self, int32_t index);

  // The path as the file system knows it (raw bytes, not necessarily UTF-8).
  const std::string& NativePath() const noexcept { return path_; }

  // True when the last Exists, at most a few milliseconds ago, found a regular file there.
  // Spares a reader that opens the file right after that question a second look.
  bool RecentlySeenRegular() const noexcept;

 private:
  struct Listing;
  const Listing& CurrentListing();
  std::string path_;
  std::unique_ptr<Listing> listing_;  // the folder's sorted names, while still current
  int64_t seenAt_ = -1;               // when Exists last found something, monotonic ns
  bool seenRegular_ = false;
};

}  // namespace rt
