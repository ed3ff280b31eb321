// The tag plugin over real files of every kind a folder can hold.
#include "platform/plugins/tags/tag_plugin.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/files/folder_item.h"
#include "support/audio_fixtures.h"
#include "support/scan_support.h"

namespace {

using qtest::AudioFormat;
using qtest::ScratchFolder;
using qtest::TagLine;

class TagPlugin : public ::testing::Test {
 protected:
  void SetUp() override { qtest::BindProgramPlugins(); }
  ScratchFolder dir;
};

TEST_F(TagPlugin, ReadsTitleAndArtistOfEveryFormatAsUtf8) {
  for (const qtest::AudioFormatInfo& f : qtest::AllAudioFormats()) {
    SCOPED_TRACE(f.name);
    const std::string path = dir / (std::string("song") + f.extension);
    qtest::WriteTaggedAudio(path, f.format, std::string("Grüße aus ") + f.name, "Émile & 日本");
    EXPECT_EQ(TagLine(path), std::string("Grüße aus ") + f.name + " - Émile & 日本");
  }
}

TEST_F(TagPlugin, UntaggedAudioHasAnEmptyTag) {
  for (const qtest::AudioFormatInfo& f : qtest::AllAudioFormats()) {
    SCOPED_TRACE(f.name);
    const std::string path = dir / (std::string("plain") + f.extension);
    qtest::WriteAudio(path, f.format);
    EXPECT_EQ(TagLine(path), " - ");
  }
}

TEST_F(TagPlugin, FormatComesFromTheContentWhenTheExtensionSaysNothing) {
  qtest::WriteTaggedAudio(dir / "song.flac", AudioFormat::Flac, "T", "A");
  ASSERT_EQ(rename((dir / "song.flac").c_str(), (dir / "song").c_str()), 0);
  EXPECT_EQ(TagLine(dir / "song"), "T - A");
}

TEST_F(TagPlugin, WhatHasNoReadableTagGivesNil) {
  qtest::WriteText(dir / "notes.txt", "just some words\n");
  qtest::WriteText(dir / "fake.mp3", "this is text, not MPEG audio\n");
  qtest::WriteText(dir / "fake.m4a", "neither is this\n");
  qtest::WriteText(dir / "empty.wav", "");
  qtest::WriteText(dir / "cut.flac", "fLaC");
  mkdir((dir / "folder.mp3").c_str(), 0755);
  symlink((dir / "missing.mp3").c_str(), (dir / "dangling.mp3").c_str());
  for (const char* name : {"notes.txt", "fake.mp3", "fake.m4a", "empty.wav", "cut.flac",
                           "folder.mp3", "dangling.mp3", "never-there.mp3"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(TagLine(dir / name), "nil");
  }
  EXPECT_EQ(TagLine("/dev/null"), "nil");
}

TEST_F(TagPlugin, SpecialFilesNeitherBlockNorGiveATag) {
  ASSERT_EQ(mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);
  qtest::FifoWatch fifo(dir / "pipe.mp3");
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string socketPath = dir / "sock.mp3";
  ASSERT_LT(socketPath.size(), sizeof(addr.sun_path));
  socketPath.copy(addr.sun_path, socketPath.size());
  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

  EXPECT_EQ(TagLine(dir / "pipe.mp3"), "nil");
  EXPECT_EQ(TagLine(dir / "sock.mp3"), "nil");
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(fifo.Opened());
  close(sock);
}

TEST_F(TagPlugin, ASymbolicLinkToAnAudioFileIsRead) {
  qtest::WriteTaggedAudio(dir / "real.wav", AudioFormat::Wav, "Linked", "Artist");
  ASSERT_EQ(symlink("real.wav", (dir / "link.wav").c_str()), 0);
  EXPECT_EQ(TagLine(dir / "link.wav"), "Linked - Artist");
}

TEST_F(TagPlugin, TheTagOutlivesItsFileReferenceWhoseFileIsClosedWithIt) {
  qtest::WriteTaggedAudio(dir / "a.ogg", AudioFormat::OggVorbis, "Kept", "Still");
  const int before = qtest::OpenDescriptors();
  const long objects = rt::LiveObjectCount();
  rt::Ref<rt::TagLibTagExt> tag;
  {
    rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::TagLibFileRefExt::__Lookup());
    rt::Ref<rt::TagLibFileRefExt> ref(static_cast<rt::TagLibFileRefExt*>(made.get()));
    made.reset();
    rt::Ref<rt::FolderItem> file = rt::FolderItem::FromPath(dir / "a.ogg");
    rt::TagLibFileRefExt::Constructor(ref.get(), file.get());
    EXPECT_EQ(qtest::OpenDescriptors(), before + 1);
    tag = rt::TagLibFileRefExt::tags(ref.get());
    ASSERT_TRUE(tag);
  }
  EXPECT_EQ(qtest::OpenDescriptors(), before);
  EXPECT_EQ(rt::TagLibTagExt::Title(tag.get()).Std(), "Kept");
  EXPECT_EQ(rt::TagLibTagExt::Artist(tag.get()).Std(), "Still");
  tag.reset();
  EXPECT_EQ(rt::LiveObjectCount(), objects);
}

TEST_F(TagPlugin, ManyReferencesInARowLeaveNoDescriptorOpen) {
  qtest::WriteTaggedAudio(dir / "a.mp3", AudioFormat::Mp3, "T", "A");
  qtest::WriteText(dir / "b.mp3", "text");
  const int before = qtest::OpenDescriptors();
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(TagLine(dir / "a.mp3"), "T - A");
    ASSERT_EQ(TagLine(dir / "b.mp3"), "nil");
  }
  EXPECT_EQ(qtest::OpenDescriptors(), before);
}

TEST_F(TagPlugin, NilObjectsRaiseAndANilFileHasNoTag) {
  using qtest::RaisedClass;
  EXPECT_EQ(RaisedClass([] { rt::TagLibFileRefExt::Constructor(nullptr, nullptr); }),
            "NilObjectException");
  EXPECT_EQ(RaisedClass([] { rt::TagLibFileRefExt::tags(nullptr); }), "NilObjectException");
  EXPECT_EQ(RaisedClass([] { rt::TagLibTagExt::Title(nullptr); }), "NilObjectException");
  rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::TagLibFileRefExt::__Lookup());
  auto* ref = static_cast<rt::TagLibFileRefExt*>(made.get());
  rt::TagLibFileRefExt::Constructor(ref, nullptr);
  EXPECT_FALSE(rt::TagLibFileRefExt::tags(ref));
}

}  // namespace
