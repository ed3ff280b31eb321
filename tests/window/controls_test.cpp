// The main window's controls and layout, in the running program and in windows made here.
#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>

#include "app/delegates.h"
#include "fixture.h"
#include "platform/core/delegate.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/application.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window_peer.h"
#include "window/add_handler.h"
#include "window/window1.h"

namespace {

using rt::Ref;
using rt::Window;
namespace W1 = quorvane::Window1;

const char* const kControlNames[] = {"BevelButton1", "Listbox1", "Label4", "TextArea1"};

struct Place {
  const char* name;
  QRect rect;
};

void ExpectPlaces(Window* w, std::initializer_list<Place> places) {
  for (const Place& p : places) {
    Ref<rt::Object> c = Window::_ControlByName(w, p.name);
    ASSERT_TRUE(c) << p.name;
    auto* rc = static_cast<rt::RectControl*>(c.get());
    EXPECT_EQ(rc->Peer()->geometry(), p.rect) << p.name;
    EXPECT_EQ(QRect(rt::RectControl::GetLeft(rc), rt::RectControl::GetTop(rc),
                    rt::RectControl::GetWidth(rc), rt::RectControl::GetHeight(rc)),
              p.rect)
        << p.name;
  }
}

const std::initializer_list<Place> kDesigned = {{"BevelButton1", {40, 34, 178, 22}},
                                                {"Label4", {40, 64, 100, 20}},
                                                {"Listbox1", {40, 84, 178, 282}},
                                                {"TextArea1", {246, 34, 326, 332}}};
const std::initializer_list<Place> kStretched = {{"BevelButton1", {40, 34, 178, 22}},
                                                 {"Label4", {40, 64, 100, 20}},
                                                 {"Listbox1", {40, 84, 178, 482}},
                                                 {"TextArea1", {246, 34, 526, 532}}};

// Resizes the window as the user would, so that its content area gets that size.
void ResizeContent(Window* w, int width, int height) {
  rt::WindowPeer* peer = w->Peer();
  peer->resize(width, height + (peer->height() - peer->Content()->height()));
  QCoreApplication::processEvents();
}

// ---- the running program ----

TEST(ProgramWindow, EachAccessorGivesItsControlEveryTime) {
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    std::vector<std::string> registered;
    for (const auto& [name, control] : w->Controls()) registered.push_back(name.Std());
    EXPECT_EQ(registered,
              std::vector<std::string>(std::begin(kControlNames), std::end(kControlNames)));

    const Ref<rt::Object> got[] = {
        rt::Invoke(W1::slot::BevelButton1, w), rt::Invoke(W1::slot::Listbox1, w),
        rt::Invoke(W1::slot::Label4, w), rt::Invoke(W1::slot::TextArea1, w)};
    const Ref<rt::Object> again[] = {
        rt::Invoke(W1::slot::BevelButton1, w), rt::Invoke(W1::slot::Listbox1, w),
        rt::Invoke(W1::slot::Label4, w), rt::Invoke(W1::slot::TextArea1, w)};
    rt::ClassTable* const classes[] = {rt::BevelButton::__Lookup(), rt::Listbox::__Lookup(),
                                       rt::Label::__Lookup(), rt::TextArea::__Lookup()};
    for (size_t i = 0; i < 4; ++i) {
      SCOPED_TRACE(kControlNames[i]);
      ASSERT_TRUE(got[i]);
      EXPECT_EQ(got[i]->Class(), classes[i]);
      EXPECT_EQ(got[i], Window::_ControlByName(w.get(), kControlNames[i]));
      EXPECT_EQ(got[i], again[i]);
      EXPECT_EQ(static_cast<rt::Control*>(got[i].get())->Name, rt::String(kControlNames[i]));
    }

    // The button's Action handler: the window's own member, with the window as target.
    rt::Delegate* d = rt::RuntimeEventHandlerDelegate(got[0].get(), rt::BevelButton::Action);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Invoker(), rt::EraseFn(&quorvane::Delegate::IM_Invoke));
    EXPECT_EQ(d->Function(), rt::EraseFn(&W1::BevelButton1_Action));
    EXPECT_EQ(d->Target(), w.get());
    EXPECT_EQ(d->Signature(), rt::String("( BevelButton )"));
    EXPECT_EQ(d->Flag(), 1);
  });
}

TEST(ProgramWindow, LayoutSetsTheSharedMenuBarBeforeTheWindowsRecord) {
  qtest::ScriptedPrompter prompter;
  bool same = false;
  qtest::RunResult run = qtest::RunProgram([&] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    same = Window::GetMenuBar(w.get()) == rt::Application::GetMenuBar(rt::RegisteredApplication());
  });
  EXPECT_TRUE(same);
  const int created = qtest::IndexOf(run.log, "event Window1.Window1.CreateControls");
  const int layout = qtest::IndexOf(run.log, "event Window1.Window1.Layout");
  const int barSet = qtest::IndexOf(run.log, "Window.MenuBar set");
  const int record = qtest::IndexOf(run.log, "_SetProperties Window1.Window1");
  ASSERT_GE(layout, 0);
  EXPECT_LT(layout, barSet);
  EXPECT_LT(barSet, record);
  // Each control got its record inside CreateControls, in creation order.
  int last = created;
  for (const char* cls : {"BevelButton", "Listbox", "Label", "TextArea"}) {
    const int at = qtest::IndexOf(run.log, std::string("_SetProperties ") + cls);
    EXPECT_GT(at, last) << cls;
    last = at;
  }
  EXPECT_LT(last, layout);
}

TEST(ProgramWindow, TheWindowTakesItsRecord) {
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    rt::WindowPeer* peer = w->Peer();
    EXPECT_TRUE(peer->isVisible());
    EXPECT_EQ(peer->windowTitle(), "Quorvane");
    EXPECT_EQ(peer->Content()->size(), QSize(600, 400));
    // The menu bar, when the window shows one, sits above the content, not over it.
    const int menu = peer->MenuSpace(600);
    EXPECT_EQ(peer->Content()->y(), menu);
    if (QWidget* bar = peer->menuWidget(); bar && bar->isVisible()) {
      EXPECT_LE(bar->geometry().bottom(), peer->Content()->geometry().top());
    }
    EXPECT_EQ(peer->minimumSize(), QSize(64, 64 + menu));
    EXPECT_EQ(peer->maximumSize(), QSize(32000, 32000 + menu));
    const Qt::WindowFlags flags = peer->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(peer->Content()->autoFillBackground());  // HasBackColor is False
    EXPECT_TRUE(Window::GetMenuBarVisible(w.get()));
    // Kept as given.
    EXPECT_EQ(w->MacProcId, 0);
    EXPECT_TRUE(w->LiveResize);
  });
}

TEST(ProgramWindow, ControlsStandWhereTheirRecordsPutThemAndFollowTheirLocks) {
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    ExpectPlaces(w.get(), kDesigned);

    ResizeContent(w.get(), 800, 600);
    ASSERT_EQ(w->Peer()->Content()->size(), QSize(800, 600));
    EXPECT_EQ(Window::GetWidth(w.get()), 800);
    ExpectPlaces(w.get(), kStretched);

    // Smaller than designed and back: the controls get their own sizes again.
    ResizeContent(w.get(), 300, 200);
    ResizeContent(w.get(), 600, 400);
    ExpectPlaces(w.get(), kDesigned);

    // Setting the window's size by its properties moves the controls the same way.
    Window::SetWidth(w.get(), 800);
    Window::SetHeight(w.get(), 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->Peer()->Content()->size(), QSize(800, 600));
    ExpectPlaces(w.get(), kStretched);
  });
}

TEST(ProgramWindow, ControlsShowTheirRecordsProperties) {
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    auto* button = wtest::PeerOf<QPushButton>(w.get(), "BevelButton1");
    auto* list = wtest::PeerOf<QTreeView>(w.get(), "Listbox1");
    auto* label = wtest::PeerOf<QLabel>(w.get(), "Label4");
    auto* area = wtest::PeerOf<QPlainTextEdit>(w.get(), "TextArea1");
    ASSERT_TRUE(button && list && label && area);
    for (QWidget* peer : std::initializer_list<QWidget*>{button, list, label, area}) {
      EXPECT_TRUE(peer->isVisible());
      EXPECT_TRUE(peer->isEnabled());
      // "System" at size 0: the desktop's font, whatever it is.
      EXPECT_EQ(peer->font(), QApplication::font(peer->parentWidget()));
    }

    EXPECT_EQ(button->text(), "Select Music Folder");
    EXPECT_EQ(button->toolTip(), "Required");
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);  // AcceptFocus is False
    EXPECT_FALSE(button->isCheckable());

    EXPECT_EQ(label->text(), "All from this list");
    EXPECT_TRUE(label->alignment() & Qt::AlignLeft);
    EXPECT_FALSE(label->wordWrap());

    EXPECT_EQ(list->toolTip(), "All videos from this list will be used.");
    EXPECT_EQ(list->frameShape(), QFrame::StyledPanel);
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_EQ(list->model()->columnCount(), 1);
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    EXPECT_EQ(area->frameShape(), QFrame::StyledPanel);
    EXPECT_EQ(area->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_FALSE(area->isReadOnly());
    Ref<rt::Object> areaControl = Window::_ControlByName(w.get(), "TextArea1");
    EXPECT_TRUE(rt::TextArea::GetStyled(static_cast<rt::TextArea*>(areaControl.get())));
    EXPECT_TRUE(area->tabChangesFocus());
    // White, the default background: the desktop's.
    EXPECT_EQ(area->palette().color(QPalette::Base), QApplication::palette(area).color(QPalette::Base));
    EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(area->toPlainText().isEmpty());

    // Tab goes from the list to the text area; the button and the label take no focus.
    std::vector<QWidget*> order;
    QWidget* at = list;
    for (int i = 0; i < 64 && order.size() < 2; ++i, at = at->nextInFocusChain())
      if (at == list || at == area) order.push_back(at);
    EXPECT_EQ(order, (std::vector<QWidget*>{list, area}));
  });
}

TEST(ProgramWindow, AClickOnTheButtonRaisesItsActionEvent) {
  qtest::ScriptedPrompter prompter;
  qtest::RunResult run = qtest::RunProgram([] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    auto* button = wtest::PeerOf<QPushButton>(w.get(), "BevelButton1");
    ASSERT_TRUE(button);
    button->click();
  });
  EXPECT_GE(qtest::IndexOf(run.log, "event BevelButton.Action"), 0);
}

// ---- windows made here ----

class Controls : public wtest::Framework {};

struct Pressed {
  int calls = 0;
  Window* window = nullptr;
  rt::BevelButton* button = nullptr;
} gPressed;

void RecordPress(Window* w, rt::BevelButton* b) {
  ++gPressed.calls;
  gPressed.window = w;
  gPressed.button = b;
}

TEST_F(Controls, AClickRunsTheHandlerThroughTheStubAndTheInvoker) {
  Ref<Window> w = NewWindow();
  Ref<rt::BevelButton> button = AddControl<rt::BevelButton>(w.get(), "B");
  Ref<rt::Delegate> d =
      rt::RuntimeCreateDelegate(rt::EraseFn(&quorvane::Delegate::IM_Invoke),
                                rt::EraseFn(&RecordPress), w.get(), "( BevelButton )", 1);
  rt::RuntimeAddEventHandler(button.get(), rt::BevelButton::Action, &quorvane::AddHandler::Stub17,
                             d.get());
  auto* peer = static_cast<QPushButton*>(button->Peer());
  gPressed = {};
  peer->click();
  EXPECT_EQ(gPressed.calls, 1);
  EXPECT_EQ(gPressed.window, w.get());
  EXPECT_EQ(gPressed.button, button.get());

  rt::RectControl::SetEnabled(button.get(), false);
  peer->click();
  EXPECT_EQ(gPressed.calls, 1);
}

TEST_F(Controls, ANilTargetRaisesNilObjectExceptionAndRunsNoHandler) {
  Ref<Window> w = NewWindow();
  Ref<rt::BevelButton> button = AddControl<rt::BevelButton>(w.get(), "B");
  Ref<rt::Delegate> d =
      rt::RuntimeCreateDelegate(rt::EraseFn(&quorvane::Delegate::IM_Invoke),
                                rt::EraseFn(&RecordPress), nullptr, "( BevelButton )", 0);
  rt::RuntimeAddEventHandler(button.get(), rt::BevelButton::Action, &quorvane::AddHandler::Stub17,
                             d.get());
  gPressed = {};
  EXPECT_EQ(qtest::RaisedClass([&] { quorvane::AddHandler::Stub17(button.get()); }),
            "NilObjectException");
  // Raised by a click, it goes to the framework's dispatch.
  static_cast<QPushButton*>(button->Peer())->click();
  EXPECT_TRUE(rt::ErrorPending());
  EXPECT_EQ(gPressed.calls, 0);
  // An object without a handler has nothing for the stub to call.
  Ref<rt::BevelButton> other = AddControl<rt::BevelButton>(w.get(), "C");
  EXPECT_EQ(qtest::RaisedClass([&] { quorvane::AddHandler::Stub17(other.get()); }),
            "NilObjectException");
}

TEST_F(Controls, AFailureInCreateControlsKeepsWhatWasMadeAndReachesTheFramework) {
  std::vector<std::string> log;
  rt::SetCallLog(&log);
  rt::InjectFault("Window._AddControl", 3);  // while Label4 is made
  Ref<Window> w = W1::Window1();
  rt::SetCallLog(nullptr);
  ASSERT_TRUE(w);
  std::vector<std::string> registered;
  for (const auto& [name, control] : w->Controls()) registered.push_back(name.Std());
  EXPECT_EQ(registered, (std::vector<std::string>{"BevelButton1", "Listbox1"}));
  Ref<rt::Object> button = Window::_ControlByName(w.get(), "BevelButton1");
  EXPECT_NE(rt::RuntimeEventHandlerDelegate(button.get(), rt::BevelButton::Action), nullptr);
  EXPECT_EQ(qtest::IndexOf(log, "_SetProperties Listbox"),
            qtest::IndexOf(log, "_SetProperties BevelButton") + 1);
  EXPECT_EQ(qtest::IndexOf(log, "_SetProperties TextArea"), -1);
  EXPECT_TRUE(rt::ErrorPending());
  EXPECT_GE(
      qtest::IndexOf(log, "error routed: RuntimeException: injected fault in Window._AddControl"),
      0);
}

TEST_F(Controls, AccessorsOfANilWindowRaiseNilObjectException) {
  EXPECT_EQ(qtest::RaisedClass([] { W1::BevelButton1(nullptr); }), "NilObjectException");
  EXPECT_EQ(qtest::RaisedClass([] { W1::Listbox1(nullptr); }), "NilObjectException");
  EXPECT_EQ(qtest::RaisedClass([] { W1::Label4(nullptr); }), "NilObjectException");
  EXPECT_EQ(qtest::RaisedClass([] { W1::TextArea1(nullptr); }), "NilObjectException");
  // A window without the controls gives nil, for the callers to test.
  Ref<Window> w = NewWindow();
  EXPECT_FALSE(W1::TextArea1(w.get()));
}

TEST_F(Controls, TabOrderFollowsTabIndex) {
  Ref<Window> w = NewWindow();
  Ref<rt::TextArea> a = AddControl<rt::TextArea>(w.get(), "A");
  Ref<rt::TextArea> b = AddControl<rt::TextArea>(w.get(), "B");
  Ref<rt::TextArea> c = AddControl<rt::TextArea>(w.get(), "C");
  rt::RectControl::SetTabIndex(a.get(), 2);
  rt::RectControl::SetTabIndex(b.get(), 0);
  rt::RectControl::SetTabIndex(c.get(), 1);
  std::vector<QWidget*> order;
  QWidget* at = b->Peer();
  for (int i = 0; i < 64 && order.size() < 3; ++i, at = at->nextInFocusChain())
    if (at == a->Peer() || at == b->Peer() || at == c->Peer()) order.push_back(at);
  EXPECT_EQ(order, (std::vector<QWidget*>{b->Peer(), c->Peer(), a->Peer()}));
}

TEST_F(Controls, ControlsFollowTheirLocksInBothDirections) {
  Ref<Window> w = NewWindow();
  Window::SetWidth(w.get(), 200);
  Window::SetHeight(w.get(), 100);
  struct Case {
    bool left, top, right, bottom;
    QRect after;  // placed at (10, 10, 50, 20), window grown by 40 x 30
  };
  const Case cases[] = {
      {true, true, false, false, {10, 10, 50, 20}}, {false, false, false, false, {10, 10, 50, 20}},
      {true, true, true, false, {10, 10, 90, 20}},  {false, false, true, true, {50, 40, 50, 20}},
      {true, true, true, true, {10, 10, 90, 50}},   {true, false, false, true, {10, 40, 50, 20}},
  };
  std::vector<Ref<rt::TextArea>> made;
  for (const Case& c : cases) {
    Ref<rt::TextArea> t = AddControl<rt::TextArea>(w.get(), "T");
    rt::RectControl::SetLeft(t.get(), 10);
    rt::RectControl::SetTop(t.get(), 10);
    rt::RectControl::SetWidth(t.get(), 50);
    rt::RectControl::SetHeight(t.get(), 20);
    rt::RectControl::SetLockLeft(t.get(), c.left);
    rt::RectControl::SetLockTop(t.get(), c.top);
    rt::RectControl::SetLockRight(t.get(), c.right);
    rt::RectControl::SetLockBottom(t.get(), c.bottom);
    made.push_back(t);
  }
  Window::SetWidth(w.get(), 240);
  Window::SetHeight(w.get(), 130);
  for (size_t i = 0; i < made.size(); ++i)
    EXPECT_EQ(made[i]->Peer()->geometry(), cases[i].after) << "case " << i;
}

}  // namespace
