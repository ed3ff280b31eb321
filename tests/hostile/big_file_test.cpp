// Big files through the tag plugin: one that holds no audio is given up after a bounded
// amount of reading, whatever its format claims; one that is real audio still reads.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "support/audio_fixtures.h"
#include "support/scan_support.h"

namespace {

using qtest::AudioFormat;
using qtest::TagLine;

constexpr off_t kGiB = off_t{1} << 30;

// Bytes this process has read through system calls so far.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

void Extend(const std::string& path, off_t size) {
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(ftruncate(fd, size), 0) << path;
  close(fd);
}

class BigFiles : public ::testing::Test {
 protected:
  void SetUp() override { qtest::BindProgramPlugins(); }
  // The tag line of path, failing when reading it took more than a bounded amount.
  std::string ReadBounded(const std::string& path) {
    const long long before = BytesRead();
    std::string line = TagLine(path);
    EXPECT_LT(BytesRead() - before, 512ll << 20) << path << " was read too far";
    return line;
  }
  qtest::ScratchFolder dir;
};

TEST_F(BigFiles, FourGibibytesOfNothingAreGivenUpWhateverTheName) {
  for (const char* ext : {".mp3", ".flac", ".ogg", ".opus", ".m4a", ".wav", ".aiff", ".spx", ".ape",
                          ".wv", ".mp4", ""}) {
    SCOPED_TRACE(ext);
    const std::string path = dir / (std::string("zeros") + ext);
    Extend(path, 4 * kGiB);
    EXPECT_EQ(ReadBounded(path), "nil");
    unlink(path.c_str());
  }
}

TEST_F(BigFiles, ARealStartFollowedByGibibytesOfNothingIsReadOnlySoFar) {
  for (const qtest::AudioFormatInfo& f : qtest::AllAudioFormats()) {
    SCOPED_TRACE(f.name);
    const std::string path = dir / (std::string("start") + f.extension);
    qtest::WriteTaggedAudio(path, f.format, "T", "A");
    Extend(path, 4 * kGiB);
    const std::string line = ReadBounded(path);
    EXPECT_TRUE(line == "nil" || line == "T - A") << line;
    unlink(path.c_str());
  }
}

// Three GiB of silence (a hole in the file) with the tag after it, where TagLib puts it.
TEST_F(BigFiles, AHugeWaveWithItsTagAtTheEndReads) {
  const std::string path = dir / "long.wav";
  const uint32_t data = 3u << 30;
  auto le = [](uint32_t v, int n) {
    std::string b;
    for (int i = 0; i < n; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
  };
  const std::string fmt = le(1, 2) + le(1, 2) + le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2);
  const std::string header = "RIFF" + le(4 + 8 + 16 + 8 + data, 4) + "WAVE" + "fmt " + le(16, 4) +
                             fmt + "data" + le(data, 4);
  qtest::WriteText(path, header);
  Extend(path, static_cast<off_t>(header.size()) + data);
  qtest::WriteTag(path, "Long", "Quiet");
  EXPECT_EQ(ReadBounded(path), "Long - Quiet");
}

// A cover picture is read whole; pictures of several MiB are common.
TEST_F(BigFiles, TagsWithABigPictureRead) {
  const TagLib::ByteVector picture(12 << 20, '\x5A');
  {
    const std::string path = dir / "cover.mp3";
    qtest::WriteTaggedAudio(path, AudioFormat::Mp3, "Pictured", "Mp3");
    TagLib::MPEG::File file(path.c_str());
    auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setMimeType("image/jpeg");
    frame->setPicture(picture);
    file.ID3v2Tag(true)->addFrame(frame);
    ASSERT_TRUE(file.save());
  }
  {
    const std::string path = dir / "cover.flac";
    qtest::WriteTaggedAudio(path, AudioFormat::Flac, "Pictured", "Flac");
    TagLib::FLAC::File file(path.c_str());
    auto* flacPicture = new TagLib::FLAC::Picture;
    flacPicture->setMimeType("image/png");
    flacPicture->setData(picture);
    file.addPicture(flacPicture);
    ASSERT_TRUE(file.save());
  }
  EXPECT_EQ(ReadBounded(dir / "cover.mp3"), "Pictured - Mp3");
  EXPECT_EQ(ReadBounded(dir / "cover.flac"), "Pictured - Flac");
}

}  // namespace
