// How the tag plugin opens and reads a file: only the regular file the entry looked at, read
// in cached chunks, so tags must read the same wherever they sit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/files/folder_item.h"
#include "support/audio_fixtures.h"
#include "support/mp3_bytes.h"
#include "support/scan_support.h"

namespace {

using qtest::ScratchFolder;

// An MP3 of audio bytes with an ID3v2 tag whose picture makes the audio start at audioAt (0:
// no picture), or with an ID3v1 tag alone after the audio (audioAt -1).
void WriteMp3(const std::string& path, long audio, long audioAt) {
  const TagLib::String title("Title", TagLib::String::UTF8), artist("Artist", TagLib::String::UTF8);
  auto write = [&](size_t picture) {
    qtest::WriteText(path, qtest::MpegSilence(audio));
    TagLib::MPEG::File file(path.c_str());
    if (audioAt < 0) {
      file.ID3v1Tag(true)->setTitle(title);
      file.ID3v1Tag(true)->setArtist(artist);
      return file.save(TagLib::MPEG::File::ID3v1);
    }
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setTitle(title);
    tag->setArtist(artist);
    if (picture > 0) {
      auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
      frame->setMimeType("image/png");
      frame->setPicture(TagLib::ByteVector(static_cast<unsigned int>(picture), '\x5A'));
      tag->addFrame(frame);
    }
    return file.save(TagLib::MPEG::File::ID3v2);
  };
  auto firstFrame = [&] { return TagLib::MPEG::File(path.c_str()).firstFrameOffset(); };
  ASSERT_TRUE(write(audioAt > 0 ? 1000 : 0));
  if (audioAt <= 0) return;
  // What the tag takes besides the picture, then the picture that puts the audio there.
  const long rest = firstFrame() - 1000;
  ASSERT_GT(audioAt, rest);
  ASSERT_TRUE(write(static_cast<size_t>(audioAt - rest)));
  ASSERT_EQ(firstFrame(), audioAt);
}

TEST(TagStream, TagsReadWhereverTheySitInABigFile) {
  constexpr long kChunk = 64 * 1024;  // the plugin's
  const struct {
    const char* what;
    long audio;
    long audioAt;
  } cases[] = {
      {"a small file, in one chunk", 2000, 0},
      {"the audio starts well inside the first chunk", 20000, kChunk - 9000},
      {"the first frame's header lies across the chunks' edge", 20000, kChunk - 2},
      {"the audio starts at the second chunk", 20000, kChunk},
      {"the tag is a little bigger than a chunk", 20000, kChunk + 40},
      {"the tag is several chunks long", 20000, 5 * kChunk + 123},
      {"an ID3v1 tag across the chunks' edge", kChunk - 64, -1},
      {"an ID3v1 tag at the end, chunks away from the start", 4 * kChunk + 1000, -1},
  };
  qtest::BindProgramPlugins();
  ScratchFolder dir;
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir / ("song" + std::to_string(n++) + ".mp3");
    WriteMp3(path, c.audio, c.audioAt);
    EXPECT_EQ(qtest::TagLine(path), "Title - Artist");
  }
}

// An entry that the tag reading found to be a regular file and that turned into something
// else just before the plugin opens it: the plugin still opens no special file for good, does
// not block, and gives no tag.
TEST(TagStream, AnEntrySwappedRightAfterItWasSeenIsCheckedAgain) {
  qtest::BindProgramPlugins();
  ScratchFolder dir;
  const std::string path = dir / "song.mp3";
  const struct {
    const char* what;
    void (*swap)(const std::string&);
  } cases[] = {
      {"unchanged", [](const std::string&) {}},
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"a folder", [](const std::string& p) { ASSERT_EQ(mkdir(p.c_str(), 0755), 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qtest::WriteTaggedAudio(path, qtest::AudioFormat::Mp3, "Title", "Artist");
    rt::Ref<rt::FolderItem> entry = rt::FolderItem::FromPath(path);
    ASSERT_TRUE(rt::FolderItem::Exists(entry.get()));
    if (c.swap != cases[0].swap) {
      ASSERT_EQ(unlink(path.c_str()), 0);
      c.swap(path);
    }
    // Frees a reader stuck in opening the FIFO, so that a fault ends the test.
    std::atomic<bool> done{false};
    std::thread writer([&] {
      while (!done)
        if (int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) close(fd);
    });
    rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::TagLibFileRefExt::__Lookup());
    rt::Ref<rt::TagLibFileRefExt> ref(static_cast<rt::TagLibFileRefExt*>(made.get()));
    rt::TagLibFileRefExt::Constructor(ref.get(), entry.get());
    rt::Ref<rt::TagLibTagExt> tag = rt::TagLibFileRefExt::tags(ref.get());
    done = true;
    writer.join();
    EXPECT_EQ(tag ? rt::TagLibTagExt::Title(tag.get()).Std() : "nil",
              c.swap == cases[0].swap ? "Title" : "nil");
    rmdir(path.c_str());
    unlink(path.c_str());
  }
}

}  // namespace
