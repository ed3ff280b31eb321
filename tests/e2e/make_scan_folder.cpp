// Makes the folder the end-to-end scan test picks, and prints what the program must show:
// the number of "Failed to read file." boxes on the first line, then the text area's text.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "support/audio_fixtures.h"
#include "support/scan_support.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_scan_folder NEW-FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  if (mkdir(dir.c_str(), 0755) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  using qtest::AudioFormat;
  qtest::WriteTaggedAudio(dir + "/1 Song.mp3", AudioFormat::Mp3, "Erstes Lied", "Grüße");
  qtest::WriteTaggedAudio(dir + "/2 Track.flac", AudioFormat::Flac, "Track", "Band");
  qtest::WriteText(dir + "/3 notes.txt", "not audio\n");
  qtest::WriteTaggedAudio(dir + "/.hidden.wav", AudioFormat::Wav, "Hidden", "Nobody");
  qtest::WriteAudio(dir + "/4 Untagged.wav", AudioFormat::Wav);
  mkdir((dir + "/5 sub").c_str(), 0755);
  qtest::WriteTaggedAudio(dir + "/6 Tune.m4a", AudioFormat::M4a, "Tune", "Ärtist");

  // The fixtures must read back as expected, or the test would test them instead.
  qtest::BindProgramPlugins();
  if (qtest::TagLine(dir + "/1 Song.mp3") != "Erstes Lied - Grüße" ||
      qtest::TagLine(dir + "/6 Tune.m4a") != "Tune - Ärtist" ||
      qtest::TagLine(dir + "/3 notes.txt") != "nil") {
    std::fprintf(stderr, "make_scan_folder: the fixtures do not read back\n");
    return 1;
  }
  std::printf("messages 2\nErstes Lied - Grüße\nTrack - Band\n - \nTune - Ärtist\n");
  return 0;
}
