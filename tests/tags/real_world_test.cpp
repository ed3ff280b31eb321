// Files as real encoders and taggers write them (ffmpeg, mutagen), read through the tag
// plugin: each gives the line other tools read from it, or the message when TagLib cannot
// read the format at all. The expected line is checked against ffprobe or mutagen as well.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "support/audio_fixtures.h"
#include "support/external_writers.h"
#include "support/mp3_bytes.h"
#include "support/scan_support.h"

namespace {

using qtest::Ffmpeg;
using qtest::Mutagen;

std::vector<std::string> Tagged(std::vector<std::string> args) {
  args.insert(args.end(), {"-metadata", "title=Ünïcode Title", "-metadata", "artist=The Artist"});
  return args;
}

constexpr const char* kLine = "Ünïcode Title - The Artist";

// A cover picture of about 1.7 MB stored as Vorbis comment, before or after the title, in
// the 4 KB pages mutagen writes.
std::string OggPicture(const char* module, const char* cls, bool pictureFirst) {
  return std::string("import base64\nfrom mutagen.flac import Picture\nfrom ") + module +
         " import " + cls + "\nf = " + cls +
         "(path)\np = Picture(); p.type = 3; p.mime = 'image/jpeg'\n"
         "p.data = bytes(range(256)) * (1700000 // 256)\n"
         "pic = ('METADATA_BLOCK_PICTURE', base64.b64encode(p.write()).decode())\n"
         "text = [('TITLE', 'Ünïcode Title'), ('ARTIST', 'The Artist')]\n"
         "f.tags.clear()\nf.tags.extend(" +
         (pictureFirst ? "[pic] + text" : "text + [pic]") + ")\nf.save()\n";
}

enum class Check { Ffprobe, Mutagen, None };

struct Case {
  const char* what;
  const char* name;
  std::function<bool(const std::string&)> make;
  const char* line;  // "nil": no readable tag
  Check check;
};

std::vector<Case> Cases() {
  auto ff = [](std::vector<std::string> args) {
    return [args](const std::string& p) { return Ffmpeg(Tagged(args), p); };
  };
  // Made by ffmpeg without a tag, then tagged by mutagen.
  auto ffThenMutagen = [](std::vector<std::string> args, std::string program) {
    return [args, program](const std::string& p) {
      return Ffmpeg(args, p) && Mutagen(program, p);
    };
  };
  const std::string apeTag =
      "from mutagen.apev2 import APEv2\nt = APEv2()\nt['Title'] = 'Ünïcode Title'\n"
      "t['Artist'] = 'The Artist'\nt.save(path)\n";
  return {
      {"MP3, ID3v2.4", "v24.mp3", ff({"-c:a", "libmp3lame"}), kLine, Check::Mutagen},
      {"MP3, ID3v2.3", "v23.mp3", ff({"-c:a", "libmp3lame", "-id3v2_version", "3"}), kLine,
       Check::Mutagen},
      {"MP3, ID3v1 alone", "v1.mp3",
       ffThenMutagen({"-c:a", "libmp3lame", "-id3v2_version", "0"},
                     "from mutagen.id3 import ID3, TIT2, TPE1, delete\nt = ID3()\n"
                     "t.add(TIT2(text='Plain Title')); t.add(TPE1(text='The Artist'))\n"
                     "t.save(path, v1=2)\ndelete(path, delete_v1=False, delete_v2=True)\n"),
       "Plain Title - The Artist", Check::Ffprobe},
      {"MP3, APEv2 alone", "ape.mp3",
       ffThenMutagen({"-c:a", "libmp3lame", "-id3v2_version", "0"}, apeTag), kLine, Check::None},
      {"MP3, 3 MB of padding in the tag", "padded.mp3",
       ffThenMutagen({"-c:a", "libmp3lame"},
                     "from mutagen.id3 import ID3, TIT2, TPE1\nt = ID3()\n"
                     "t.add(TIT2(text='Ünïcode Title')); t.add(TPE1(text='The Artist'))\n"
                     "t.save(path, padding=lambda info: 3 << 20)\n"),
       kLine, Check::Mutagen},
      {"M4A, AAC", "aac.m4a", ff({"-c:a", "aac"}), kLine, Check::Mutagen},
      {"M4A, ALAC", "alac.m4a", ff({"-c:a", "alac"}), kLine, Check::Mutagen},
      {"MP4, Opus (not decoded by TagLib)", "opus.mp4", ff({"-c:a", "libopus"}), kLine,
       Check::Mutagen},
      {"MP4, FLAC (not decoded by TagLib)", "flac.mp4", ff({"-c:a", "flac", "-strict", "-2"}),
       kLine, Check::Mutagen},
      {"M4A, AC-3 (not decoded by TagLib)", "ac3.m4a", ff({"-c:a", "ac3"}), kLine,
       Check::Mutagen},
      {"M4A named .mp3", "m4a-named.mp3", ff({"-c:a", "aac", "-f", "ipod"}), kLine,
       Check::Ffprobe},
      {"FLAC", "song.flac", ff({"-c:a", "flac"}), kLine, Check::Mutagen},
      {"Ogg Vorbis", "song.ogg", ff({"-c:a", "libvorbis"}), kLine, Check::Mutagen},
      {"Ogg Opus", "song.opus", ff({"-c:a", "libopus"}), kLine, Check::Mutagen},
      {"Ogg Speex", "song.spx", ff({"-c:a", "libspeex"}), kLine, Check::Ffprobe},
      {"Ogg FLAC", "song.oga", ff({"-c:a", "flac", "-f", "ogg"}), kLine, Check::Ffprobe},
      {"Ogg Vorbis, big picture before the title", "pic-first.ogg",
       ffThenMutagen({"-c:a", "libvorbis"}, OggPicture("mutagen.oggvorbis", "OggVorbis", true)),
       kLine, Check::Mutagen},
      {"Ogg Vorbis, big picture after the title", "pic-last.ogg",
       ffThenMutagen({"-c:a", "libvorbis"}, OggPicture("mutagen.oggvorbis", "OggVorbis", false)),
       kLine, Check::Mutagen},
      {"Ogg Opus, big picture before the title", "pic-first.opus",
       ffThenMutagen({"-c:a", "libopus"}, OggPicture("mutagen.oggopus", "OggOpus", true)), kLine,
       Check::Mutagen},
      {"WAV, RIFF INFO", "info.wav", ff({}), kLine, Check::Ffprobe},
      {"WAV, ID3v2 artist over INFO, INFO title", "both.wav",
       [](const std::string& p) {
         return Ffmpeg(Tagged({}), p) &&
                Mutagen("from mutagen.wave import WAVE\nfrom mutagen.id3 import TPE1\n"
                        "f = WAVE(path); f.add_tags(); f.tags.add(TPE1(text='Other Artist'))\n"
                        "f.save()\n",
                        p);
       },
       "Ünïcode Title - Other Artist", Check::None},
      {"AIFF, ID3v2", "song.aiff", ff({"-c:a", "pcm_s16be", "-write_id3v2", "1"}), kLine,
       Check::Ffprobe},
      {"WavPack, APEv2", "song.wv", ff({"-c:a", "wavpack"}), kLine, Check::Mutagen},
      {"TrueAudio, APEv2", "song.tta", ff({"-c:a", "tta"}), kLine, Check::Ffprobe},
      {"TrueAudio, ID3v2", "id3.tta",
       ffThenMutagen({"-c:a", "tta"},
                     "from mutagen.trueaudio import TrueAudio\nfrom mutagen.id3 import TIT2, TPE1\n"
                     "f = TrueAudio(path); f.add_tags()\n"
                     "f.tags.add(TIT2(text='Ünïcode Title')); f.tags.add(TPE1(text='The Artist'))\n"
                     "f.save()\n"),
       kLine, Check::Mutagen},
      {"ASF/WMA", "song.wma", ff({"-c:a", "wmav2"}), kLine, Check::Ffprobe},
      // Formats TagLib 1.13 has no reader for, though ffprobe reads their tags.
      {"Matroska", "song.mka", ff({"-c:a", "libvorbis"}), "nil", Check::None},
      {"WebM", "song.webm", ff({"-c:a", "libopus"}), "nil", Check::None},
      {"ADTS AAC", "song.aac", ff({"-c:a", "aac"}), "nil", Check::None},
      {"CAF", "song.caf", ff({"-c:a", "pcm_s16le"}), "nil", Check::None},
  };
}

class RealWorldFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!qtest::HaveFfmpeg() || !qtest::HaveMutagen())
      GTEST_SKIP() << "needs ffmpeg and python3-mutagen (scripts/deps)";
    qtest::BindProgramPlugins();
  }
  qtest::ScratchFolder dir;
};

TEST_F(RealWorldFiles, ReadAsOtherToolsReadThem) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / c.name;
    ASSERT_TRUE(c.make(path)) << "could not make " << c.name;
    EXPECT_EQ(qtest::TagLine(path), c.line);
    if (c.check == Check::Ffprobe) {
      EXPECT_EQ(qtest::FfprobeLine(path).value_or("nil"), c.line);
    } else if (c.check == Check::Mutagen) {
      EXPECT_EQ(qtest::MutagenLine(path).value_or("nil"), c.line);
    }
  }
}

// TagLib looks for the first frame past whatever precedes it; 3 MB of zeros is far from
// the end of a file and still found.
TEST_F(RealWorldFiles, AnMp3WithMegabytesOfZerosBeforeItsFirstFrameReads) {
  const std::string made = dir / "made.mp3";
  ASSERT_TRUE(Ffmpeg(Tagged({"-c:a", "libmp3lame", "-id3v2_version", "3"}), made));
  const std::string bytes = qtest::ReadBytes(made);
  ASSERT_EQ(bytes.compare(0, 3, "ID3"), 0);
  const size_t tagEnd = 10 + ((bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 |
                              (bytes[8] & 0x7F) << 7 | (bytes[9] & 0x7F));
  qtest::WriteText(dir / "gap.mp3",
                   bytes.substr(0, tagEnd) + std::string(3 << 20, '\0') + bytes.substr(tagEnd));
  EXPECT_EQ(qtest::TagLine(dir / "gap.mp3"), kLine);
  EXPECT_EQ(qtest::FfprobeLine(dir / "gap.mp3").value_or("nil"), kLine);
}

// A 200 MB cover picture (a hole in the file, so it costs no disk) is read whole.
TEST_F(RealWorldFiles, AnMp3WithATwoHundredMegabytePictureReads) {
  using qtest::Id3v24Frame;
  const unsigned long picture = 200ul << 20;
  const std::string text = Id3v24Frame("TIT2", std::string("\x03", 1) + "Big Picture") +
                           Id3v24Frame("TPE1", std::string("\x03", 1) + "The Artist");
  const std::string apicHead =
      std::string("\x00", 1) + "image/jpeg" + std::string("\x00\x03\x00", 3);
  // The frame's size covers the picture that follows in the hole.
  const std::string apic = qtest::Id3v24FrameHeader("APIC", apicHead.size() + picture) + apicHead;
  const unsigned long body = text.size() + apic.size() + picture;
  const std::string path = dir / "cover.mp3";
  qtest::WriteText(path, qtest::Id3v24Header(body) + text + apic);
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(10 + body)), 0);
  std::ofstream(path, std::ios::binary | std::ios::app) << qtest::MpegSilence(20000);
  EXPECT_EQ(qtest::TagLine(path), "Big Picture - The Artist");
  EXPECT_EQ(qtest::FfprobeLine(path).value_or("nil"), "Big Picture - The Artist");
}

}  // namespace
