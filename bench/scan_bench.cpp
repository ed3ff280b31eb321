// Measures a whole folder scan through the real program against a bare TagLib loop over
// the same files. Each measurement runs in its own process so that peak memory is its own;
// scripts/bench repeats them, alternating, and reports medians.
//
//   scan_bench generate DIR N   makes N small tagged MP3 files in DIR (kept between runs)
//   scan_bench bare DIR         opens each file with TagLib and reads title and artist
//   scan_bench plugin DIR       the same through the tag plugin alone, without the program
//   scan_bench program DIR      runs the program and presses its button once
//   scan_bench program-plain DIR  the same with the framework's read-ahead turned off
//   scan_bench quit DIR MS      the same, and Ctrl+Q MS milliseconds into the scan
//
// Both measuring modes print one line of key=value fields: seconds, cpu, peak_kb, lines and
// digest (of the text the scan shows, so that both modes are seen to read the same files);
// the program adds max_gap_ms (the longest time between two paints of the main window during
// the scan, its start and end included), paints, text_paints, list_paints, messages and warmed
// (files the read-ahead warmed).
// quit prints hidden_ms (from the request to the window hidden and the scan left), end_ms
// (to the end of the program's main, its finalisers and shut-down included), rows, status.
#include <sys/resource.h>
#include <taglib/fileref.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/runtime.h"
#include "platform/files/read_ahead.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window_peer.h"
#include "support/harness.h"
#include "support/mp3_bytes.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace fs = std::filesystem;

namespace {

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// CPU time of the calling thread, user and system, in seconds: less shaken than the wall
// clock by whatever else the machine runs.
double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return s(usage.ru_utime) + s(usage.ru_stime);
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// FNV-1a, enough to tell two texts apart.
struct Digest {
  uint64_t h = 1469598103934665603ull;
  void Add(std::string_view s) {
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  }
};

int Generate(const fs::path& dir, int count) {
  const fs::path done = dir / (".complete-" + std::to_string(count));
  if (fs::exists(done)) return 0;
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string audio = qtest::MpegSilence(4 * 417);  // four frames: enough for audio
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

// The visible entries in the order the program visits them: byte order of the names.
std::vector<std::string> VisibleEntries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string name = e.path().filename().string();
    if (name[0] != '.') names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

// What both bare loops report.
struct Tally {
  size_t lines = 0;
  Digest digest;
  void Line(std::string_view title, std::string_view artist) {
    digest.Add(title);
    digest.Add(" - ");
    digest.Add(artist);
    digest.Add("\n");
    ++lines;
  }
};

int Report(double seconds, double cpu, const Tally& t) {
  std::printf("seconds=%.4f cpu=%.4f peak_kb=%ld lines=%zu digest=%016llx\n", seconds, cpu,
              PeakKilobytes(), t.lines, static_cast<unsigned long long>(t.digest.h));
  return t.lines > 0 ? 0 : 1;
}

int Bare(const fs::path& dir) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = ThreadCpuSeconds();
  const std::vector<std::string> names = VisibleEntries(dir);
  Tally tally;
  for (const std::string& name : names) {
    const std::string path = (dir / name).string();
    TagLib::FileRef ref(path.c_str());
    if (ref.isNull() || !ref.tag()) continue;
    tally.Line(ref.tag()->title().to8Bit(true), ref.tag()->artist().to8Bit(true));
  }
  return Report(Since(start), ThreadCpuSeconds() - cpuStart, tally);
}

int Plugin(const fs::path& dir) {
  qtest::BindProgramPlugins();
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = ThreadCpuSeconds();
  const std::vector<std::string> names = VisibleEntries(dir);
  Tally tally;
  for (const std::string& name : names) {
    rt::Ref<rt::TagLibTagExt> tag = qtest::ReadTag((dir / name).string());
    if (!tag) continue;
    tally.Line(rt::TagLibTagExt::Title(tag.get()).View(),
               rt::TagLibTagExt::Artist(tag.get()).View());
  }
  return Report(Since(start), ThreadCpuSeconds() - cpuStart, tally);
}

// Records when widgets of the main window are painted during the scan.
class PaintClock : public QObject {
 public:
  PaintClock(QWidget* window, QWidget* text, QWidget* list)
      : window_(window), text_(text), list_(list) {
    clock_.start();
  }
  std::vector<double> stamps;
  int textPaints = 0, listPaints = 0;
  double Now() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() != window_) return false;
    stamps.push_back(Now());
    if (Inside(w, text_)) ++textPaints;
    if (Inside(w, list_)) ++listPaints;
    return false;
  }

 private:
  static bool Inside(QWidget* w, QWidget* control) {
    for (; w; w = w->parentWidget())
      if (w == control) return true;
    return false;
  }
  QWidget* window_;
  QWidget* text_;
  QWidget* list_;
  QElapsedTimer clock_;
};

int Program(const fs::path& dir) {
  qtest::EnsureQtApplication();
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.string()});
  double seconds = -1, cpu = 0, maxGap = 0;
  size_t lines = 0, paints = 0;
  int textPaints = 0, listPaints = 0;
  bool exposed = false;
  Digest digest;
  qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MainWindow();
    if (!w || !w->Peer()) return;
    rt::Ref<rt::BevelButton> button = quorvane::Window1::BevelButton1(w.get());
    rt::Ref<rt::TextArea> area = quorvane::Window1::TextArea1(w.get());
    rt::Ref<rt::Listbox> list = quorvane::Window1::Listbox1(w.get());
    // The window's first paints are not the scan's.
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    exposed = w->Peer()->windowHandle() && w->Peer()->windowHandle()->isExposed();
    PaintClock clock(w->Peer(), area->Peer(), list->Peer());
    qApp->installEventFilter(&clock);
    rt::SetCallLog(nullptr);  // the harness keeps a call log; a user's run has none
    const double cpuStart = ThreadCpuSeconds();
    const double begin = clock.Now();
    rt::RaiseEvent(button.get(), rt::BevelButton::Action);
    const double end = clock.Now();
    cpu = ThreadCpuSeconds() - cpuStart;
    qApp->removeEventFilter(&clock);
    seconds = (end - begin) / 1000;
    double last = begin;
    for (double t : clock.stamps) {
      maxGap = std::max(maxGap, t - last);
      last = t;
    }
    maxGap = std::max(maxGap, end - last);
    paints = clock.stamps.size();
    textPaints = clock.textPaints;
    listPaints = clock.listPaints;
    const rt::String text = rt::TextEdit::GetText(area.get());
    digest.Add(text.View());
    lines = static_cast<size_t>(std::count(text.View().begin(), text.View().end(), '\n'));
  });
  if (!exposed) std::fprintf(stderr, "scan_bench: the window was never exposed\n");
  std::printf(
      "seconds=%.4f cpu=%.4f peak_kb=%ld lines=%zu digest=%016llx max_gap_ms=%.1f paints=%zu "
      "text_paints=%d list_paints=%d messages=%zu warmed=%zu\n",
      seconds, cpu, PeakKilobytes(), lines, static_cast<unsigned long long>(digest.h), maxGap,
      paints, textPaints, listPaints, prompter.messages.size(), rt::read_ahead::WarmedFiles());
  return seconds >= 0 && exposed ? 0 : 1;
}

// Quit by its key during a scan, inside one of its background turns.
int QuitDuringScan(const fs::path& dir, int afterMs) {
  qtest::EnsureQtApplication();
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.string()});
  QElapsedTimer clock;
  double hiddenMs = -1;
  size_t rows = 0;
  const qtest::RunResult run = qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MainWindow();
    rt::WindowPeer* peer = qtest::ShownMainWindow();
    if (!peer) return;  // the key would go nowhere
    rt::SetCallLog(nullptr);
    QTimer::singleShot(afterMs, [&] {
      clock.start();
      QTest::keyClick(peer, Qt::Key_Q, Qt::ControlModifier);
    });
    rt::RaiseEvent(quorvane::Window1::BevelButton1(w.get()).get(), rt::BevelButton::Action);
    if (clock.isValid() && !peer->isVisible()) hiddenMs = clock.nsecsElapsed() / 1e6;
    rows = static_cast<size_t>(quorvane::Window1::Listbox1(w.get())->ListCount());
  });
  const double endMs = clock.isValid() ? clock.nsecsElapsed() / 1e6 : -1;
  std::printf("hidden_ms=%.1f end_ms=%.1f rows=%zu status=%d\n", hiddenMs, endMs, rows,
              run.status);
  return hiddenMs >= 0 && run.status == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 4) return Generate(argv[2], std::stoi(argv[3]));
  if (mode == "bare" && argc == 3) return Bare(argv[2]);
  if (mode == "plugin" && argc == 3) return Plugin(argv[2]);
  if (mode == "program" && argc == 3) return Program(argv[2]);
  if (mode == "program-plain" && argc == 3) {
    rt::read_ahead::SetEnabled(false);
    return Program(argv[2]);
  }
  if (mode == "quit" && argc == 4) return QuitDuringScan(argv[2], std::stoi(argv[3]));
  std::fprintf(stderr,
               "usage: scan_bench generate DIR N | bare DIR | plugin DIR | program DIR | "
               "program-plain DIR | quit DIR MS\n");
  return 2;
}
