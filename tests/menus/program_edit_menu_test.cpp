// The Edit menu where a user meets it: on the program's own text area and list box, opened
// through the window's menu bar by a click, by sliding over from another menu, or by keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include "menus/edit_menu_support.h"
#include "platform/core/array.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using rt::Ref;

struct Program : menus::Bar {
  Ref<rt::TextArea> area;
  Ref<rt::Listbox> list;
  QPlainTextEdit* text = nullptr;
  QTreeView* rows = nullptr;
};

// The running program's window, shown and active, with its bar, menus and two controls.
bool Ready(Program& p) {
  Ref<rt::Window> w = qtest::MainWindow();
  static_cast<menus::Bar&>(p) = menus::ShownBar();
  if (!p.edit) return false;
  p.area = rt::Invoke(W1::slot::TextArea1, w);
  p.list = rt::Invoke(W1::slot::Listbox1, w);
  if (!p.area || !p.list) return false;
  p.text = qobject_cast<QPlainTextEdit*>(p.area->Peer());
  p.rows = qobject_cast<QTreeView*>(p.list->Peer());
  return p.file && p.edit && p.text && p.rows;
}

QPoint CentreOf(QMenuBar* bar, QMenu* menu) {
  return bar->actionGeometry(menu->menuAction()).center();
}

bool WaitShown(QMenu* menu) {
  return QTest::qWaitFor([&] { return menu->isVisible(); }, 2000);
}

// The ways a user opens the Edit menu from the bar.
enum class Way { Click, Slide, Mnemonic, BarKeys };

bool OpenEdit(Program& p, Way way) {
  switch (way) {
    case Way::Click:
      QTest::mouseClick(p.bar, Qt::LeftButton, {}, CentreOf(p.bar, p.edit));
      break;
    case Way::Slide:  // open File, then move over Edit with the File menu still up
      QTest::mouseClick(p.bar, Qt::LeftButton, {}, CentreOf(p.bar, p.file));
      if (!WaitShown(p.file)) return false;
      {
        // The move as the bar gets it from the open menu, which holds the mouse.
        const QPoint at = CentreOf(p.bar, p.edit);
        QMouseEvent move(QEvent::MouseMove, at, p.bar->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(p.bar, &move);
      }
      break;
    case Way::Mnemonic:  // "&Edit": Alt+E
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
      break;
    case Way::BarKeys:  // Alt alone gives the bar the focus; Right to Edit, Down opens it
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
      break;
  }
  return WaitShown(p.edit);
}

// The text area holds a line with part of it selected; the clipboard holds text.
void SelectInText(Program& p) {
  rt::TextEdit::SetText(p.area.get(), "Title - Artist\n");
  QCoreApplication::processEvents();
  p.text->setFocus();
  menus::Select(p.text, 0, 5);
  QGuiApplication::clipboard()->setText("clip");
}

// Opened by each way with the text area focused, the Edit menu offers what applies there,
// and its separators are drawn as separators, not as items.
void ExpectEditMenuForTheTextArea(Way way) {
  qtest::ScriptedPrompter prompter;
  bool checked = false;
  qtest::RunProgram([&] {
    Program p;
    ASSERT_TRUE(Ready(p));
    SelectInText(p);
    ASSERT_TRUE(OpenEdit(p, way));
    // The program's own text clears the undo history: nothing to undo yet.
    EXPECT_EQ(p.States(), "011111");
    const QList<QAction*> actions = p.edit->actions();
    ASSERT_EQ(actions.size(), 8);
    const int itemHeight = p.edit->actionGeometry(actions[0]).height();
    for (int i : {1, 6}) {
      EXPECT_TRUE(actions[i]->isSeparator()) << i;
      EXPECT_LT(p.edit->actionGeometry(actions[i]).height(), itemHeight) << i;
    }
    // Chosen from the open menu, Select All acts on the text area.
    QAction* selectAll = p.Item("Select &All");
    ASSERT_TRUE(selectAll);
    p.edit->setActiveAction(selectAll);
    QTest::keyClick(p.edit, Qt::Key_Return);
    EXPECT_FALSE(p.edit->isVisible());
    EXPECT_EQ(p.text->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'),
              "Title - Artist\n");
    p.CloseMenus();
    checked = true;
  });
  EXPECT_TRUE(checked);
}

TEST(EditMenuThroughTheBar, ClickedOpenItOffersWhatAppliesToTheTextArea) {
  ExpectEditMenuForTheTextArea(Way::Click);
}

TEST(EditMenuThroughTheBar, SlidOverFromFileItOffersWhatAppliesToTheTextArea) {
  ExpectEditMenuForTheTextArea(Way::Slide);
}

TEST(EditMenuThroughTheBar, OpenedByItsMnemonicItOffersWhatAppliesToTheTextArea) {
  ExpectEditMenuForTheTextArea(Way::Mnemonic);
}

TEST(EditMenuThroughTheBar, ReachedByKeysOnTheBarItOffersWhatAppliesToTheTextArea) {
  ExpectEditMenuForTheTextArea(Way::BarKeys);
}

// The commands themselves, on the program's text area, chosen from the menu.
TEST(EditMenuOnTheProgramsControls, TextAreaCutPasteDeleteUndoAndCopy) {
  qtest::ScriptedPrompter prompter;
  bool checked = false;
  qtest::RunProgram([&] {
    Program p;
    ASSERT_TRUE(Ready(p));
    SelectInText(p);
    QClipboard* clip = QGuiApplication::clipboard();
    auto choose = [&](const char* t) {
      ASSERT_TRUE(OpenEdit(p, Way::Click));
      QAction* a = p.Item(t);
      ASSERT_TRUE(a && a->isEnabled()) << t;
      p.edit->setActiveAction(a);
      QTest::keyClick(p.edit, Qt::Key_Return);
      QCoreApplication::processEvents();
    };
    auto text = [&] { return rt::TextEdit::GetText(p.area.get()).Std(); };

    choose("Cu&t");
    EXPECT_EQ(clip->text(), "Title");
    EXPECT_EQ(text(), " - Artist\n") << "the user's edit reaches the program's text";
    choose("&Undo");
    EXPECT_EQ(text(), "Title - Artist\n");
    menus::Select(p.text, 8, 14);
    choose("&Copy");
    EXPECT_EQ(clip->text(), "Artist");
    choose("&Delete");
    EXPECT_EQ(text(), "Title - \n");
    EXPECT_EQ(clip->text(), "Artist") << "Delete leaves the clipboard alone";
    choose("&Paste");
    EXPECT_EQ(text(), "Title - Artist\n");
    p.CloseMenus();
    checked = true;
  });
  EXPECT_TRUE(checked);
}

// On the program's list box: what a one-row selection list allows.
TEST(EditMenuOnTheProgramsControls, ListBoxCopiesTheSelectedRowAndChangesNothing) {
  qtest::ScriptedPrompter prompter;
  bool checked = false;
  qtest::RunProgram([&] {
    Program p;
    ASSERT_TRUE(Ready(p));
    for (const char* name : {"a.mp3", "b.mp3"}) {
      Ref<rt::StringArray> row = rt::CreateArray(1, 0);
      row->At(0) = name;
      rt::Listbox::AddRow(p.list.get(), row.get());
    }
    QCoreApplication::processEvents();
    p.rows->setFocus();
    QGuiApplication::clipboard()->setText("clip");
    ASSERT_TRUE(OpenEdit(p, Way::Click));
    EXPECT_EQ(p.States(), "000000") << "no row selected: nothing to copy";
    p.CloseMenus();
    p.rows->setFocus();
    p.rows->setCurrentIndex(p.rows->model()->index(1, 0));
    ASSERT_TRUE(OpenEdit(p, Way::Click));
    EXPECT_EQ(p.States(), "001000") << "one row may be selected: no Select All";
    QAction* copy = p.Item("&Copy");
    p.edit->setActiveAction(copy);
    QTest::keyClick(p.edit, Qt::Key_Return);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "b.mp3");
    EXPECT_EQ(qtest::Rows(qtest::MainWindow().get()), (std::vector<std::string>{"a.mp3", "b.mp3"}));
    p.CloseMenus();
    checked = true;
  });
  EXPECT_TRUE(checked);
}

}  // namespace
