// The menu bar in the running program: real Qt menus, shortcuts and Edit items.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "menus/main_menu_bar.h"
#include "platform/core/runtime.h"
#include "platform/framework.h"
#include "platform/ui/application.h"
#include "platform/ui/menu.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"
#include "support/harness.h"
#include "window/window1.h"

namespace {

using rt::Ref;
using Lines = std::vector<std::string>;

void ExpectInOrder(const Lines& log, const Lines& lines) {
  int last = -1;
  for (const std::string& line : lines) {
    const int at = qtest::IndexOf(log, line);
    EXPECT_GT(at, last) << "\"" << line << "\" missing or out of order";
    if (at >= 0) last = at;
  }
}

// Records Qt's warnings for the length of a test.
class QtWarnings {
 public:
  QtWarnings() {
    seen().clear();
    previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
      seen().push_back(m.toStdString());
    });
  }
  ~QtWarnings() { qInstallMessageHandler(previous_); }
  bool Any(const std::string& part) const {
    for (const std::string& m : seen())
      if (m.find(part) != std::string::npos) return true;
    return false;
  }

 private:
  static Lines& seen() {
    static Lines lines;
    return lines;
  }
  QtMessageHandler previous_;
};

// The main window, shown, active and carrying the shared bar. The window's Layout event
// gives it the bar and shows it; until that exists in this build, do the same here.
rt::WindowPeer* ReadyWindow() {
  Ref<rt::Window> w = qtest::MainWindow();
  if (!w || !w->Peer()) return nullptr;
  if (!rt::Window::GetMenuBar(w.get())) {
    Ref<rt::MenuBar> bar = quorvane::MainMenuBar::MainMenuBar();
    rt::Window::SetMenuBar(w.get(), bar.get());
  }
  return qtest::ShownMainWindow();
}

QMenuBar* BarOf(rt::WindowPeer* peer) {
  return peer ? qobject_cast<QMenuBar*>(peer->menuWidget()) : nullptr;
}

QMenu* MenuTitled(QMenuBar* bar, const QString& title) {
  for (QAction* a : bar->actions())
    if (a->text() == title) return a->menu();
  return nullptr;
}

QAction* ActionTexted(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text && !a->isSeparator()) return a;
  return nullptr;
}

// Opens the menu as a user would, so that it brings its items up to date, and closes it.
void OpenAndClose(QMenu* menu) {
  menu->popup(QPoint(0, 0));
  QCoreApplication::processEvents();
  menu->hide();
}

TEST(MenuBarInTheWindow, ShowsFileAndEditAsARealMenuBar) {
  qtest::ScriptedPrompter prompter;
  QtWarnings warnings;
  bool checked = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    rt::WindowPeer* peer = ReadyWindow();
    ASSERT_TRUE(peer);
    Ref<rt::Window> w = qtest::MainWindow();
    Ref<rt::MenuItem> windowBar = rt::Window::GetMenuBar(w.get());
    Ref<rt::MenuItem> appBar = rt::Application::GetMenuBar(rt::RegisteredApplication());
    EXPECT_TRUE(windowBar);
    EXPECT_EQ(windowBar, appBar) << "one bar for the application and the window";
    EXPECT_EQ(windowBar, quorvane::MainMenuBar::_implicitInstance);

    QMenuBar* bar = BarOf(peer);
    ASSERT_TRUE(bar);
    EXPECT_TRUE(bar->isVisible());
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), "&File");
    EXPECT_EQ(bar->actions()[1]->text(), "&Edit");

    QMenu* file = bar->actions()[0]->menu();
    ASSERT_TRUE(file);
    ASSERT_EQ(file->actions().size(), 1);
    EXPECT_EQ(file->actions()[0]->text(), "&Quit");
    EXPECT_EQ(file->actions()[0]->shortcut(), QKeySequence("Ctrl+Q"));
    QTest::keyClick(peer, Qt::Key_F, Qt::AltModifier);  // "&File": Alt+F opens it
    EXPECT_TRUE(file->isVisible());
    file->hide();

    QMenu* edit = bar->actions()[1]->menu();
    ASSERT_TRUE(edit);
    struct Expected {
      const char* text;  // nullptr: a separator
      const char* keys;
    };
    const Expected rows[] = {
        {"&Undo", "Ctrl+Z"},  {nullptr, ""},   {"Cu&t", "Ctrl+X"}, {"&Copy", "Ctrl+C"},
        {"&Paste", "Ctrl+V"}, {"&Delete", ""}, {nullptr, ""},      {"Select &All", "Ctrl+A"}};
    ASSERT_EQ(edit->actions().size(), 8);
    for (int i = 0; i < 8; ++i) {
      SCOPED_TRACE(i);
      QAction* a = edit->actions()[i];
      EXPECT_EQ(a->isSeparator(), rows[i].text == nullptr);
      if (rows[i].text) {
        EXPECT_EQ(a->text(), rows[i].text);
      }
      EXPECT_EQ(a->shortcut(), QKeySequence(rows[i].keys));
      EXPECT_TRUE(a->isVisible());
    }
    // Setting the same bar again, as every Layout event does, leaves one set of menus.
    rt::Window::SetMenuBar(w.get(), windowBar.get());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(BarOf(peer), bar);
    EXPECT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->findChildren<QMenu*>().size(), 2);
    checked = true;
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(warnings.Any("Ambiguous"));
}

// Quit from the menu and by its key end the program the same orderly way.
TEST(MenuBarInTheWindow, QuitEndsTheProgramInOrderWithStatusZero) {
  const std::pair<const char*, void (*)(rt::WindowPeer*)> ways[] = {
      {"File > Quit",
       [](rt::WindowPeer* peer) {
         QMenu* file = MenuTitled(BarOf(peer), "&File");
         ASSERT_TRUE(file);
         OpenAndClose(file);
         QAction* quit = ActionTexted(file, "&Quit");
         ASSERT_TRUE(quit);
         EXPECT_TRUE(quit->isEnabled());
         quit->trigger();
       }},
      {"Ctrl+Q",
       [](rt::WindowPeer* peer) { QTest::keyClick(peer, Qt::Key_Q, Qt::ControlModifier); }},
  };
  for (const auto& [way, choose] : ways) {
    SCOPED_TRACE(way);
    qtest::ScriptedPrompter prompter;
    QtWarnings warnings;
    bool quitByMenu = false;
    const long liveBefore = rt::LiveObjectCount();
    qtest::RunResult run = qtest::RunProgram([&] {
      rt::WindowPeer* peer = ReadyWindow();
      ASSERT_TRUE(peer);
      choose(peer);
      quitByMenu = rt::QuitRequested();
    });
    EXPECT_TRUE(quitByMenu) << "the harness did not have to close the window";
    EXPECT_EQ(run.status, 0);
    ExpectInOrder(run.log,
                  {"menu FileQuit", "event QuitMenuItem.Action", "QuitMenuAction", "Quit 0",
                   "RuntimePerformFinalizers", "exit FileTypes1.pAudioXM4a1.__Exit",
                   "exit MainMenuBar._implicitInstance.__Exit", "RuntimeExit"});
    EXPECT_TRUE(prompter.unhandledErrors.empty());
    EXPECT_FALSE(warnings.Any("Ambiguous"));
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore);
  }
}

// ---- the Edit items on the focused control ----

// The window's text area when it has a text widget; else a plain text edit of our own in
// the window's content, standing in for it.
QWidget* TextControl(rt::WindowPeer* peer, const QString& text) {
  Ref<rt::Window> w = qtest::MainWindow();
  Ref<rt::TextArea> area = rt::Invoke(quorvane::Window1::slot::TextArea1, w);
  QWidget* widget = area ? area->Peer() : nullptr;
  if (qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget)) {
    rt::TextEdit::SetText(area.get(), text.toStdString());
  } else {
    auto* edit = new QPlainTextEdit(peer->Content());
    edit->setPlainText(text);
    edit->show();
    widget = edit;
  }
  widget->setFocus();
  return widget;
}

QString Selection(QWidget* w) {
  QString s;
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) s = e->textCursor().selectedText();
  if (auto* e = qobject_cast<QTextEdit*>(w)) s = e->textCursor().selectedText();
  return s.replace(QChar::ParagraphSeparator, '\n');
}

TEST(EditMenu, CtrlAAndCtrlCSelectAndCopyTheTextThroughTheEditItems) {
  qtest::ScriptedPrompter prompter;
  QtWarnings warnings;
  bool checked = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    rt::WindowPeer* peer = ReadyWindow();
    ASSERT_TRUE(peer);
    QWidget* text = TextControl(peer, "Title - Artist\nOther - One");
    ASSERT_EQ(QApplication::focusWidget(), text);
    QGuiApplication::clipboard()->setText("before");

    QMenu* edit = MenuTitled(BarOf(peer), "&Edit");
    ASSERT_TRUE(edit);
    QAction* selectAll = ActionTexted(edit, "Select &All");
    QAction* copy = ActionTexted(edit, "&Copy");
    ASSERT_TRUE(selectAll && copy);
    OpenAndClose(edit);
    EXPECT_TRUE(selectAll->isEnabled());
    EXPECT_FALSE(copy->isEnabled()) << "nothing selected yet";

    QSignalSpy selectAllChosen(selectAll, &QAction::triggered);
    QSignalSpy copyChosen(copy, &QAction::triggered);
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selectAllChosen.count(), 1);
    EXPECT_EQ(Selection(text), "Title - Artist\nOther - One");
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copyChosen.count(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Title - Artist\nOther - One");
    OpenAndClose(edit);
    EXPECT_TRUE(copy->isEnabled());
    checked = true;
  });
  EXPECT_TRUE(checked);
  ExpectInOrder(run.log, {"menu EditSelectAll", "menu EditCopy"});
  EXPECT_FALSE(warnings.Any("Ambiguous"));
  EXPECT_EQ(run.status, 0);
}

// Each Edit item is enabled only when it applies to the focused control, and does there
// what a user expects.
TEST(EditMenu, ItemsApplyToTheFocusedTextFieldListOrNothing) {
  qtest::ScriptedPrompter prompter;
  QtWarnings warnings;
  bool checked = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    rt::WindowPeer* peer = ReadyWindow();
    ASSERT_TRUE(peer);
    QMenu* edit = MenuTitled(BarOf(peer), "&Edit");
    ASSERT_TRUE(edit);
    auto item = [&](const char* t) { return ActionTexted(edit, t); };
    auto choose = [&](const char* t) {  // as a user does: open the menu, pick the item
      OpenAndClose(edit);
      item(t)->trigger();
    };
    const char* names[] = {"&Undo", "Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"};
    auto enabled = [&] {
      OpenAndClose(edit);
      std::string out;
      for (const char* n : names) out += item(n)->isEnabled() ? '1' : '0';
      return out;  // Undo Cut Copy Paste Delete SelectAll
    };
    QClipboard* clip = QGuiApplication::clipboard();

    // A line edit: selection, cut, paste, delete, undo.
    auto* field = new QLineEdit("hello world", peer->Content());
    field->show();
    field->setFocus();
    clip->clear();
    field->setCursorPosition(0);
    EXPECT_EQ(enabled(), "000001");
    field->setSelection(0, 5);
    EXPECT_EQ(enabled(), "011011");
    choose("Cu&t");
    EXPECT_EQ(field->text(), " world");
    EXPECT_EQ(clip->text(), "hello");
    EXPECT_EQ(enabled(), "100101");
    field->setCursorPosition(6);
    choose("&Paste");
    EXPECT_EQ(field->text(), " worldhello");
    field->setSelection(0, 1);
    choose("&Delete");
    EXPECT_EQ(field->text(), "worldhello");
    EXPECT_EQ(clip->text(), "hello") << "Delete does not touch the clipboard";
    choose("&Undo");
    EXPECT_EQ(field->text(), " worldhello");
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(field->selectedText(), " worldhello");

    // Read-only: only what leaves the text alone.
    field->setReadOnly(true);
    EXPECT_EQ(enabled(), "001001");
    // Hidden text is never copied out.
    field->setReadOnly(false);
    field->setEchoMode(QLineEdit::Password);
    field->selectAll();
    EXPECT_EQ(enabled()[2], '0');
    EXPECT_EQ(enabled()[1], '0');

    // A list: copy the selected rows, select all.
    auto* list = new QListWidget(peer->Content());
    list->addItems({"a.mp3", "b.mp3", "c.mp3"});
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->show();
    list->setFocus();
    EXPECT_EQ(enabled(), "000001");
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectedItems().size(), 3);
    EXPECT_EQ(enabled(), "001001");
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), "a.mp3\nb.mp3\nc.mp3");

    // Nothing focused that edits: everything off, and the keys do nothing.
    peer->Content()->setFocus();
    clip->setText("kept");
    EXPECT_EQ(enabled(), "000000");
    QTest::keyClick(peer, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clip->text(), "kept");
    checked = true;
  });
  EXPECT_TRUE(checked);
  EXPECT_FALSE(warnings.Any("Ambiguous"));
  EXPECT_EQ(run.status, 0);
}

}  // namespace

namespace {

// A menu shown as a context menu gives back the item chosen in it, whose Action runs.
TEST(MenuItemPopUp, GivesBackTheChosenItemAfterItsAction) {
  qtest::EnsureQtApplication();
  const long before = rt::LiveObjectCount();
  {
    auto make = [](const char* name, const char* text) {
      Ref<rt::Object> o = rt::RuntimeNewObject(rt::MenuItem::__Lookup());
      Ref<rt::MenuItem> m(static_cast<rt::MenuItem*>(o.get()));
      rt::MenuItem::SetName(m.get(), name);
      rt::MenuItem::SetText(m.get(), text);
      return m;
    };
    Ref<rt::MenuItem> root = make("root", "");
    Ref<rt::MenuItem> second = make("second", "Second");
    rt::MenuItem::Append(root.get(), make("first", "First").get());
    rt::MenuItem::Append(root.get(), second.get());
    static int actions;
    actions = 0;
    rt::RuntimeAddEventHandler(
        second.get(), rt::MenuItem::Action, [](rt::Object*) { ++actions; }, nullptr);

    bool shown = false;
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible()) {
          shown = true;
          ASSERT_EQ(menu->actions().size(), 2);
          EXPECT_EQ(menu->actions()[0]->text(), "First");
          menu->actions()[1]->trigger();
          return;
        }
      QCoreApplication::exit(1);  // no menu came up: do not hang
    });
    Ref<rt::MenuItem> chosen = rt::MenuItem::PopUp(root.get(), 10, 10);
    EXPECT_TRUE(shown);
    EXPECT_EQ(chosen, second);
    EXPECT_EQ(actions, 1);
  }
  EXPECT_EQ(rt::LiveObjectCount(), before);
}

}  // namespace

namespace {

Ref<rt::MenuItem> NewItem(const char* name, const char* text, const char* keys = "") {
  Ref<rt::Object> o = rt::RuntimeNewObject(rt::MenuItem::__Lookup());
  Ref<rt::MenuItem> m(static_cast<rt::MenuItem*>(o.get()));
  rt::MenuItem::SetName(m.get(), name);
  rt::MenuItem::SetText(m.get(), text);
  rt::MenuItem::SetKeyboardShortcut(m.get(), keys);
  return m;
}

TEST(InstalledMenuBar, ShowsTextsSeparatorsShortcutsAndVisibilityAsStored) {
  qtest::EnsureQtApplication();
  const long before = rt::LiveObjectCount();
  {
    const std::pair<const char*, const char*> keys[] = {
        {"Cmd+Q", "Ctrl+Q"},
        {"Cmd+Shift+Z", "Ctrl+Shift+Z"},
        {"cmd+option+x", "Ctrl+Alt+X"},
        {"F5", "F5"},
        {"Cmd++", "Ctrl++"},
        {"", ""},
        {"Cmd+Nonsense", ""},
    };
    Ref<rt::Object> o = rt::RuntimeNewObject(rt::MenuBar::__Lookup());
    Ref<rt::MenuItem> bar(static_cast<rt::MenuItem*>(o.get()));
    Ref<rt::MenuItem> menu = NewItem("M", "&Menu");
    rt::MenuItem::Append(bar.get(), menu.get());
    for (const auto& [text, qt] : keys)
      rt::MenuItem::Append(menu.get(), NewItem(text, text, text).get());
    rt::MenuItem::Append(menu.get(), NewItem("Sep", "-").get());
    Ref<rt::MenuItem> hidden = NewItem("Hidden", "Hidden");
    rt::MenuItem::SetVisible(hidden.get(), false);
    rt::MenuItem::Append(menu.get(), hidden.get());
    Ref<rt::MenuItem> sub = NewItem("Sub", "&More");
    rt::MenuItem::Append(sub.get(), NewItem("Inner", "Inner").get());
    rt::MenuItem::Append(menu.get(), sub.get());

    rt::WindowPeer peer(nullptr);
    rt::InstallMenuBar(&peer, bar.get());
    QMenuBar* qbar = BarOf(&peer);
    ASSERT_TRUE(qbar);
    ASSERT_EQ(qbar->actions().size(), 1);
    QMenu* m = qbar->actions()[0]->menu();
    ASSERT_TRUE(m);
    EXPECT_EQ(qbar->actions()[0]->text(), "&Menu");
    const QList<QAction*> actions = m->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(keys)) + 3);
    for (size_t i = 0; i < std::size(keys); ++i) {
      SCOPED_TRACE(keys[i].first);
      EXPECT_EQ(actions[i]->shortcut(), QKeySequence(keys[i].second));
      EXPECT_EQ(actions[i]->text(), keys[i].first);
    }
    EXPECT_TRUE(actions[std::size(keys)]->isSeparator());
    EXPECT_FALSE(actions[std::size(keys) + 1]->isVisible());
    QMenu* more = actions[std::size(keys) + 2]->menu();
    ASSERT_TRUE(more);
    EXPECT_EQ(more->title(), "&More");
    ASSERT_EQ(more->actions().size(), 1);
    EXPECT_EQ(more->actions()[0]->text(), "Inner");

    // Later stores show at once; a changed tree shows once the bar is installed again.
    rt::MenuItem::SetText(hidden.get(), "Shown");
    rt::MenuItem::SetVisible(hidden.get(), true);
    EXPECT_EQ(actions[std::size(keys) + 1]->text(), "Shown");
    EXPECT_TRUE(actions[std::size(keys) + 1]->isVisible());
    rt::MenuItem::Append(bar.get(), NewItem("N", "&Next").get());
    rt::InstallMenuBar(&peer, bar.get());
    EXPECT_EQ(qbar->actions().size(), 2);

    // No bar: no menus.
    rt::InstallMenuBar(&peer, nullptr);
    EXPECT_TRUE(qbar->actions().isEmpty());
    EXPECT_TRUE(qbar->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  EXPECT_EQ(rt::LiveObjectCount(), before);
}

}  // namespace
