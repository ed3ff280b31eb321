// The scan's background turns in the real program: the window stays in step with what the
// scan did, and no new user action starts inside the running one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using qtest::AudioFormat;
using qtest::ScratchFolder;
using Lines = std::vector<std::string>;

QPushButton* ButtonPeer(rt::Window* w) {
  return qobject_cast<QPushButton*>(W1::BevelButton1(w)->Peer());
}
QPlainTextEdit* TextPeer(rt::Window* w) {
  return qobject_cast<QPlainTextEdit*>(W1::TextArea1(w)->Peer());
}

TEST(BackgroundTurn, APressOrKeyDuringAScanIsDroppedNotDoneLater) {
  ScratchFolder dir;
  qtest::WriteText(dir / "a.txt", "words");
  qtest::WriteText(dir / "b.txt", "words");
  qtest::WriteTaggedAudio(dir / "c.wav", AudioFormat::Wav, "C", "c");
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.Path()});
  // Each message box outlasts the turn's pause, so the pass it ends in gives a turn.
  prompter.onMessage = [](const std::string&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
  };
  bool pressedInTurn = false;
  size_t choosersDuringScan = 0;
  std::vector<std::string> rows;
  qtest::RunResult run = qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    QPushButton* button = ButtonPeer(w.get());
    ASSERT_TRUE(button);
    QTimer::singleShot(0, [&] {  // runs in the scan's first background turn
      pressedInTurn = rt::State().backgroundTurns > 0;
      button->click();
      QTest::mouseClick(button, Qt::LeftButton);
      QTest::keyClick(button, Qt::Key_Space);
      choosersDuringScan = prompter.folderRequests.size();
    });
    button->click();  // the user's press that starts the scan
    EXPECT_EQ(prompter.folderRequests.size(), 1u);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(prompter.folderRequests.size(), 1u) << "a press made during the scan came later";
    rows = qtest::Rows(w.get());

    // Once the scan is over, a press starts the next one.
    prompter.onMessage = nullptr;
    prompter.folderAnswers.push_back({dir.Path()});
    button->click();
    EXPECT_EQ(prompter.folderRequests.size(), 2u);
  });
  ASSERT_TRUE(pressedInTurn);
  EXPECT_EQ(choosersDuringScan, 1u);
  EXPECT_EQ(rows, (Lines{"a.txt", "b.txt", "c.wav"}));
  EXPECT_EQ(qtest::LinesStartingWith(run.log, "user action dropped: BevelButton.Action").size(),
            3u);
  EXPECT_EQ(qtest::LinesStartingWith(run.log, "event BevelButton.Action").size(), 2u);
  EXPECT_EQ(run.status, 0);
}

TEST(BackgroundTurn, AMessageBoxFindsEveryLineReadSoFarShown) {
  ScratchFolder dir;
  qtest::WriteTaggedAudio(dir / "a.wav", AudioFormat::Wav, "A", "first");
  qtest::WriteTaggedAudio(dir / "b.mp3", AudioFormat::Mp3, "B", "second");
  qtest::WriteText(dir / "c.txt", "words");
  qtest::WriteTaggedAudio(dir / "d.wav", AudioFormat::Wav, "D", "third");
  qtest::WriteText(dir / "e.txt", "words");
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.Path()});
  std::vector<QString> shown;
  qtest::RunResult run = qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    QPlainTextEdit* text = TextPeer(w.get());
    ASSERT_TRUE(text);
    prompter.onMessage = [&](const std::string&) { shown.push_back(text->toPlainText()); };
    ButtonPeer(w.get())->click();
  });
  EXPECT_EQ(shown, (std::vector<QString>{"A - first\nB - second\n",
                                         "A - first\nB - second\nD - third\n"}));
}

// What a turn catches up is painted in that turn, not one turn later: the window would
// otherwise show the scan a whole period late, and nothing at all of a short one.
TEST(BackgroundTurn, ATurnPaintsTheRowsAndLinesItCaughtUp) {
  ScratchFolder dir;
  qtest::WriteTaggedAudio(dir / "a.wav", AudioFormat::Wav, "A", "first");
  qtest::WriteTaggedAudio(dir / "b.wav", AudioFormat::Wav, "B", "second");
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.Path()});

  struct PaintsInTurns : QObject {
    QWidget* list = nullptr;
    QWidget* text = nullptr;
    std::vector<int> rowsPainted;       // the rows the list's view held at each paint
    std::vector<QString> textsPainted;  // the text area's text at each paint
    bool eventFilter(QObject* watched, QEvent* e) override {
      if (e->type() != QEvent::Paint || rt::State().backgroundTurns == 0) return false;
      if (watched == list)
        rowsPainted.push_back(static_cast<QTreeView*>(list->parentWidget())->model()->rowCount());
      if (watched == text)
        textsPainted.push_back(static_cast<QPlainTextEdit*>(text->parentWidget())->toPlainText());
      return false;
    }
  } paints;
  qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::ShownMainWindow() ? qtest::MainWindow() : nullptr;
    ASSERT_TRUE(w);
    auto* view = qobject_cast<QTreeView*>(W1::Listbox1(w.get())->Peer());
    ASSERT_TRUE(view);
    paints.list = view->viewport();
    paints.text = TextPeer(w.get())->viewport();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    // The entry's pass gives a turn only when the last one is a period past.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    qApp->installEventFilter(&paints);
    ButtonPeer(w.get())->click();
    qApp->removeEventFilter(&paints);
  });
  // Only the first entry's pass comes a period after the last turn.
  EXPECT_EQ(paints.rowsPainted, std::vector<int>{1});
  EXPECT_EQ(paints.textsPainted, std::vector<QString>{"A - first\n"});
}

}  // namespace
