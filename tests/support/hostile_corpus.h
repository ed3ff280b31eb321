// A folder of hostile entries for the folder scan: damaged and fake audio files, special
// files, links that lead nowhere or to devices, an unreadable file, awkward names. Every
// entry says how it was made and, where that alone decides it, what reading it must give.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/audio_fixtures.h"

namespace qtest {

// What the tag reading does with one visible entry.
enum class Outcome {
  Line,     // appends "title - artist" and an end of line
  Message,  // shows "Failed to read file."
  Dialog,   // the entry counts as gone: the open-file dialog is shown
};

struct HostileEntry {
  std::string name;  // as the file system holds it: raw bytes
  std::string row;   // as the list shows it (UTF-8)
  std::string how;   // how it was made, for failure messages
  bool visible = true;
  // Set when the way the entry was made decides the outcome; unset for damaged or random
  // bytes under an audio extension, which only TagLib can judge (TagLibLine).
  std::optional<Outcome> outcome;
  std::string line;  // for Outcome::Line
  // Its outcome holds only while the file really cannot be opened (see CanOpen).
  bool unreadable = false;
};

class HostileCorpus {
 public:
  // Builds the corpus; the same seed gives the same bytes.
  explicit HostileCorpus(uint32_t seed = 1107);
  // Undoes the locks, closes the socket and removes everything.
  ~HostileCorpus();
  HostileCorpus(const HostileCorpus&) = delete;
  HostileCorpus& operator=(const HostileCorpus&) = delete;

  const std::string& Path() const noexcept { return dir_.Path(); }
  std::string operator/(const std::string& name) const { return dir_ / name; }
  // Every entry, in the folder's order: byte order of the names.
  const std::vector<HostileEntry>& Entries() const noexcept { return entries_; }

 private:
  void Add(HostileEntry entry);
  ScratchFolder dir_;
  std::vector<HostileEntry> entries_;
  std::vector<std::string> locked_;
  int socket_ = -1;
};

// True when this thread can open path for reading right now.
bool CanOpen(const std::string& path);

// Makes this thread's file access that of an unprivileged user while it lives, when the
// process runs as root (root opens any file, whatever its mode). Other threads keep theirs.
class UnprivilegedFileAccess {
 public:
  UnprivilegedFileAccess();
  ~UnprivilegedFileAccess();
  UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
  UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

 private:
  bool switched_ = false;
};

}  // namespace qtest
