// Small real audio files built byte by byte (silence, a tenth of a second or so), tagged
// with TagLib; and a scratch folder that cleans up after itself.
#pragma once

#include <string>
#include <vector>

namespace qtest {

enum class AudioFormat { Wav, Aiff, Mp3, Flac, OggVorbis, Opus, M4a };

struct AudioFormatInfo {
  AudioFormat format;
  const char* name;
  const char* extension;  // with its dot
};
const std::vector<AudioFormatInfo>& AllAudioFormats();

// Writes an untagged file of the format; the bytes are a valid stream TagLib reads.
void WriteAudio(const std::string& path, AudioFormat format);
// Sets the file's title and artist through TagLib; fails the test when TagLib cannot.
void WriteTag(const std::string& path, const std::string& title, const std::string& artist);
// Both: an audio file of the format carrying the tag.
void WriteTaggedAudio(const std::string& path, AudioFormat format, const std::string& title,
                      const std::string& artist);

void WriteText(const std::string& path, const std::string& text);
// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const noexcept { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace qtest
