// The controls' and the window's Qt peers: what the model sets shows, and what the user does
// flows back.
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTreeView>

#include "fixture.h"
#include "platform/core/array.h"
#include "platform/core/property_setter.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window_peer.h"

namespace {

using rt::Ref;
using rt::String;
using rt::TextEdit;
using rt::Window;

class Peers : public wtest::Framework {};

struct Change {
  int position, removed, added;
  bool operator==(const Change&) const = default;
};

TEST_F(Peers, TextThatExtendsTheOldOneOnlyAppendsItsTail) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  auto* edit = qobject_cast<QPlainTextEdit*>(area->Peer());
  ASSERT_TRUE(edit);
  std::vector<Change> changes;
  QObject::connect(edit->document(), &QTextDocument::contentsChange, [&](int p, int r, int a) {
    changes.push_back({p, r, a});
  });

  TextEdit::SetText(area.get(), "first\n");
  QCoreApplication::processEvents();
  changes.clear();
  // The way the program grows its text: the old text plus a line. The lines that came
  // since the peer last showed the text reach it in one step.
  for (const char* line : {"second\n", "third\n"})
    TextEdit::SetText(area.get(), TextEdit::GetText(area.get()) + String(line));
  EXPECT_EQ(TextEdit::GetText(area.get()), String("first\nsecond\nthird\n"));
  QCoreApplication::processEvents();
  EXPECT_EQ(changes, (std::vector<Change>{{6, 0, 13}}));
  EXPECT_EQ(edit->toPlainText(), "first\nsecond\nthird\n");

  // An equal text costs nothing; a text of another start replaces the whole.
  changes.clear();
  TextEdit::SetText(area.get(), String("first\nsecond\nthird\n"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(changes.empty());
  TextEdit::SetText(area.get(), String("other"));
  QCoreApplication::processEvents();
  EXPECT_EQ(edit->toPlainText(), "other");
  EXPECT_EQ(TextEdit::GetText(area.get()), String("other"));
  TextEdit::SetText(area.get(), String());
  QCoreApplication::processEvents();
  EXPECT_TRUE(edit->toPlainText().isEmpty());
}

TEST_F(Peers, ALongRunOfAppendsShowsEveryLine) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    const std::string line = "Title " + std::to_string(i) + " - Artist\n";
    expected += line;
    TextEdit::SetText(area.get(), TextEdit::GetText(area.get()) + String(line));
    if (i % 300 == 0) QCoreApplication::processEvents();
  }
  EXPECT_EQ(TextEdit::GetText(area.get()).Std(), expected);
  QCoreApplication::processEvents();
  EXPECT_EQ(edit->toPlainText().toStdString(), expected);
}

TEST_F(Peers, WhatTheUserTypesIsInTheText) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
  TextEdit::SetText(area.get(), "line\n");
  QCoreApplication::processEvents();
  edit->moveCursor(QTextCursor::End);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QApplication::sendEvent(edit, &press);
  EXPECT_EQ(TextEdit::GetText(area.get()), String("line\nx"));
  // The program's next append goes on from what the user left.
  TextEdit::SetText(area.get(), TextEdit::GetText(area.get()) + String("\nmore\n"));
  QCoreApplication::processEvents();
  EXPECT_EQ(edit->toPlainText(), "line\nx\nmore\n");
}

TEST_F(Peers, ListBoxRowsShowInTheView) {
  Ref<Window> w = NewWindow();
  Ref<rt::Listbox> box = AddControl<rt::Listbox>(w.get(), "L");
  auto* view = qobject_cast<QTreeView*>(box->Peer());
  ASSERT_TRUE(view);
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
    Ref<rt::StringArray> cells = rt::CreateArray(1, 0);
    cells->At(0) = name;
    rt::Listbox::AddRow(box.get(), cells.get());
  }
  QAbstractItemModel* model = view->model();
  EXPECT_EQ(box->ListCount(), 3);
  QCoreApplication::processEvents();
  ASSERT_EQ(model->rowCount(), 3);
  EXPECT_EQ(model->data(model->index(2, 0)).toString(), "c.mp3");
  rt::Listbox::DeleteAllRows(box.get());
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(box->ListCount(), 0);

  rt::SetProperty(box.get(), "ColumnCount", int32_t{2});
  rt::SetProperty(box.get(), "InitialValue", String("x\ty\r\nz"));
  EXPECT_EQ(box->ListCount(), 2);
  EXPECT_EQ(model->columnCount(), 2);
  EXPECT_EQ(model->data(model->index(0, 1)).toString(), "y");
  EXPECT_EQ(box->Cell(1, 0), String("z"));
  EXPECT_EQ(box->Cell(1, 1), String());

  rt::SetProperty(box.get(), "HasHeading", true);
  rt::SetProperty(box.get(), "Border", false);
  EXPECT_FALSE(view->isHeaderHidden());
  EXPECT_EQ(view->frameShape(), QFrame::NoFrame);
}

// The peer may lag behind the text, never where the user could see or act on it.
TEST_F(Peers, APromptOrTheUsersInputFindsTheWholeTextShown) {
  qtest::ScriptedPrompter prompter;
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
  TextEdit::SetText(area.get(), "line\n");
  QCoreApplication::processEvents();
  edit->moveCursor(QTextCursor::End);

  std::vector<QString> seen;
  prompter.onMessage = [&](const std::string&) { seen.push_back(edit->toPlainText()); };
  TextEdit::SetText(area.get(), TextEdit::GetText(area.get()) + String("more\n"));
  rt::MsgBox("look");
  EXPECT_EQ(seen, std::vector<QString>{"line\nmore\n"});

  // A key typed while the peer lags lands after what the program wrote.
  TextEdit::SetText(area.get(), TextEdit::GetText(area.get()) + String("last\n"));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QApplication::sendEvent(edit, &press);
  EXPECT_EQ(TextEdit::GetText(area.get()), String("line\nmore\nlast\nx"));
  EXPECT_EQ(edit->toPlainText(), "line\nmore\nlast\nx");
}

// A change made on the peer itself while it lags (as the Edit menu's Paste does): the user's
// edit applies to the text shown; a text that extended it keeps its tail, a whole new text
// replaces the edit.
TEST_F(Peers, AnEditOfTheLaggingPeerKeepsTheProgramsNewerText) {
  const struct {
    const char* next;  // the program's text after "a\n", not yet shown
    const char* after;
  } cases[] = {{"a\nb\n", "xa\nb\n"}, {"new", "new"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.next);
    Ref<Window> w = NewWindow();
    Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
    auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
    TextEdit::SetText(area.get(), "a\n");
    QCoreApplication::processEvents();
    edit->moveCursor(QTextCursor::Start);
    const String shown = TextEdit::GetText(area.get());
    TextEdit::SetText(area.get(), c.next[0] == 'a' ? shown + String("b\n") : String(c.next));
    edit->insertPlainText("x");
    EXPECT_EQ(TextEdit::GetText(area.get()).Std(), c.after);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->toPlainText().toStdString(), c.after);
  }
}

TEST_F(Peers, OnlyTheUsersOwnEditsCanBeUndone) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> area = AddControl<rt::TextArea>(w.get(), "T");
  auto* edit = static_cast<QPlainTextEdit*>(area->Peer());
  for (const char* line : {"one\n", "two\n"}) {
    TextEdit::SetText(area.get(), TextEdit::GetText(area.get()) + String(line));
    QCoreApplication::processEvents();
  }
  EXPECT_FALSE(edit->document()->isUndoAvailable());
  edit->moveCursor(QTextCursor::End);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
  QApplication::sendEvent(edit, &press);
  EXPECT_TRUE(edit->document()->isUndoAvailable());
  edit->undo();
  EXPECT_EQ(TextEdit::GetText(area.get()), String("one\ntwo\n"));
  EXPECT_FALSE(edit->document()->isUndoAvailable());
}

TEST_F(Peers, RowsAddedMeanwhileReachTheViewInOneStep) {
  Ref<Window> w = NewWindow();
  Ref<rt::Listbox> box = AddControl<rt::Listbox>(w.get(), "L");
  QAbstractItemModel* model = static_cast<QTreeView*>(box->Peer())->model();
  QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
  auto add = [&](const char* name) {
    Ref<rt::StringArray> cells = rt::CreateArray(1, 0);
    cells->At(0) = name;
    rt::Listbox::AddRow(box.get(), cells.get());
  };
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add(name);
  EXPECT_EQ(box->ListCount(), 3);
  EXPECT_EQ(box->Cell(2, 0), String("c.mp3"));
  QCoreApplication::processEvents();
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 0);
  EXPECT_EQ(inserted[0][2].toInt(), 2);
  EXPECT_EQ(model->rowCount(), 3);

  // Rows that went before the view heard of them never reach it.
  add("d.mp3");
  rt::Listbox::DeleteAllRows(box.get());
  EXPECT_EQ(model->rowCount(), 0);
  add("e.mp3");
  QCoreApplication::processEvents();
  EXPECT_EQ(inserted.count(), 2);
  ASSERT_EQ(model->rowCount(), 1);
  EXPECT_EQ(model->data(model->index(0, 0)).toString(), "e.mp3");
}

TEST_F(Peers, FontsFollowTheirProperties) {
  Ref<Window> w = NewWindow();
  Ref<rt::Label> label = AddControl<rt::Label>(w.get(), "L");
  QWidget* peer = label->Peer();
  const QFont desktop = peer->font();
  rt::SetProperty(label.get(), "TextFont", String("DejaVu Serif"));
  rt::SetProperty(label.get(), "TextSize", 15.0f);
  rt::SetProperty(label.get(), "Bold", true);
  rt::SetProperty(label.get(), "Italic", true);
  EXPECT_EQ(peer->font().family(), "DejaVu Serif");
  EXPECT_EQ(peer->font().pointSizeF(), 15.0);
  EXPECT_TRUE(peer->font().bold());
  EXPECT_TRUE(peer->font().italic());
  rt::SetProperty(label.get(), "TextUnit", rt::FontUnits::Pixel);
  EXPECT_EQ(peer->font().pixelSize(), 15);

  rt::SetProperty(label.get(), "TextFont", String("System"));
  rt::SetProperty(label.get(), "TextSize", 0.0f);
  rt::SetProperty(label.get(), "Bold", false);
  rt::SetProperty(label.get(), "Italic", false);
  EXPECT_EQ(peer->font(), desktop);
}

TEST_F(Peers, TheMenuBarTakesItsHeightAboveTheContent) {
  Ref<Window> w = NewWindow();
  rt::WindowPeer* peer = w->Peer();
  auto* bar = new QMenuBar;
  bar->addMenu("File");
  peer->setMenuBar(bar);
  Window::SetWidth(w.get(), 600);
  Window::SetHeight(w.get(), 400);
  Window::SetVisible(w.get(), true);
  QCoreApplication::processEvents();
  ASSERT_GT(bar->height(), 0);
  EXPECT_EQ(peer->Content()->size(), QSize(600, 400));
  EXPECT_EQ(peer->Content()->y(), bar->height());
  EXPECT_EQ(peer->MenuSpace(600), bar->height());

  Window::SetMenuBarVisible(w.get(), false);
  QCoreApplication::processEvents();
  EXPECT_FALSE(bar->isVisible());
  EXPECT_EQ(peer->Content()->size(), QSize(600, 400));
  EXPECT_EQ(peer->Content()->y(), 0);

  Window::SetMenuBarVisible(w.get(), true);
  QCoreApplication::processEvents();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(peer->Content()->size(), QSize(600, 400));
}

TEST_F(Peers, WindowPropertiesReachThePeer) {
  Ref<Window> w = NewWindow();
  rt::WindowPeer* peer = w->Peer();
  Window::SetTitle(w.get(), "Title");
  EXPECT_EQ(peer->windowTitle(), "Title");
  Window::SetWidth(w.get(), 300);
  Window::SetHeight(w.get(), 200);
  Window::SetResizeable(w.get(), false);
  EXPECT_EQ(peer->minimumSize(), peer->maximumSize());
  Window::SetResizeable(w.get(), true);
  Window::SetMinWidth(w.get(), 120);
  EXPECT_EQ(peer->minimumWidth(), 120);
  Window::SetCloseButton(w.get(), false);
  Window::SetMaximizeButton(w.get(), false);
  EXPECT_FALSE(peer->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(peer->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(peer->windowFlags() & Qt::WindowMinimizeButtonHint);
  Window::SetBackColor(w.get(), rt::Color{0x10, 0x20, 0x30, 0});
  Window::SetHasBackColor(w.get(), true);
  EXPECT_TRUE(peer->Content()->autoFillBackground());
  EXPECT_EQ(peer->Content()->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
  Window::SetVisible(w.get(), true);
  EXPECT_TRUE(peer->isVisible());
  Window::SetVisible(w.get(), false);
  EXPECT_FALSE(peer->isVisible());
}

}  // namespace
