// An error that leaves a real event handler: the program ends its own loop and shows the
// real message box, with no help from the harness.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "platform/core/runtime.h"
#include "platform/ui/window_peer.h"
#include "support/harness.h"

namespace {

// Clicks the program's button as a user would, with the scan's first framework call failing.
void ClickTheButtonIntoAnError() {
  rt::Ref<rt::Window> w = qtest::MainWindow();
  ASSERT_TRUE(w && w->Peer());
  auto* button = w->Peer()->findChild<QPushButton*>();
  ASSERT_NE(button, nullptr);
  rt::InjectFault("Window.__New");
  QTest::mouseClick(button, Qt::LeftButton);
}

TEST(UnhandledError, LeavingTheButtonsHandlerEndsTheLoopByItself) {
  qtest::ScriptedPrompter prompter;
  bool stillRunningAfterTheClick = false;
  QObject turns;  // takes the later turn's timer with it when the test ends
  qtest::RunResult run = qtest::RunProgramUnaided([&] {
    ClickTheButtonIntoAnError();
    // A later turn of the loop must not come: the error ended it.
    QTimer::singleShot(0, &turns, [&] { stillRunningAfterTheClick = true; });
  });
  rt::ClearFaults();
  EXPECT_FALSE(run.timedOut) << "the loop went on after the error";
  EXPECT_FALSE(stillRunningAfterTheClick);
  ASSERT_EQ(prompter.unhandledErrors.size(), 1u);
  EXPECT_NE(prompter.unhandledErrors[0].find("injected fault in Window.__New"), std::string::npos);
  EXPECT_TRUE(prompter.folderRequests.empty());
  EXPECT_EQ(std::count(run.log.begin(), run.log.end(), "_RuntimeRun"), 1);
  EXPECT_GE(qtest::IndexOf(run.log, "RuntimePerformFinalizers"),
            qtest::IndexOf(run.log, "RuntimeUnhandledException"));
  EXPECT_EQ(run.status, 1);
}

TEST(UnhandledError, TheRealMessageBoxNamesTheErrorAndWaitsForTheUser) {
  qtest::EnsureQtApplication();
  struct Shown {
    std::string text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
  };
  std::vector<Shown> boxes;
  QTimer watch;  // lives through the box's own loop, after the program's has ended
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    boxes.push_back({box->text().toStdString(), box->icon(), box->isModal()});
    box->accept();
  });
  watch.start(10);
  qtest::RunResult run = qtest::RunProgramUnaided(ClickTheButtonIntoAnError);
  watch.stop();
  rt::ClearFaults();
  EXPECT_FALSE(run.timedOut);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
  EXPECT_TRUE(boxes[0].modal);
  const std::string& text = boxes[0].text;
  EXPECT_NE(text.find("RuntimeException"), std::string::npos) << text;
  EXPECT_NE(text.find("not handled"), std::string::npos) << text;
  EXPECT_NE(text.find("injected fault in Window.__New"), std::string::npos) << text;
  EXPECT_EQ(run.status, 1);
}

}  // namespace
