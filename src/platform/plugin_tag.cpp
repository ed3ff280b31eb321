// The tag plugin: TagLib behind TagLibFileRefExt and TagLibTagExt. The only file that sees
// TagLib. Whatever a folder holds, it neither blocks nor crashes: only regular files are
// opened, and a file without an audio stream has no tag.
#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tfilestream.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/plugins.h"
#include "platform/tag_plugin.h"

namespace rt {

namespace {

// A stream over a descriptor opened here, still named after the file so that TagLib picks
// the format by its extension first.
//
// TagLib looks for frames, pages and tags by reading in small blocks, so a big file that
// holds none (4 GB of zeros named .mp3) would be read to its end, for minutes. What it may
// read is bounded: small blocks up to kScanBudget in all, larger ones (tags, pictures) up to
// kContentBudget. Past either the file reads as ended, and TagLib gives up.
class DescriptorStream final : public TagLib::FileStream {
 public:
  static constexpr unsigned long kSmallRead = 4096;
  static constexpr unsigned long kScanBudget = 2ul << 20;
  static constexpr unsigned long kContentBudget = 128ul << 20;

  DescriptorStream(int fd, std::string path, off_t size)
      : FileStream(fd, true), path_(std::move(path)), size_(size) {}
  TagLib::FileName name() const override { return path_.c_str(); }

  TagLib::ByteVector readBlock(unsigned long length) override {
    if (spent_ || length == 0) return {};
    const long at = tell();
    const unsigned long left = at >= 0 && at < size_ ? static_cast<unsigned long>(size_ - at) : 0;
    const unsigned long n = std::min(length, left);
    unsigned long& budget = n <= kSmallRead ? scanLeft_ : contentLeft_;
    if (n > budget) {
      spent_ = true;
      return {};
    }
    budget -= n;
    return FileStream::readBlock(length);
  }
  // Once spent, TagLib's backward searches still step through the file: make that free.
  void seek(long offset, Position p = Beginning) override {
    if (!spent_) FileStream::seek(offset, p);
  }

 private:
  std::string path_;
  off_t size_;
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

// A descriptor on the regular file at path, or -1; size is what it holds. Never opens
// anything else: stat first, then open without blocking (a FIFO swapped in meanwhile would
// otherwise hang the open), then check what was really opened.
int OpenRegularFile(const std::string& path, off_t& size) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  size = st.st_size;
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
  off_t size = 0;
  const int fd = OpenRegularFile(file->NativePath(), size);
  if (fd < 0) return;
  // Nothing to read; TagLib's Musepack and tracker readers would still report a stream.
  if (size == 0) {
    ::close(fd);
    return;
  }
  auto opened = std::make_unique<OpenedFile>();
  opened->stream = std::make_unique<DescriptorStream>(fd, file->NativePath(), size);
  if (!opened->stream->isOpen()) {
    ::close(fd);  // the stream did not take it over
    return;
  }
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
