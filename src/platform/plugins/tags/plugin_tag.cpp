// The tag plugin: TagLib behind TagLibFileRefExt and TagLibTagExt. The only file that sees
// TagLib. Whatever a folder holds, it neither blocks nor crashes: only regular files are
// opened, and a file without an audio stream has no tag.
#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tiostream.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include "platform/core/plugin_registry.h"
#include "platform/plugins/tags/tag_plugin.h"

namespace rt {

namespace {

// A read-only stream over a descriptor opened here, still named after the file so that
// TagLib picks the format by its extension first. TagLib seeks and reads in small steps all
// over a file's head and tail; this stream keeps its position itself and serves those reads
// from two cached chunks, so a small file costs one read and no seek at all.
//
// TagLib looks for frames, pages and tags by reading in small blocks, so a big file that
// holds none (4 GB of zeros named .mp3) would be read to its end, for minutes. What it may
// read is bounded: small blocks up to kScanBudget in all, larger ones (tags, pictures) up to
// kContentBudget. Past either the file reads as ended, and TagLib gives up.
class DescriptorStream final : public TagLib::IOStream {
 public:
  static constexpr unsigned long kSmallRead = 4096;
  static constexpr unsigned long kScanBudget = 2ul << 20;
  static constexpr unsigned long kContentBudget = 128ul << 20;

  DescriptorStream(int fd, std::string path, long length)
      : fd_(fd), path_(std::move(path)), length_(length) {}
  ~DescriptorStream() override { ::close(fd_); }

  TagLib::FileName name() const override { return path_.c_str(); }
  bool readOnly() const override { return true; }
  bool isOpen() const override { return true; }
  long tell() const override { return position_; }
  long length() override { return length_; }
  void writeBlock(const TagLib::ByteVector&) override {}
  void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
  void removeBlock(unsigned long, unsigned long) override {}
  void truncate(long) override {}

  void seek(long offset, Position p) override {
    const long base = p == Beginning ? 0 : p == Current ? position_ : length_;
    long to = 0;
    if (__builtin_add_overflow(base, offset, &to) || to < 0) return;  // as a failed fseek
    position_ = to;
  }

  TagLib::ByteVector readBlock(unsigned long length) override {
    if (spent_ || length == 0 || position_ >= length_) return {};
    // As TagLib's own stream: a large request is cut to the file's length, and to what a
    // ByteVector can hold.
    length = std::min({length, static_cast<unsigned long>(length_ - position_),
                       static_cast<unsigned long>(std::numeric_limits<unsigned int>::max())});
    unsigned long& budget = length <= kSmallRead ? scanLeft_ : contentLeft_;
    if (length > budget) {
      spent_ = true;
      return {};
    }
    budget -= length;
    TagLib::ByteVector out(static_cast<unsigned int>(length));
    size_t got = 0;
    if (length >= kChunk) {
      got = ReadAt(position_, out.data(), length);
    } else {
      while (got < length) {
        const Chunk& c = ChunkAt(position_ + static_cast<long>(got));
        const size_t at = static_cast<size_t>(position_ + static_cast<long>(got) - c.start);
        if (at >= c.data.size()) break;  // the file ended early
        const size_t n = std::min(length - got, c.data.size() - at);
        std::memcpy(out.data() + got, c.data.data() + at, n);
        got += n;
      }
    }
    out.resize(static_cast<unsigned int>(got));
    position_ += static_cast<long>(got);
    return out;
  }

 private:
  static constexpr unsigned long kChunk = 64 * 1024;
  struct Chunk {
    long start = -1;
    std::string data;
  };

  size_t ReadAt(long offset, char* to, size_t n) {
    size_t got = 0;
    while (got < n) {
      const ssize_t r = ::pread(fd_, to + got, n - got, offset + static_cast<long>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      got += static_cast<size_t>(r);
    }
    return got;
  }

  // The chunk holding offset, read when neither cached one does; the other stays.
  const Chunk& ChunkAt(long offset) {
    const long start = offset - offset % static_cast<long>(kChunk);
    for (Chunk& c : chunks_)
      if (c.start == start) return c;
    Chunk& c = chunks_[next_];
    next_ ^= 1;
    c.start = start;
    c.data.resize(static_cast<size_t>(std::min<long>(static_cast<long>(kChunk), length_ - start)));
    c.data.resize(ReadAt(start, c.data.data(), c.data.size()));
    return c;
  }

  int fd_;
  std::string path_;
  long length_;
  long position_ = 0;
  Chunk chunks_[2];
  int next_ = 0;
  unsigned long scanLeft_ = kScanBudget, contentLeft_ = kContentBudget;
  bool spent_ = false;
};

struct OpenedFile final : TagPluginData {
  std::unique_ptr<DescriptorStream> stream;
  std::unique_ptr<TagLib::FileRef> ref;  // reads from stream: goes first
  ~OpenedFile() override { ref.reset(); }
};

struct TagCopy final : TagPluginData {
  String title, artist;
};

String Utf8(const TagLib::String& s) { return String(s.to8Bit(true)); }

// A descriptor on the regular file, or -1; length is its size. Never opens anything else:
// look first (or take the look the tag reading has just had), then open without blocking (a
// FIFO swapped in meanwhile would otherwise hang the open), then check what was really
// opened.
int OpenRegularFile(const FolderItem& file, long& length) {
  int64_t size = 0;
  const int fd = file.OpenRegularFile(size);
  if (fd >= 0) length = static_cast<long>(size);
  return fd;
}

// TagLib takes many files that merely carry the right extension; an audio stream is what
// tells a real one.
bool HasAudioStream(const TagLib::FileRef& ref) {
  const TagLib::AudioProperties* p = ref.audioProperties();
  return p && (p->sampleRate() > 0 || p->channels() > 0);
}

void Constructor(TagLibFileRefExt* self, FolderItem* file) {
  self->data.reset();  // a second construction closes the first file
  if (!file) return;
  long length = 0;
  const int fd = OpenRegularFile(*file, length);
  if (fd < 0) return;
  // Nothing to read; TagLib's Musepack and tracker readers would still report a stream.
  if (length == 0) {
    ::close(fd);
    return;
  }
  auto opened = std::make_unique<OpenedFile>();
  opened->stream = std::make_unique<DescriptorStream>(fd, file->NativePath(), length);
  opened->ref = std::make_unique<TagLib::FileRef>(opened->stream.get(), true,
                                                  TagLib::AudioProperties::Average);
  if (opened->ref->isNull() || !opened->ref->tag() || !HasAudioStream(*opened->ref)) return;
  self->data = std::move(opened);
}

Ref<TagLibTagExt> Tags(TagLibFileRefExt* self) {
  auto* opened = static_cast<OpenedFile*>(self->data.get());
  if (!opened) return nullptr;
  const TagLib::Tag* tag = opened->ref->tag();
  if (!tag) return nullptr;
  auto copy = std::make_unique<TagCopy>();
  copy->title = Utf8(tag->title());
  copy->artist = Utf8(tag->artist());
  Ref<Object> obj = RuntimeNewObject(TagLibTagExt::__Lookup());
  auto* result = static_cast<TagLibTagExt*>(obj.get());
  result->data = std::move(copy);
  return Ref<TagLibTagExt>(result);
}

String Title(TagLibTagExt* self) {
  auto* copy = static_cast<TagCopy*>(self->data.get());
  return copy ? copy->title : String();
}

String Artist(TagLibTagExt* self) {
  auto* copy = static_cast<TagCopy*>(self->data.get());
  return copy ? copy->artist : String();
}

}  // namespace

PluginLibrary TagPluginLibrary() {
  return {"Ext_Tools_LibTag_Plugin_19503.dylib",
          {
              {"TagLibFileRefExt.Constructor(file as folderitem)", EraseFn(&Constructor)},
              {"TagLibFileRefExt.tags.Get", EraseFn(&Tags)},
              {"TagLibTagExt.Title.Get", EraseFn(&Title)},
              {"TagLibTagExt.Artist.Get", EraseFn(&Artist)},
          }};
}

}  // namespace rt
