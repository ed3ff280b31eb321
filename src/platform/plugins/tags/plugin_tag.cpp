// The tag plugin: TagLib behind TagLibFileRefExt and TagLibTagExt. Whatever a folder holds,
// it neither blocks nor crashes: only regular files are opened, TagLib reads them through a
// bounded stream, structures TagLib would recurse into without end are refused first, and a
// file without audio has no tag.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <taglib/apetag.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/trueaudiofile.h>
#include <taglib/wavfile.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/core/plugin_registry.h"
#include "platform/plugins/tags/descriptor_stream.h"
#include "platform/plugins/tags/nesting_guard.h"
#include "platform/plugins/tags/tag_plugin.h"

namespace rt {

namespace {

struct OpenedFile final : TagPluginData {
  std::unique_ptr<DescriptorStream> stream;
  std::unique_ptr<TagLib::FileRef> ref;  // reads from stream: goes first
  ~OpenedFile() override { ref.reset(); }
};

struct TagCopy final : TagPluginData {
  String title, artist;
};

String Utf8(const TagLib::String& s) { return String(s.to8Bit(true)); }

// A descriptor on the regular file, or -1; length is its size. Never opens anything else,
// race or not: the entry opens only the very file it has looked at.
int OpenRegularFile(const FolderItem& file, long& length) {
  int64_t size = 0;
  const int fd = file.OpenRegularFile(size);
  if (fd >= 0) length = static_cast<long>(size);
  return fd;
}

// TagLib takes many files that merely carry the right extension; audio is what tells a real
// one. An MP4 track of sound counts even when TagLib does not decode its codec (Opus, FLAC or
// AC-3 in MP4 give no sample rate).
bool HasAudio(const TagLib::FileRef& ref, const Mp4Layout& mp4) {
  if (ref.isNull() || !ref.tag()) return false;
  const TagLib::AudioProperties* p = ref.audioProperties();
  // An MP3 read without its properties: TagLib would give them as soon as it finds a frame.
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file()); mpeg && !p)
    return mpeg->firstFrameOffset() >= 0;
  if (p && (p->sampleRate() > 0 || p->channels() > 0)) return true;
  return mp4.soundTrack && dynamic_cast<TagLib::MP4::File*>(ref.file());
}

// Whether TagLib takes the file for MPEG by its name, as it does first.
bool NamedMp3(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot && strcasecmp(dot, ".mp3") == 0;
}

std::unique_ptr<TagLib::FileRef> Read(DescriptorStream& stream) {
  // TagLib's MPEG reader times the stream by searching back from its end for the last frame,
  // byte by byte: most of what a scan of MP3s spends in TagLib. Only the tag is wanted here,
  // and whether there is audio at all, which the first frame tells.
  if (NamedMp3(stream.name()))
    return std::make_unique<TagLib::FileRef>(
        new TagLib::MPEG::File(&stream, TagLib::ID3v2::FrameFactory::instance(), false));
  return std::make_unique<TagLib::FileRef>(&stream, true, TagLib::AudioProperties::Average);
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
  DescriptorStream& stream = *opened->stream;
  const Mp4Layout mp4 = WalkMp4Atoms(stream);
  if (!mp4.sane) return;
  opened->ref = Read(stream);
  bool audio = HasAudio(*opened->ref, mp4);  // for an MP3, a search: asked once
  // The extension's reader found no audio: TagLib's detection by content gets its turn (an
  // M4A named .mp3), with what is left of the stream's bounds.
  if (!audio && !stream.Refused() && stream.ForgetExtension()) {
    opened->ref.reset();
    opened->ref = Read(stream);
    audio = HasAudio(*opened->ref, mp4);
  }
  if (stream.Refused() || !audio) return;
  self->data = std::move(opened);
}

// Empty fields filled from the tag most tools write where TagLib 1.13 reads another: RIFF
// INFO in a WAV (TagLib gives its ID3v2 tag), APEv2 at the end of a TrueAudio file (TagLib
// reads only ID3 there).
void FillIn(TagLib::File& file, TagLib::String& title, TagLib::String& artist) {
  if (!title.isEmpty() && !artist.isEmpty()) return;
  auto fill = [&](const TagLib::Tag& tag) {
    if (title.isEmpty()) title = tag.title();
    if (artist.isEmpty()) artist = tag.artist();
  };
  if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(&file)) {
    fill(*wav->InfoTag());
  } else if (auto* tta = dynamic_cast<TagLib::TrueAudio::File*>(&file)) {
    const long footer = tta->length() - (tta->hasID3v1Tag() ? 128 : 0) - 32;
    if (footer < 0) return;
    tta->seek(footer);
    if (tta->readBlock(8) == "APETAGEX") fill(TagLib::APE::Tag(tta, footer));
  }
}

Ref<TagLibTagExt> Tags(TagLibFileRefExt* self) {
  auto* opened = static_cast<OpenedFile*>(self->data.get());
  if (!opened) return nullptr;
  const TagLib::Tag* tag = opened->ref->tag();
  if (!tag) return nullptr;
  auto copy = std::make_unique<TagCopy>();
  TagLib::String title = tag->title(), artist = tag->artist();
  FillIn(*opened->ref->file(), title, artist);
  copy->title = Utf8(title);
  copy->artist = Utf8(artist);
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
