// Measures a whole folder scan through the real program against a bare TagLib loop over
// the same files. Each mode runs in its own process so that peak memory is its own.
//
//   scan_bench generate DIR N   makes N small tagged MP3 files in DIR (kept between runs)
//   scan_bench bare DIR         opens each file with TagLib and reads title and artist
//   scan_bench program DIR      runs the program and presses its button once
//
// Both measuring modes print one line: "seconds=S peak_kb=K lines=L [max_gap_ms=G]".
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <taglib/fileref.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include "platform/bevel_button.h"
#include "platform/runtime.h"
#include "platform/text_area.h"
#include "support/harness.h"
#include "window/window1.h"

namespace fs = std::filesystem;

namespace {

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A few silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz), enough for TagLib to see audio.
std::string SilentMp3() {
  std::string frame(417, '\0');
  frame[0] = '\xFF';
  frame[1] = '\xFB';
  frame[2] = '\x90';
  frame[3] = '\x64';
  std::string audio;
  for (int i = 0; i < 4; ++i) audio += frame;
  return audio;
}

int Generate(const fs::path& dir, int count) {
  const fs::path done = dir / (".complete-" + std::to_string(count));
  if (fs::exists(done)) return 0;
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string audio = SilentMp3();
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "track%06d.mp3", i);
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << audio;
    TagLib::MPEG::File file(path.c_str());
    file.tag()->setTitle(TagLib::String("Title " + std::to_string(i), TagLib::String::UTF8));
    file.tag()->setArtist(TagLib::String("Artist " + std::to_string(i % 97), TagLib::String::UTF8));
    file.save();
  }
  std::ofstream(done) << count << "\n";
  return 0;
}

int Bare(const fs::path& dir) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<fs::path> entries;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string()[0] != '.') entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  size_t lines = 0, bytes = 0;
  for (const fs::path& p : entries) {
    TagLib::FileRef ref(p.c_str());
    if (ref.isNull() || !ref.tag()) continue;
    bytes += ref.tag()->title().to8Bit(true).size() + ref.tag()->artist().to8Bit(true).size();
    ++lines;
  }
  std::printf("seconds=%.4f peak_kb=%ld lines=%zu\n", Since(start), PeakKilobytes(), lines);
  return bytes > 0 ? 0 : 1;
}

// Records when the window repaints during the scan.
class PaintClock : public QObject {
 public:
  std::vector<double> stamps;
  QElapsedTimer clock;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) stamps.push_back(clock.nsecsElapsed() / 1e6);
    return false;
  }
};

int Program(const fs::path& dir) {
  qtest::EnsureQtApplication();
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.string()});
  double seconds = -1;
  double maxGap = 0;
  size_t lines = 0;
  PaintClock paints;
  qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MainWindow();
    rt::Ref<rt::BevelButton> button = quorvane::Window1::BevelButton1(w.get());
    QCoreApplication::processEvents();  // the window's first paint is not the scan's
    qApp->installEventFilter(&paints);
    paints.clock.start();
    const auto start = std::chrono::steady_clock::now();
    rt::RaiseEvent(button.get(), 17);
    seconds = Since(start);
    const double end = paints.clock.nsecsElapsed() / 1e6;
    qApp->removeEventFilter(&paints);
    double last = 0;
    for (double t : paints.stamps) {
      maxGap = std::max(maxGap, t - last);
      last = t;
    }
    maxGap = std::max(maxGap, end - last);
    rt::String text = rt::TextEdit::GetText(quorvane::Window1::TextArea1(w.get()).get());
    lines = static_cast<size_t>(std::count(text.View().begin(), text.View().end(), '\n'));
  });
  std::printf("seconds=%.4f peak_kb=%ld lines=%zu max_gap_ms=%.1f messages=%zu\n", seconds,
              PeakKilobytes(), lines, maxGap, prompter.messages.size());
  return seconds >= 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) return Generate(argv[2], std::stoi(argv[3]));
  if (mode == "bare" && argc == 3) return Bare(argv[2]);
  if (mode == "program" && argc == 3) return Program(argv[2]);
  std::fprintf(stderr, "usage: scan_bench generate DIR N | bare DIR | program DIR\n");
  return 2;
}
