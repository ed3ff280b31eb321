// Quit during a scan is honoured as closing the window is: the window goes at once, the
// scan stops at its next background turn with no further prompt, the program ends with 0.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/window_peer.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;

// Tagged files with untagged ones between them, so that the scan asks a message box every
// other entry; many background turns' worth.
constexpr int kPairs = 600;

void FillFolder(const qtest::ScratchFolder& dir) {
  qtest::WriteTaggedAudio(dir / "0.wav", qtest::AudioFormat::Wav, "T", "A");
  for (int i = 0; i < kPairs; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d", i);
    std::filesystem::copy_file(dir / "0.wav", dir / (std::string(name) + ".wav"));
    qtest::WriteText(dir / (std::string(name) + ".txt"), "words");
  }
  std::filesystem::remove(dir / "0.wav");
}

struct Way {
  const char* name;
  bool quits;  // Quit's road, not the window's close
  void (*request)(rt::WindowPeer*);
};

const Way kWays[] = {
    {"Ctrl+Q", true,
     [](rt::WindowPeer* peer) { QTest::keyClick(peer, Qt::Key_Q, Qt::ControlModifier); }},
    {"File > Quit by keyboard", true,
     [](rt::WindowPeer* peer) {
       QTest::keyClick(peer, Qt::Key_F, Qt::AltModifier);
       if (QWidget* menu = QApplication::activePopupWidget())
         QTest::keyClick(menu, Qt::Key_Q);  // "&Quit"
     }},
    {"closing the window", false, [](rt::WindowPeer* peer) { peer->close(); }},
};

TEST(QuitDuringAScan, EndsTheScanAtItsNextTurnLikeClosingTheWindow) {
  qtest::ScratchFolder dir;
  FillFolder(dir);
  for (const Way& way : kWays) {
    SCOPED_TRACE(way.name);
    qtest::ScriptedPrompter prompter;
    prompter.folderAnswers.push_back({dir.Path()});
    bool requestedInTurn = false, hiddenAfter = false, visibleBefore = false;
    size_t messagesAtRequest = 0, rowsAtRequest = 0, rowsAtEnd = 0;
    const long liveBefore = rt::LiveObjectCount();
    qtest::RunResult run = qtest::RunProgram([&] {
      rt::Ref<rt::Window> w = qtest::MainWindow();
      rt::WindowPeer* peer = qtest::ShownMainWindow();
      ASSERT_TRUE(peer);
      auto* button = qobject_cast<QPushButton*>(W1::BevelButton1(w.get())->Peer());
      ASSERT_TRUE(button);
      QTimer::singleShot(30, [&] {  // inside one of the scan's background turns
        requestedInTurn = rt::State().backgroundTurns > 0;
        visibleBefore = peer->isVisible();
        messagesAtRequest = prompter.messages.size();
        rowsAtRequest = qtest::Rows(w.get()).size();
        way.request(peer);
      });
      button->click();  // as the user starts the scan; returns when the scan has ended
      hiddenAfter = !peer->isVisible();
      rowsAtEnd = qtest::Rows(w.get()).size();
    });
    ASSERT_TRUE(requestedInTurn);
    EXPECT_TRUE(visibleBefore);
    EXPECT_TRUE(hiddenAfter) << "the window stayed up";
    EXPECT_GT(rowsAtRequest, 0u);
    EXPECT_LT(rowsAtEnd, 2u * kPairs) << "the scan ran on to its end";
    EXPECT_LE(rowsAtEnd, rowsAtRequest + 1) << "entries scanned after the request";
    EXPECT_EQ(prompter.messages.size(), messagesAtRequest) << "a prompt after the request";
    EXPECT_TRUE(prompter.unhandledErrors.empty());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(qtest::IndexOf(run.log, "Quit 0") >= 0, way.quits);
    EXPECT_GE(qtest::IndexOf(run.log, "RuntimeExit"), 0);
    EXPECT_TRUE(rt::RuntimeWindows().empty());
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore) << "the left scan released what it held";
  }
}

// The run after one that ended so scans to the end: nothing of the ending is kept.
TEST(QuitDuringAScan, TheNextRunScansInFull) {
  qtest::ScratchFolder dir;
  FillFolder(dir);
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    qtest::ScriptedPrompter prompter;
    prompter.folderAnswers.push_back({dir.Path()});
    size_t rows = 0;
    qtest::RunResult result = qtest::RunProgram([&] {
      rt::Ref<rt::Window> w = qtest::MainWindow();
      ASSERT_TRUE(w);
      if (run == 0) QTimer::singleShot(30, [&] { rt::Quit(0); });
      rt::RaiseEvent(W1::BevelButton1(w.get()).get(), rt::BevelButton::Action);
      rows = qtest::Rows(w.get()).size();
    });
    EXPECT_EQ(result.status, 0);
    if (run == 0) {
      EXPECT_LT(rows, 2u * kPairs);
    } else {
      EXPECT_EQ(rows, 2u * kPairs);
      EXPECT_EQ(prompter.messages.size(), static_cast<size_t>(kPairs));
    }
  }
}

}  // namespace
