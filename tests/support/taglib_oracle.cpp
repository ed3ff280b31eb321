#include "support/taglib_oracle.h"

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/infotag.h>
#include <taglib/mp4atom.h>
#include <taglib/mp4file.h>
#include <taglib/tag.h>
#include <taglib/tfilestream.h>
#include <taglib/wavfile.h>

namespace qtest {

namespace {

// A file stream without a name, so that TagLib can only go by the content.
struct NamelessStream final : TagLib::FileStream {
  using FileStream::FileStream;
  TagLib::FileName name() const override { return ""; }
};

// TagLib's own atom tree: a track whose media handler is "soun".
bool HasSoundTrack(TagLib::MP4::File& file) {
  TagLib::MP4::Atoms atoms(&file);
  TagLib::MP4::Atom* moov = atoms.find("moov");
  if (!moov) return false;
  for (TagLib::MP4::Atom* trak : moov->findall("trak")) {
    TagLib::MP4::Atom* hdlr = trak->find("mdia", "hdlr");
    if (!hdlr) continue;
    file.seek(hdlr->offset);
    if (file.readBlock(hdlr->length).containsAt("soun", 16)) return true;
  }
  return false;
}

std::optional<std::string> Line(TagLib::IOStream& stream) {
  TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
  if (ref.isNull() || !ref.tag()) return std::nullopt;
  const TagLib::AudioProperties* p = ref.audioProperties();
  auto* mp4 = dynamic_cast<TagLib::MP4::File*>(ref.file());
  if (!(p && (p->sampleRate() > 0 || p->channels() > 0)) && !(mp4 && HasSoundTrack(*mp4)))
    return std::nullopt;
  TagLib::String title = ref.tag()->title(), artist = ref.tag()->artist();
  if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(ref.file())) {
    if (title.isEmpty()) title = wav->InfoTag()->title();
    if (artist.isEmpty()) artist = wav->InfoTag()->artist();
  }
  return title.to8Bit(true) + " - " + artist.to8Bit(true);
}

}  // namespace

std::optional<std::string> TagLibLine(const std::string& path) {
  TagLib::FileStream named(path.c_str(), true);
  if (!named.isOpen()) return std::nullopt;
  if (std::optional<std::string> line = Line(named)) return line;
  NamelessStream nameless(path.c_str(), true);
  return Line(nameless);
}

}  // namespace qtest
