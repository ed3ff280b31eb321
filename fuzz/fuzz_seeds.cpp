// Writes the seed corpora of the fuzz targets: the program's five property records, a tagged
// file of every audio format the tests build, more formats and tag layouts as ffmpeg writes
// them (when it is there), and an MP3 with chapters. Usage: fuzz_seeds FOLDER
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "support/audio_fixtures.h"
#include "support/external_writers.h"
#include "support/mp3_bytes.h"
#include "window/property_records.h"

namespace {

void Write(const std::string& path, uint8_t selector, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.put(static_cast<char>(selector));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bytes(rt::PropertyRecord record) { return {record.begin(), record.end()}; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string records = std::string(argv[1]) + "/property_record_fuzz";
  const std::string tags = std::string(argv[1]) + "/tag_file_fuzz";
  mkdir(argv[1], 0755);
  mkdir(records.c_str(), 0755);
  mkdir(tags.c_str(), 0755);

  namespace R = quorvane::PropertyRecords;
  using T = fuzz::RecordTarget;
  const struct {
    const char* name;
    T target;
    rt::PropertyRecord record;
  } kRecords[] = {{"Window1", T::Window, R::Window1},
                  {"BevelButton1", T::BevelButton, R::BevelButton1},
                  {"Listbox1", T::Listbox, R::Listbox1},
                  {"Label4", T::Label, R::Label4},
                  {"TextArea1", T::TextArea, R::TextArea1}};
  for (const auto& r : kRecords)
    Write(records + "/" + r.name, static_cast<uint8_t>(r.target), Bytes(r.record));

  qtest::ScratchFolder scratch;
  auto seed = [&](const std::string& name, const char* extension, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!bytes.empty())
      Write(tags + "/" + name, static_cast<uint8_t>(fuzz::ExtensionIndexOf(extension)), bytes);
  };
  for (const qtest::AudioFormatInfo& f : qtest::AllAudioFormats()) {
    const std::string path = scratch / (std::string("seed") + f.extension);
    qtest::WriteTaggedAudio(path, f.format, std::string("Title ") + f.name, "Artist");
    seed(f.name, f.extension, path);
  }

  using qtest::Id3v24Frame;
  const std::string text = std::string("\x03", 1) + "Title";
  const std::string chapter = Id3v24Frame(
      "CHAP", std::string("c\0", 2) + std::string(16, '\0') + Id3v24Frame("TIT2", text));
  const std::string body = Id3v24Frame("TIT2", text) + Id3v24Frame("TPE1", text) +
                           Id3v24Frame("CTOC", std::string("t\0\x03\x01c\0", 6) + chapter);
  qtest::WriteText(scratch / "chapters.mp3",
                   qtest::Id3v24Header(body.size()) + body + qtest::MpegSilence(3000));
  seed("Chapters", ".mp3", scratch / "chapters.mp3");

  if (!qtest::HaveFfmpeg()) return 0;
  const struct {
    const char *name, *extension;
    std::vector<std::string> args;
  } made[] = {
      {"FfmpegMp3v23", ".mp3", {"-c:a", "libmp3lame", "-id3v2_version", "3", "-write_id3v1", "1"}},
      {"FfmpegAlac", ".m4a", {"-c:a", "alac"}},
      {"FfmpegOpusMp4", ".mp4", {"-c:a", "libopus"}},
      {"FfmpegWavInfo", ".wav", {}},
      {"FfmpegWavPack", ".wv", {"-c:a", "wavpack"}},
      {"FfmpegTrueAudio", ".tta", {"-c:a", "tta"}},
      {"FfmpegWma", ".wma", {"-c:a", "wmav2"}},
      {"FfmpegSpeex", ".spx", {"-c:a", "libspeex"}},
      {"FfmpegOggFlac", ".oga", {"-c:a", "flac", "-f", "ogg"}},
      {"FfmpegAiff", ".aiff", {"-c:a", "pcm_s16be", "-write_id3v2", "1"}},
  };
  for (const auto& m : made) {
    std::vector<std::string> args = m.args;
    args.insert(args.end(), {"-t", "0.05", "-metadata", "title=Title", "-metadata", "artist=Artist"});
    const std::string path = scratch / (std::string(m.name) + m.extension);
    if (qtest::Ffmpeg(args, path)) seed(m.name, m.extension, path);
  }
  return 0;
}
