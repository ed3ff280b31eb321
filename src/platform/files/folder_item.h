// The framework's handle on one file-system entry.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/class_table.h"
#include "platform/core/text.h"

namespace rt {

class FolderListing;

class FolderItem : public Object {
 public:
  static ClassTable* __Lookup();
  FolderItem();
  ~FolderItem() override;

  // A new item for the path's raw bytes; nil for an empty path or one holding a NUL byte.
  static Ref<FolderItem> FromPath(std::string path);

  // False only when the entry is really gone: nothing by that name, a folder on the way that
  // is no folder any more, a broken link or a link loop (links are followed). An entry that
  // is there but cannot be looked at (permission, I/O) exists.
  static bool Exists(FolderItem* self);
  // False when the name starts with a dot.
  static bool Visible(FolderItem* self);
  // The last path component as UTF-8; bytes that are not UTF-8 show as U+FFFD.
  static String Name(FolderItem* self);
  // Entries of the folder, "." and ".." left out; 0 for a file or a folder that cannot be
  // listed. Each call brings the listing up to date (within a bounded re-reading cost) and
  // that listing answers Item until the next Count.
  static int32_t Count(FolderItem* self);
  // The entry at a 1-based index in byte order of the names, from the listing of the last
  // Count; nil outside 1..Count. Entries are reached through the folder's open descriptor.
  static Ref<FolderItem> Item(FolderItem* self, int32_t index);

  // The path as the file system knows it (raw bytes, not necessarily UTF-8).
  const std::string& NativePath() const noexcept { return path_; }

  // A descriptor open for reading on the regular file this item names, or -1 for anything
  // else or a file that cannot be opened; size is its length. The entry is looked at without
  // being opened and only that same file is then opened, so a FIFO or device swapped in at
  // any moment is never opened.
  int OpenRegularFile(int64_t& size) const;

  // How many times a folder's names have been read, by every item of the process.
  static int64_t ListingReads() noexcept;

 private:
  class Place;
  void Locate(Place& place) const;
  FolderListing* OpenFolder();
  // Brings the folder's names up to date; a new listing tells the read-ahead what comes next.
  void Refresh(FolderListing& folder);
  std::string path_;
  std::shared_ptr<FolderListing> parent_;  // the folder this entry was listed from
  std::shared_ptr<FolderListing> folder_;  // this item's own folder, once it could be opened
};

}  // namespace rt
