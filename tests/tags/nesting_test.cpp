// Files whose structures nest tens of thousands deep, which TagLib 1.13 would follow until
// the stack overflows: refused whatever their name, while real nesting still reads.
#include <gtest/gtest.h>
#include <zlib.h>

#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/mp3_bytes.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

using qtest::Id3v24Frame;

std::string Be32(unsigned long v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// An MP4 file of depth atoms named name, each the only child of the one before.
std::string NestedAtoms(int depth, const char* name) {
  std::string out = Be32(16) + "ftypM4A " + Be32(0);
  for (int i = 0; i < depth; ++i) out += Be32(8ul * static_cast<unsigned long>(depth - i)) + name;
  return out;
}

std::string Text(const std::string& s) { return std::string("\x03", 1) + s; }

// depth chapter (CHAP) or table-of-contents (CTOC) frames, each embedding the next and the
// innermost embedding inner; written outside in, as building it inside out takes long.
std::string Embedding(int depth, const std::string& id, const std::string& inner) {
  const std::string fields = id == "CHAP" ? std::string("c\0", 2) + std::string(16, '\0')
                                          : std::string("t\0\x03\x00", 4);
  std::string out;
  for (int i = 0; i < depth; ++i) {
    const size_t size = (depth - i) * fields.size() + (depth - i - 1) * 10ul + inner.size();
    out += qtest::Id3v24FrameHeader(id, size) + fields;
  }
  return out + inner;
}

// An ID3v2 tag with the title and artist, then frames nested depth deep; audio follows.
std::string TagWithNesting(int depth, const std::string& id, bool compressed = false) {
  std::string nested = Embedding(depth, id, Id3v24Frame("TIT2", Text("Inner")));
  if (compressed) {
    // The outermost frame compressed, with its data length: TagLib inflates it to parse it.
    const std::string fields = nested.substr(10);
    uLongf size = compressBound(fields.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(fields.data()), fields.size());
    packed.resize(size);
    nested = Id3v24Frame(id, qtest::Synchsafe(fields.size()) + packed, 0x0009);
  }
  const std::string body =
      Id3v24Frame("TIT2", Text("Title")) + Id3v24Frame("TPE1", Text("Artist")) + nested;
  return qtest::Id3v24Header(body.size()) + body;
}

std::string Mp3WithNesting(int depth, const std::string& id, bool compressed = false) {
  return TagWithNesting(depth, id, compressed) + qtest::MpegSilence(5000);
}

class Nesting : public ::testing::Test {
 protected:
  void SetUp() override { qtest::BindProgramPlugins(); }
  // The line of bytes written under each name.
  void ExpectUnderEveryName(const std::string& bytes, const std::string& line) {
    for (const char* name : {"file.m4a", "file.mp3", "file.flac", "file"}) {
      SCOPED_TRACE(name);
      qtest::WriteText(dir / name, bytes);
      EXPECT_EQ(qtest::TagLine(dir / name), line);
    }
  }
  qtest::ScratchFolder dir;
};

TEST_F(Nesting, TensOfThousandsOfNestedAtomsAreRefused) {
  ExpectUnderEveryName(NestedAtoms(53000, "moov"), "nil");
  ExpectUnderEveryName(NestedAtoms(53000, "trak"), "nil");
  // Shallow nesting is TagLib's to judge: no audio here, so no tag either.
  ExpectUnderEveryName(NestedAtoms(20, "moov"), "nil");
}

TEST_F(Nesting, ChapterFramesNestedTooDeepAreRefusedAndRealChaptersRead) {
  const struct {
    const char* what;
    std::string bytes;
    const char* line;
  } cases[] = {
      {"17,000 tables of contents", Mp3WithNesting(17000, "CTOC"), "nil"},
      {"17,000 chapters", Mp3WithNesting(17000, "CHAP"), "nil"},
      {"just too deep", Mp3WithNesting(40, "CHAP"), "nil"},
      {"deep, inside a compressed frame", Mp3WithNesting(17000, "CHAP", true), "nil"},
      {"a table of chapters", Mp3WithNesting(2, "CTOC"), "Title - Artist"},
      {"chapters a few deep", Mp3WithNesting(8, "CHAP"), "Title - Artist"},
      {"compressed chapters", Mp3WithNesting(3, "CHAP", true), "Title - Artist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    qtest::WriteText(dir / "song.mp3", c.bytes);
    EXPECT_EQ(qtest::TagLine(dir / "song.mp3"), c.line);
    qtest::WriteText(dir / "song", c.bytes);
    EXPECT_EQ(qtest::TagLine(dir / "song"), c.line);
  }
}

// TagLib's FLAC reader takes an ID3v2 tag before the stream: the same check holds there.
TEST_F(Nesting, AnId3v2TagBeforeFlacIsCheckedToo) {
  qtest::WriteAudio(dir / "plain.flac", qtest::AudioFormat::Flac);
  const std::string flac = qtest::ReadBytes(dir / "plain.flac");
  qtest::WriteText(dir / "deep.flac", TagWithNesting(17000, "CTOC") + flac);
  qtest::WriteText(dir / "shallow.flac", TagWithNesting(2, "CTOC") + flac);
  EXPECT_EQ(qtest::TagLine(dir / "deep.flac"), "nil");
  EXPECT_EQ(qtest::TagLine(dir / "shallow.flac"), "Title - Artist");
}

// The whole scan over a folder of such files and real ones: a message for each refused
// file, the lines of the others, and the program still running.
TEST(NestingScan, AFolderWithNestedFilesScansToItsEnd) {
  qtest::EnsureQtApplication();
  qtest::BindProgramPlugins();
  qtest::ScratchFolder dir;
  qtest::WriteText(dir / "a-atoms.m4a", NestedAtoms(53000, "moov"));
  qtest::WriteText(dir / "b-chapters.mp3", Mp3WithNesting(17000, "CTOC"));
  qtest::WriteText(dir / "c-chapters", Mp3WithNesting(17000, "CHAP"));
  qtest::WriteTaggedAudio(dir / "d-real.mp3", qtest::AudioFormat::Mp3, "Real", "One");
  qtest::WriteText(dir / "e-chapters-ok.mp3", Mp3WithNesting(3, "CHAP"));
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.Path()});
  rt::Ref<rt::Window> window = qtest::MakeScanWindow();
  rt::Invoke(quorvane::Window1::slot::BevelButton1_Action, window, nullptr);
  EXPECT_EQ(qtest::Rows(window.get()).size(), 5u);
  EXPECT_EQ(qtest::Text(window.get()), "Real - One\nTitle - Artist\n");
  EXPECT_EQ(prompter.messages, std::vector<std::string>(3, "Failed to read file."));
}

}  // namespace
