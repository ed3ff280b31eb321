#include "support/hostile_corpus.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <random>

namespace qtest {

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD, as the list shows a bad byte

// Words of the generator as they come: std::mt19937's sequence is fixed by the standard,
// the distributions' are not.
struct Bits {
  explicit Bits(uint32_t seed) : rng(seed) {}
  uint32_t Below(uint32_t n) { return n ? rng() % n : 0; }
  std::string Bytes(size_t n) {
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(rng() & 0xFF);
    return out;
  }
  std::mt19937 rng;
};

HostileEntry Entry(std::string name, std::string how, std::optional<Outcome> outcome,
                   std::string line = {}) {
  HostileEntry e;
  e.row = name;
  e.name = std::move(name);
  e.how = std::move(how);
  e.outcome = outcome;
  e.line = std::move(line);
  return e;
}

}  // namespace

bool CanOpen(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

UnprivilegedFileAccess::UnprivilegedFileAccess() {
  if (::geteuid() != 0) return;
  const passwd* nobody = ::getpwnam("nobody");
  const uid_t uid = nobody ? nobody->pw_uid : 65534;
  const gid_t gid = nobody ? nobody->pw_gid : 65534;
  // The file-system ids are per thread, and dropping them from 0 drops the capabilities
  // that let root pass permission checks.
  ::setfsgid(gid);
  ::setfsuid(uid);
  switched_ = true;
}

UnprivilegedFileAccess::~UnprivilegedFileAccess() {
  if (!switched_) return;
  ::setfsuid(0);
  ::setfsgid(0);
}

HostileCorpus::HostileCorpus(uint32_t seed) {
  Bits bits(seed);
  // Readable and searchable by the unprivileged user that UnprivilegedFileAccess becomes.
  ::chmod(Path().c_str(), 0755);

  // Every audio format: an intact tagged file, then the same bytes cut short and with
  // flipped bits. Whether a damaged file still reads is TagLib's to say.
  for (const AudioFormatInfo& f : AllAudioFormats()) {
    const std::string title = std::string("Title ") + f.name, artist = std::string("By ") + f.name;
    const std::string ok = std::string("ok-") + f.name + f.extension;
    WriteTaggedAudio(*this / ok, f.format, title, artist);
    Add(Entry(ok, "intact tagged file", Outcome::Line, title + " - " + artist));
    const std::string bytes = ReadBytes(*this / ok);
    const size_t n = bytes.size();
    for (size_t cut : {size_t{1}, size_t{12}, n / 4, n / 2, 3 * n / 4, n - 128, n - 1}) {
      const std::string name =
          std::string("cut-") + f.name + "-" + std::to_string(cut) + f.extension;
      WriteText(*this / name, bytes.substr(0, cut));
      Add(Entry(name, "the first " + std::to_string(cut) + " of " + std::to_string(n) + " bytes",
                std::nullopt));
    }
    for (int k = 0; k < 8; ++k) {
      std::string flipped = bytes;
      const int flips = 1 << (k % 6);
      // Half of them hit only the first bytes, where the headers and the tag are.
      const size_t span = k % 2 ? n : std::min<size_t>(n, 512);
      std::string where;
      for (int i = 0; i < flips; ++i) {
        const size_t at = bits.Below(static_cast<uint32_t>(span));
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << bits.Below(8)));
        where += " " + std::to_string(at);
      }
      const std::string name =
          std::string("flip-") + f.name + "-" + std::to_string(k) + f.extension;
      WriteText(*this / name, flipped);
      Add(Entry(name, std::to_string(flips) + " bits flipped at" + where, std::nullopt));
    }
  }

  // Bytes of no format under the names of audio files, and nothing at all.
  const char* extensions[] = {".mp3", ".mp4",  ".m4a", ".wav", ".aiff", ".aif", ".flac",
                              ".ogg", ".opus", ".swa", ".bwf", ".cdda", ".mpc", ".mod"};
  for (const char* ext : extensions) {
    const std::string empty = std::string("empty") + ext;
    WriteText(*this / empty, "");
    Add(Entry(empty, "zero-length file", Outcome::Message));
    // TagLib's Musepack and tracker readers find a stream in any bytes; only the empty
    // file says something certain there.
    if (std::string_view(ext) == ".mpc" || std::string_view(ext) == ".mod") continue;
    for (size_t size : {size_t{1024}, size_t{65536}}) {
      const std::string name = "random-" + std::to_string(size) + ext;
      WriteText(*this / name, bits.Bytes(size));
      Add(Entry(name, std::to_string(size) + " random bytes", std::nullopt));
    }
  }

  // 4 GiB of nothing, without using the disk.
  {
    const int fd = ::open((*this / "big.mp3").c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, off_t{4} << 30), 0);
    ::close(fd);
    Add(Entry("big.mp3", "sparse file of 4 GiB zeros", Outcome::Message));
  }

  // Special files: opening a FIFO or a device could block or never end.
  EXPECT_EQ(::mkfifo((*this / "pipe.mp3").c_str(), 0644), 0);
  Add(Entry("pipe.mp3", "FIFO", Outcome::Message));
  {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = *this / "socket.wav";
    EXPECT_LT(path.size(), sizeof(addr.sun_path));
    path.copy(addr.sun_path, sizeof(addr.sun_path) - 1);
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::bind(socket_, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)), 0);
    EXPECT_EQ(::listen(socket_, 1), 0);
    Add(Entry("socket.wav", "listening Unix socket", Outcome::Message));
  }
  for (const auto& [name, target] :
       {std::pair{"dev-zero.mp3", "/dev/zero"}, std::pair{"dev-urandom.flac", "/dev/urandom"},
        std::pair{"dev-null.wav", "/dev/null"}}) {
    EXPECT_EQ(::symlink(target, (*this / name).c_str()), 0);
    Add(Entry(name, std::string("symbolic link to ") + target, Outcome::Message));
  }
  ::mkdir((*this / "folder.m4a").c_str(), 0755);
  Add(Entry("folder.m4a", "folder", Outcome::Message));
  EXPECT_EQ(::symlink(".", (*this / "link-to-here").c_str()), 0);
  Add(Entry("link-to-here", "symbolic link to its own folder", Outcome::Message));
  EXPECT_EQ(::symlink("ok-Mp3.mp3", (*this / "link-to-ok.mp3").c_str()), 0);
  Add(Entry("link-to-ok.mp3", "symbolic link to a tagged file", Outcome::Line,
            "Title Mp3 - By Mp3"));

  // Links that lead nowhere: the entry counts as gone.
  EXPECT_EQ(::symlink("loop-self.mp3", (*this / "loop-self.mp3").c_str()), 0);
  EXPECT_EQ(::symlink("loop-b.ogg", (*this / "loop-a.ogg").c_str()), 0);
  EXPECT_EQ(::symlink("loop-a.ogg", (*this / "loop-b.ogg").c_str()), 0);
  EXPECT_EQ(::symlink("nowhere.wav", (*this / "dangling.wav").c_str()), 0);
  Add(Entry("loop-self.mp3", "symbolic link to itself", Outcome::Dialog));
  Add(Entry("loop-a.ogg", "symbolic link loop of two", Outcome::Dialog));
  Add(Entry("loop-b.ogg", "symbolic link loop of two", Outcome::Dialog));
  Add(Entry("dangling.wav", "symbolic link to nothing", Outcome::Dialog));

  // Unreadable: a tagged file and a folder that nobody may open.
  WriteTaggedAudio(*this / "locked.mp3", AudioFormat::Mp3, "Locked", "Away");
  ::chmod((*this / "locked.mp3").c_str(), 0);
  locked_.push_back(*this / "locked.mp3");
  HostileEntry locked = Entry("locked.mp3", "tagged file of mode 000", Outcome::Message);
  locked.unreadable = true;
  Add(locked);
  ::mkdir((*this / "locked-folder").c_str(), 0);
  locked_.push_back(*this / "locked-folder");
  Add(Entry("locked-folder", "folder of mode 000", Outcome::Message));

  // Names: a line break, bytes that are not UTF-8, the longest a name can be.
  const std::pair<std::string, std::string> names[] = {
      {"new\nline.mp3", "new\nline.mp3"},
      {"tab\tand\rreturn.wav", "tab\tand\rreturn.wav"},
      {"bad-\xFF\xFE-\xC0\xAF-\xE2\x82-\xC3.flac", "bad-" + kReplacement + kReplacement + "-" +
                                                       kReplacement + kReplacement + "-" +
                                                       kReplacement + "-" + kReplacement + ".flac"},
      {std::string(251, 'n') + ".ogg", std::string(251, 'n') + ".ogg"},
  };
  for (const auto& [name, row] : names) {
    const std::string ext = name.substr(name.rfind('.'));
    const AudioFormatInfo& f =
        *std::find_if(AllAudioFormats().begin(), AllAudioFormats().end(),
                      [&](const AudioFormatInfo& i) { return ext == i.extension; });
    WriteTaggedAudio(*this / name, f.format, "Named", f.name);
    HostileEntry e = Entry(name, "tagged file with an awkward name", Outcome::Line,
                           std::string("Named - ") + f.name);
    e.row = row;
    Add(e);
  }

  WriteTaggedAudio(*this / ".hidden.mp3", AudioFormat::Mp3, "Hidden", "Nobody");
  HostileEntry hidden = Entry(".hidden.mp3", "hidden tagged file", std::nullopt);
  hidden.visible = false;
  Add(hidden);

  std::sort(entries_.begin(), entries_.end(),
            [](const HostileEntry& a, const HostileEntry& b) { return a.name < b.name; });
}

void HostileCorpus::Add(HostileEntry entry) { entries_.push_back(std::move(entry)); }

HostileCorpus::~HostileCorpus() {
  for (const std::string& path : locked_) ::chmod(path.c_str(), 0755);
  if (socket_ >= 0) ::close(socket_);
}

}  // namespace qtest
