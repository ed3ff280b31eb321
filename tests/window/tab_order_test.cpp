// The main window's tab order through its real focus chain, as the Tab key walks it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/ui/window_peer.h"
#include "support/harness.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;

// Of the controls only the list box (TabIndex 1) and the text area (3) take focus: the
// button does not accept it and the label is not selectable.
TEST(TabOrder, TabWalksTheListBoxThenTheTextAreaAndBack) {
  qtest::ScriptedPrompter prompter;
  bool checked = false;
  qtest::RunProgram([&] {
    rt::Ref<rt::Window> w = qtest::MainWindow();
    rt::WindowPeer* peer = qtest::ShownMainWindow();
    ASSERT_TRUE(peer);
    QWidget* list = rt::Invoke(W1::slot::Listbox1, w)->Peer();
    QWidget* text = rt::Invoke(W1::slot::TextArea1, w)->Peer();
    peer->Content()->setFocus();
    auto tab = [](Qt::KeyboardModifiers mods = {}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, mods);
      return QApplication::focusWidget();
    };
    EXPECT_EQ(tab(), list) << "the first control in the order";
    EXPECT_EQ(tab(), text);
    EXPECT_EQ(tab(), list) << "the text area passes Tab on";
    EXPECT_EQ(tab(Qt::ShiftModifier), text);
    EXPECT_EQ(tab(Qt::ShiftModifier), list);
    checked = true;
  });
  EXPECT_TRUE(checked);
}

}  // namespace
