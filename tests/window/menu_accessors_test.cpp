// The window's menu-item accessors: items found anywhere below the window's menu bar.
#include "fixture.h"
#include "platform/ui/application.h"
#include "platform/ui/menu.h"
#include "window/window1.h"

namespace {

using rt::MenuItem;
using rt::Ref;
using rt::Window;
namespace W1 = quorvane::Window1;

Ref<MenuItem> NewItem(rt::ClassTable* cls, const char* name) {
  Ref<rt::Object> made = rt::RuntimeNewObject(cls);
  Ref<MenuItem> item(static_cast<MenuItem*>(made.get()));
  rt::Invoke(MenuItem::slot::Constructor, item);
  MenuItem::SetName(item.get(), name);
  return item;
}

// A bar shaped like the program's: File (Quit) and Edit with its items and separators.
Ref<MenuItem> NewBar(rt::ClassTable* quitClass = rt::QuitMenuItem::__Lookup()) {
  Ref<MenuItem> bar = NewItem(rt::MenuBar::__Lookup(), "MenuBar");
  Ref<MenuItem> file = NewItem(MenuItem::__Lookup(), "FileMenu");
  MenuItem::Append(file.get(), NewItem(quitClass, "FileQuit").get());
  MenuItem::Append(bar.get(), file.get());
  Ref<MenuItem> edit = NewItem(MenuItem::__Lookup(), "EditMenu");
  for (const char* name : {"EditUndo", "EditSeparator1", "EditCut", "EditCopy", "EditPaste",
                           "EditClear", "EditSeparator2", "EditSelectAll"})
    MenuItem::Append(edit.get(), NewItem(MenuItem::__Lookup(), name).get());
  MenuItem::Append(bar.get(), edit.get());
  return bar;
}

struct Accessor {
  const char* name;
  Ref<MenuItem> (*get)(Window*);
};
const Accessor kAccessors[] = {
    {"EditMenu", &W1::EditMenu},
    {"EditSelectAll", &W1::EditSelectAll},
    {"EditSeparator2", &W1::EditSeparator2},
    {"EditClear", &W1::EditClear},
    {"EditPaste", &W1::EditPaste},
    {"EditCopy", &W1::EditCopy},
    {"EditCut", &W1::EditCut},
    {"EditSeparator1", &W1::EditSeparator1},
    {"EditUndo", &W1::EditUndo},
    {"FileMenu", &W1::FileMenu},
    {"FileQuit", [](Window* w) { return Ref<MenuItem>(W1::FileQuit(w)); }},
};

class MenuAccessors : public wtest::Framework {};

TEST_F(MenuAccessors, EachFindsItsItemBelowTheBar) {
  Ref<Window> w = NewWindow();
  Ref<MenuItem> bar = NewBar();
  Window::SetMenuBar(w.get(), bar.get());
  for (const Accessor& a : kAccessors) {
    SCOPED_TRACE(a.name);
    Ref<MenuItem> item = a.get(w.get());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name(), rt::String(a.name));
    EXPECT_EQ(item, rt::RuntimeMenuItemLookup(bar.get(), a.name));
    EXPECT_EQ(item, a.get(w.get()));
  }
  Ref<rt::QuitMenuItem> quit = W1::FileQuit(w.get());
  EXPECT_TRUE(quit->IsA(rt::QuitMenuItem::__Lookup()));
  EXPECT_EQ(W1::EditCut(w.get()),
            MenuItem::Child(MenuItem::Child(bar.get(), "EditMenu").get(), "EditCut"));
  EXPECT_EQ(W1::FileMenu(w.get()), MenuItem::Child(bar.get(), "FileMenu"));
}

TEST_F(MenuAccessors, WithoutAMenuBarEachRaisesNilObjectException) {
  Ref<Window> w = NewWindow();
  for (const Accessor& a : kAccessors)
    EXPECT_EQ(qtest::RaisedClass([&] { a.get(w.get()); }), "NilObjectException") << a.name;
}

TEST_F(MenuAccessors, AMissingItemIsNilAndAnItemOfAnotherClassFailsTheCast) {
  Ref<Window> w = NewWindow();
  Ref<MenuItem> bar = NewItem(rt::MenuBar::__Lookup(), "MenuBar");
  Window::SetMenuBar(w.get(), bar.get());
  EXPECT_FALSE(W1::EditCut(w.get()));
  Window::SetMenuBar(w.get(), NewBar(MenuItem::__Lookup()).get());
  EXPECT_EQ(qtest::RaisedClass([&] { W1::FileQuit(w.get()); }), "IllegalCastException");
}

// In the running program the accessors look in the bar Layout gave the window.
TEST(ProgramMenuAccessors, TheProgramsBarHoldsTheItems) {
  qtest::ScriptedPrompter prompter;
  bool hasBar = false;
  qtest::RunProgram([&] {
    Ref<Window> w = qtest::MainWindow();
    ASSERT_TRUE(w);
    Ref<MenuItem> bar = Window::GetMenuBar(w.get());
    EXPECT_EQ(bar, rt::Application::GetMenuBar(rt::RegisteredApplication()));
    if (!(hasBar = static_cast<bool>(bar))) return;
    for (const Accessor& a : kAccessors) EXPECT_TRUE(a.get(w.get())) << a.name;
    EXPECT_TRUE(W1::FileQuit(w.get())->IsA(rt::QuitMenuItem::__Lookup()));
  });
  if (!hasBar) GTEST_SKIP() << "the program has no menu bar yet";
}

}  // namespace
