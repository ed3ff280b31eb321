// The Edit menu reached through the bar however a user opens it (a click, Alt+E, Alt then E,
// the arrows from File, sliding from File), with the focus on the bar: its items follow and
// act on the control that had the focus, and each key does what its item does.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>
#include <functional>

#include "menus/edit_menu_support.h"
#include "platform/core/runtime.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using menus::Bar;
using menus::Key;
using menus::Select;
using menus::ShownBar;
using rt::Ref;

struct Way {
  const char* name;
  bool barTakesFocus;  // the keyboard ways; a click leaves the focus where it is
  void (*open)(const Bar&);
};

const Way kWays[] = {
    {"a click on Edit", false,
     [](const Bar& b) {
       QTest::mouseClick(b.bar, Qt::LeftButton, {}, b.bar->actionGeometry(b.editTitle).center());
     }},
    {"Alt+E", true, [](const Bar&) { Key(Qt::Key_E, Qt::AltModifier); }},
    {"Alt, then E", true,
     [](const Bar&) {
       Key(Qt::Key_Alt);
       Key(Qt::Key_E);
     }},
    {"Alt+F, then Right", true,
     [](const Bar&) {
       Key(Qt::Key_F, Qt::AltModifier);
       Key(Qt::Key_Right);
     }},
    {"Alt, Down on File, then sliding to Edit", true,
     [](const Bar& b) {
       Key(Qt::Key_Alt);
       Key(Qt::Key_Down);  // File opens
       b.bar->setActiveAction(b.editTitle);  // what moving the pointer onto Edit does
     }},
};

// Opens the Edit menu that way and checks that the bar, not the control, had the focus on
// the keyboard ways: the case in which the items once all went off.
void OpenEdit(const Bar& b, const Way& way) {
  way.open(b);
  QCoreApplication::processEvents();
  EXPECT_TRUE(b.EditOpen()) << "the Edit menu did not open";
  if (way.barTakesFocus) {
    EXPECT_EQ(b.peer->focusWidget(), b.bar);
  }
}

QPlainTextEdit* TextPeer(rt::Window* w) {
  return qobject_cast<QPlainTextEdit*>(W1::TextArea1(w)->Peer());
}
QTreeView* ListPeer(rt::Window* w) { return qobject_cast<QTreeView*>(W1::Listbox1(w)->Peer()); }

TEST(EditMenuThroughTheBar, FollowsAndActsOnTheTextAreaHoweverItIsOpened) {
  qtest::ScriptedPrompter prompter;
  bool checked = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    Bar b = ShownBar();
    ASSERT_TRUE(b.edit && b.file);
    Ref<rt::Window> w = qtest::MainWindow();
    QPlainTextEdit* text = TextPeer(w.get());
    ASSERT_TRUE(text);
    rt::TextEdit::SetText(W1::TextArea1(w.get()).get(), "Title - Artist\nOther - One");
    QClipboard* clip = QGuiApplication::clipboard();

    for (const Way& way : kWays) {
      SCOPED_TRACE(way.name);
      text->setFocus();
      Select(text, 0, 5);
      clip->setText("clip");
      OpenEdit(b, way);
      EXPECT_EQ(b.States(), "011111") << "Cut, Copy, Paste, Delete, Select All on";
      Key(Qt::Key_C);  // "&Copy", chosen in the open menu
      EXPECT_FALSE(QApplication::activePopupWidget());
      EXPECT_EQ(clip->text(), "Title");
      EXPECT_EQ(QApplication::focusWidget(), text) << "the focus goes back to the text";
      b.CloseMenus();

      // Nothing selected: only Paste and Select All.
      Select(text, 3, 3);
      OpenEdit(b, way);
      EXPECT_EQ(b.States(), "000101");
      b.CloseMenus();
    }

    // The other items on the same text, chosen by keyboard with the bar focused.
    text->setFocus();
    Select(text, 0, 6);
    OpenEdit(b, kWays[1]);
    Key(Qt::Key_D);  // "&Delete"
    EXPECT_EQ(text->toPlainText(), "- Artist\nOther - One");
    OpenEdit(b, kWays[2]);
    EXPECT_EQ(b.States()[0], '1') << "Undo after a change";
    Key(Qt::Key_U);  // "&Undo"
    EXPECT_EQ(text->toPlainText(), "Title - Artist\nOther - One");
    OpenEdit(b, kWays[1]);
    Key(Qt::Key_A);  // "Select &All"
    EXPECT_EQ(text->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'),
              "Title - Artist\nOther - One");
    OpenEdit(b, kWays[3]);
    Key(Qt::Key_T);  // "Cu&t"
    EXPECT_TRUE(text->toPlainText().isEmpty());
    EXPECT_EQ(clip->text(), "Title - Artist\nOther - One");
    OpenEdit(b, kWays[2]);
    Key(Qt::Key_P);  // "&Paste"
    EXPECT_EQ(text->toPlainText(), "Title - Artist\nOther - One");
    b.CloseMenus();

    // The separators are plain lines: a separator's text is drawn beside its line.
    int separators = 0;
    for (QAction* a : b.edit->actions())
      if (a->isSeparator()) {
        ++separators;
        EXPECT_TRUE(a->text().isEmpty()) << a->text().toStdString();
      }
    EXPECT_EQ(separators, 2);
    checked = true;
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(prompter.unhandledErrors.empty());
}

// After a scan the list has a current row but nothing selected: Copy is off in the menu,
// and Ctrl+C, its key, does nothing either; with a row selected both copy that row.
TEST(EditMenuThroughTheBar, EachKeyDoesWhatItsItemDoesOnTheListAfterAScan) {
  qtest::ScratchFolder dir;
  qtest::WriteTaggedAudio(dir / "a.wav", qtest::AudioFormat::Wav, "A", "first");
  qtest::WriteTaggedAudio(dir / "b.wav", qtest::AudioFormat::Wav, "B", "second");
  qtest::ScriptedPrompter prompter;
  prompter.folderAnswers.push_back({dir.Path()});
  bool checked = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    Bar b = ShownBar();
    ASSERT_TRUE(b.edit);
    Ref<rt::Window> w = qtest::MainWindow();
    QTreeView* list = ListPeer(w.get());
    QPlainTextEdit* text = TextPeer(w.get());
    ASSERT_TRUE(list && text);
    rt::RaiseEvent(W1::BevelButton1(w.get()).get(), rt::BevelButton::Action);
    for (int i = 0; i < 20 && list->model()->rowCount() < 2; ++i) QTest::qWait(10);
    ASSERT_EQ(list->model()->rowCount(), 2);
    QClipboard* clip = QGuiApplication::clipboard();

    // Tab into the list: its first row becomes current, none is selected.
    text->setFocus();
    for (int i = 0; i < 6 && QApplication::focusWidget() != list; ++i) Key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list);
    ASSERT_TRUE(list->currentIndex().isValid());
    ASSERT_FALSE(list->selectionModel()->hasSelection());
    clip->setText("kept");
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), "kept") << "Ctrl+C copied the current row while Copy is off";
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(list->selectionModel()->hasSelection());
    for (const Way& way : kWays) {
      SCOPED_TRACE(way.name);
      OpenEdit(b, way);
      EXPECT_EQ(b.States(), "000000") << "a list of single choice: nothing to select all";
      b.CloseMenus();
    }

    // A row chosen: the menu item and its key copy it alike.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    ASSERT_TRUE(list->selectionModel()->hasSelection());
    ASSERT_EQ(QApplication::focusWidget(), list);
    for (const Way& way : kWays) {
      SCOPED_TRACE(way.name);
      clip->setText("kept");
      OpenEdit(b, way);
      EXPECT_EQ(b.States(), "001000");
      Key(Qt::Key_C);
      EXPECT_EQ(clip->text(), "b.wav");
      b.CloseMenus();
    }
    clip->setText("kept");
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), "b.wav");

    // The text area's keys act on the text area, not on the list that had the focus before.
    text->setFocus();
    Select(text, 0, 1);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), "A");
    checked = true;
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(qtest::IndexOf(run.log, "menu EditCopy") >= 0, true);
}

}  // namespace
