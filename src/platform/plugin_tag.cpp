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

#include <string>

#include "platform/plugins.h"
#include "platform/tag_plugin.h"

namespace rt {

namespace {

// A stream over a descriptor opened here, still named after the file so that TagLib picks
// the format by its extension first.
class DescriptorStream final : public TagLib::FileStream {
 public:
  DescriptorStream(int fd, std::string path) : FileStream(fd, true), path_(std::move(path)) {}
  TagLib::FileName name() const override { return path_.c_str(); }

 private:
  std::string path_;
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

// A descriptor on the regular file at path, or -1. Never opens anything else: stat first,
// then open without blocking (a FIFO swapped in meanwhile would otherwise hang the open),
// then check what was really opened.
int OpenRegularFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
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
  const int fd = OpenRegularFile(file->NativePath());
  if (fd < 0) return;
  auto opened = std::make_unique<OpenedFile>();
  opened->stream = std::make_unique<DescriptorStream>(fd, file->NativePath());
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
