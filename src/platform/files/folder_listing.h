// An open folder and its names, read again when the folder changes, at a bounded cost.
#pragma once

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

class FolderListing {
 public:
  // Takes over an open folder stream.
  explicit FolderListing(DIR* dir) noexcept;
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  // The folder's descriptor, which its entries are reached through.
  int Descriptor() const noexcept { return ::dirfd(dir_); }

  // Reads the names again when the folder may have changed since they were last read, unless
  // re-reading has lately taken more than its share of the time: then the names already read
  // stand a little longer. The first call always reads. True when the names were read.
  bool Refresh();
  bool HasBeenRead() const noexcept { return read_; }
  // In byte order; "." and ".." left out.
  const std::vector<std::string>& Names() const noexcept { return names_; }

  // How many times names have been read, by every listing of the process.
  static int64_t Reads() noexcept;

 private:
  bool UpToDate(const struct stat& st) const;
  // False when reading failed part way and the last whole listing stands.
  bool ReadNames(const struct stat& st);

  DIR* dir_;
  std::vector<std::string> names_;
  bool read_ = false;
  struct stat stamp_ {};  // the folder's status just before the names were read
  int64_t readAt_ = 0;    // when that read began, real time in ns
  int64_t budget_;        // time that re-reading may still take, ns
  int64_t budgetAt_;      // when the budget was last brought up to date, monotonic ns
};

}  // namespace rt
