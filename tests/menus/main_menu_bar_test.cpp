#include "menus/main_menu_bar.h"

#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/ui/menu.h"
#include "support/harness.h"

namespace {

namespace MMB = quorvane::MainMenuBar;
using rt::MenuItem;
using rt::Ref;
using Lines = std::vector<std::string>;

struct Row {
  const char* name;
  const char* text;
  const char* shortcut;
  bool quit;
};
const Row kFile[] = {{"FileQuit", "&Quit", "Cmd+Q", true}};
const Row kEdit[] = {
    {"EditUndo", "&Undo", "Cmd+Z", false},   {"EditSeparator1", "-", "", false},
    {"EditCut", "Cu&t", "Cmd+X", false},     {"EditCopy", "&Copy", "Cmd+C", false},
    {"EditPaste", "&Paste", "Cmd+V", false}, {"EditClear", "&Delete", "", false},
    {"EditSeparator2", "-", "", false},      {"EditSelectAll", "Select &All", "Cmd+A", false},
};

using qtest::RaisedClass;

Lines WithPrefix(const Lines& log, const std::string& prefix) {
  Lines out;
  for (const std::string& line : log)
    if (line.starts_with(prefix)) out.push_back(line.substr(prefix.size()));
  return out;
}

// Every test starts and ends with the static empty and no menu object alive.
class MainMenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qtest::EnsureQtApplication();
    ASSERT_FALSE(MMB::_implicitInstance);
    liveBefore = rt::LiveObjectCount();
    rt::SetCallLog(&log);
  }
  void TearDown() override {
    rt::ClearFaults();
    MMB::_implicitInstance.__Exit();
    rt::SetCallLog(nullptr);
    EXPECT_FALSE(MMB::_implicitInstance);
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore) << "the bar and its entries are released";
  }
  static void ExpectMenu(MenuItem* menu, const char* name, const char* text, const Row* rows,
                         size_t n) {
    SCOPED_TRACE(name);
    EXPECT_EQ(menu->Class(), MenuItem::__Lookup());
    EXPECT_EQ(menu->Name().Std(), name);
    EXPECT_EQ(menu->Text().Std(), text);
    EXPECT_TRUE(menu->KeyboardShortcut().IsEmpty());
    ASSERT_EQ(menu->Children().size(), n);
    for (size_t i = 0; i < n; ++i) {
      const Ref<MenuItem>& item = menu->Children()[i];
      EXPECT_EQ(item->Name().Std(), rows[i].name);
      EXPECT_EQ(item->Text().Std(), rows[i].text);
      EXPECT_EQ(item->KeyboardShortcut().Std(), rows[i].shortcut);
      EXPECT_TRUE(item->AutoEnable());
      EXPECT_TRUE(item->Visible());
      EXPECT_TRUE(item->Children().empty());
      EXPECT_EQ(item->Class(), rows[i].quit ? rt::QuitMenuItem::__Lookup() : MenuItem::__Lookup());
    }
  }

  Lines log;
  long liveBefore = 0;
};

TEST_F(MainMenuBarTest, BuildsTheFileAndEditMenusInOrder) {
  Ref<rt::MenuBar> bar = MMB::MainMenuBar();
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->Class(), MMB::__Lookup());
  EXPECT_EQ(bar->Class()->name, "MainMenuBar.MainMenuBar");
  EXPECT_EQ(MMB::_implicitInstance, bar);
  ASSERT_EQ(bar->Children().size(), 2u);
  ExpectMenu(bar->Children()[0].get(), "FileMenu", "&File", kFile, std::size(kFile));
  ExpectMenu(bar->Children()[1].get(), "EditMenu", "&Edit", kEdit, std::size(kEdit));
  EXPECT_TRUE(bar->Name().IsEmpty()) << "the bar is what RuntimeNewObject made, plus its menus";
  EXPECT_TRUE(bar->Text().IsEmpty());
}

TEST_F(MainMenuBarTest, StoresEachEntryAndAppendsItBeforeTheNextIsMade) {
  Ref<rt::MenuBar> bar = MMB::MainMenuBar();
  // The separators get no shortcut store; three entries store the empty text.
  EXPECT_EQ(WithPrefix(log, "MenuItem.KeyboardShortcut set "),
            (Lines{"", "Cmd+Q", "", "Cmd+Z", "Cmd+X", "Cmd+C", "Cmd+V", "", "Cmd+A"}));
  // Per entry: Name, AutoEnable, Text, Visible, [shortcut], [lookup of its menu], Append.
  Lines steps;
  for (const std::string& line : log)
    if (line.starts_with("MenuItem.")) steps.push_back(line);
  const Lines firstTwo = {
      "MenuItem.Name set FileMenu",
      "MenuItem.AutoEnable set True",
      "MenuItem.Text set &File",
      "MenuItem.Visible set True",
      "MenuItem.KeyboardShortcut set ",
      "MenuItem.Append FileMenu",
      "MenuItem.Name set FileQuit",
      "MenuItem.AutoEnable set True",
      "MenuItem.Text set &Quit",
      "MenuItem.Visible set True",
      "MenuItem.KeyboardShortcut set Cmd+Q",
      "MenuItem.Child FileMenu",
      "MenuItem.Append FileQuit",
  };
  ASSERT_GE(steps.size(), firstTwo.size());
  EXPECT_EQ(Lines(steps.begin(), steps.begin() + firstTwo.size()), firstTwo);
  EXPECT_EQ(WithPrefix(log, "MenuItem.Child "),
            (Lines{"FileMenu", "EditMenu", "EditMenu", "EditMenu", "EditMenu", "EditMenu",
                   "EditMenu", "EditMenu", "EditMenu"}));
  EXPECT_EQ(WithPrefix(log, "MenuItem.Append ").size(), 11u);
  EXPECT_EQ(bar->RefCount(), 2) << "the static and this test";
  for (const Ref<MenuItem>& menu : bar->Children()) {
    EXPECT_EQ(menu->RefCount(), 1) << "only the bar holds its menus";
    for (const Ref<MenuItem>& item : menu->Children()) EXPECT_EQ(item->RefCount(), 1);
  }
}

TEST_F(MainMenuBarTest, IsBuiltOnceHoweverOftenItIsAskedFor) {
  Ref<rt::MenuBar> first = MMB::MainMenuBar();
  const long live = rt::LiveObjectCount();
  const size_t logged = log.size();
  Ref<rt::MenuBar> second = MMB::MainMenuBar();
  EXPECT_EQ(first, second);
  EXPECT_EQ(rt::LiveObjectCount(), live);
  EXPECT_EQ(log.size(), logged) << "nothing is built again";
  EXPECT_EQ(first->Children().size(), 2u);
  EXPECT_EQ(first->Children()[1]->Children().size(), 8u);
}

TEST_F(MainMenuBarTest, EveryEntryIsFoundByNameBelowTheBar) {
  Ref<rt::MenuBar> bar = MMB::MainMenuBar();
  for (const char* name :
       {"FileMenu", "FileQuit", "EditMenu", "EditUndo", "EditSeparator1", "EditCut", "EditCopy",
        "EditPaste", "EditClear", "EditSeparator2", "EditSelectAll"}) {
    Ref<MenuItem> found = rt::Invoke(MenuItem::slot::_Lookup, bar, rt::String(name));
    ASSERT_TRUE(found) << name;
    EXPECT_EQ(found->Name().Std(), name);
  }
  EXPECT_FALSE(rt::Invoke(MenuItem::slot::_Lookup, bar, rt::String("EditNothing")));
  EXPECT_EQ(rt::Invoke(MenuItem::slot::Child, bar, rt::String("FileMenu")), bar->Children()[0]);
  EXPECT_EQ(rt::Invoke(MenuItem::slot::Child, bar, rt::String("EditMenu")), bar->Children()[1]);
  EXPECT_FALSE(rt::Invoke(MenuItem::slot::Child, bar, rt::String("EditCut")))
      << "an item is not a child of the bar";
  Ref<MenuItem> quit = rt::Invoke(MenuItem::slot::_Lookup, bar, rt::String("FileQuit"));
  EXPECT_TRUE(rt::CheckCast<rt::QuitMenuItem>(quit, rt::QuitMenuItem::__Lookup()));
}

// A failure anywhere in the construction leaves the static empty and releases the half-built
// bar; the next access builds a whole new one.
TEST_F(MainMenuBarTest, AFailureDuringConstructionLeavesTheStaticEmpty) {
  const std::pair<const char*, int> faults[] = {
      {"MenuItem.Constructor", 1}, {"MenuItem.Append", 1},      {"MenuItem.Child", 1},
      {"MenuItem.Append", 3},      {"MenuItem.Constructor", 7}, {"MenuItem.Append", 11},
  };
  for (const auto& [operation, nth] : faults) {
    SCOPED_TRACE(std::string(operation) + " #" + std::to_string(nth));
    rt::InjectFault(operation, nth);
    EXPECT_EQ(RaisedClass([] { MMB::MainMenuBar(); }), "RuntimeException");
    rt::ClearFaults();
    EXPECT_FALSE(MMB::_implicitInstance);
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore);
  }
  Ref<rt::MenuBar> bar = MMB::MainMenuBar();
  ASSERT_EQ(bar->Children().size(), 2u);
  EXPECT_EQ(bar->Children()[0]->Children().size(), 1u);
  EXPECT_EQ(bar->Children()[1]->Children().size(), 8u);
}

TEST_F(MainMenuBarTest, TheFinalizerEmptiesTheStaticAndReleasesTheBar) {
  MMB::_implicitInstance.__Exit();  // no bar yet: nothing to release
  EXPECT_FALSE(MMB::_implicitInstance);
  { Ref<rt::MenuBar> bar = MMB::MainMenuBar(); }
  EXPECT_GT(rt::LiveObjectCount(), liveBefore) << "the static keeps it";
  MMB::_implicitInstance.__Exit();
  EXPECT_FALSE(MMB::_implicitInstance);
  EXPECT_EQ(rt::LiveObjectCount(), liveBefore);
}

TEST(MainMenuBarClass, TableIsMenuBarsWithTheConstructorReplacedAndTwoBuilders) {
  rt::ClassTable* table = MMB::__Lookup();
  MMB::__ctblinit();
  EXPECT_EQ(MMB::__Lookup(), table);
  rt::ClassTable* menuBar = rt::MenuBar::__Lookup();
  rt::ClassTable* menuItem = MenuItem::__Lookup();
  EXPECT_EQ(table->super, menuBar);
  EXPECT_EQ(menuBar->super, menuItem);
  EXPECT_EQ(table->name, "MainMenuBar.MainMenuBar");

  ASSERT_EQ(menuItem->vtable.size(), 25u);
  ASSERT_EQ(menuBar->vtable.size(), 26u);
  ASSERT_EQ(table->vtable.size(), 28u);
  for (size_t i = 0; i < 26; ++i) {
    EXPECT_NE(menuBar->vtable[i], nullptr) << i;
    if (i == 4) continue;
    EXPECT_EQ(table->vtable[i], menuBar->vtable[i]) << i;
    if (i != 19 && i != 25) {
      EXPECT_EQ(menuBar->vtable[i], menuItem->vtable[i]) << i;
    }
  }
  EXPECT_EQ(table->vtable[4], rt::EraseFn(&MMB::Constructor));
  EXPECT_EQ(table->vtable[26], rt::EraseFn(&MMB::Untitled0));
  EXPECT_EQ(table->vtable[27], rt::EraseFn(&MMB::Untitled1));
  EXPECT_EQ(menuBar->vtable[19], rt::EraseFn(&rt::MenuBar::_DependencyList));
  EXPECT_EQ(menuBar->vtable[25], rt::EraseFn(&rt::MenuBar::_InstallClone));
  EXPECT_EQ(menuItem->vtable[21],
            rt::EraseFn(
                static_cast<Ref<MenuItem> (*)(MenuItem*, const rt::String&)>(&MenuItem::_Lookup)));

  // The members: MenuBar's, with the hooks among them, then the two builders.
  ASSERT_GE(table->members.size(), 2u);
  const auto& members = table->members;
  EXPECT_EQ(members[members.size() - 2].name, "Untitled0");
  EXPECT_EQ(members.back().name, "Untitled1");
  int hooks = 0, slotted = 0;
  for (const rt::MemberDescription& m : members) {
    if (m.name == "__Init" || m.name == "__Exit") ++hooks;
    if (m.slot >= 0) ++slotted;
    if (m.slot == 4) {
      EXPECT_EQ(m.signature, "%%");
      EXPECT_EQ(m.function, rt::EraseFn(&MMB::Constructor));
    }
    if (m.slot >= 26) {
      EXPECT_EQ(m.signature, "%%");
    }
  }
  EXPECT_EQ(hooks, 3) << "MenuItem.__Exit, MenuItem.__Init, MenuBar.__Init";
  EXPECT_EQ(slotted, 28);
  EXPECT_EQ(members.size(), 31u);

  // No event handler of its own: "Action" and "EnableMenu" reach none.
  EXPECT_EQ(table->EventCount(), 2);
  EXPECT_EQ(table->EventName(MenuItem::Action), "Action");
  EXPECT_EQ(table->EventName(MenuItem::EnableMenu), "EnableMenu");
  EXPECT_EQ(table->HandlerFor(MenuItem::Action), nullptr);
  EXPECT_EQ(table->HandlerFor(MenuItem::EnableMenu), nullptr);
  EXPECT_EQ(rt::QuitMenuItem::__Lookup()->HandlerFor(MenuItem::Action),
            rt::HandlerOf<&rt::QuitMenuItem::Event_Action>());
}

// The framework's own tree operations, used by nothing of the program but relied on to keep
// the tree sound.
TEST(MenuItemTree, KeepsOneParentPerItemAndRefusesCycles) {
  qtest::EnsureQtApplication();
  const long before = rt::LiveObjectCount();
  {
    auto make = [](const char* name) {
      Ref<rt::Object> o = rt::RuntimeNewObject(MenuItem::__Lookup());
      Ref<MenuItem> m(static_cast<MenuItem*>(o.get()));
      MenuItem::SetName(m.get(), name);
      return m;
    };
    Ref<MenuItem> a = make("a"), b = make("b"), c = make("c");
    MenuItem::Append(a.get(), b.get());
    MenuItem::Append(b.get(), c.get());
    EXPECT_EQ(RaisedClass([&] { MenuItem::Append(c.get(), a.get()); }), "RuntimeException");
    EXPECT_EQ(RaisedClass([&] { MenuItem::Append(a.get(), a.get()); }), "RuntimeException");
    EXPECT_EQ(rt::RuntimeMenuItemLookup(a.get(), "c"), c);

    MenuItem::Append(a.get(), c.get());  // moves: one place per item
    EXPECT_TRUE(b->Children().empty());
    EXPECT_EQ(c->Parent(), a.get());
    EXPECT_EQ(MenuItem::Count(a.get()), 2);
    EXPECT_EQ(MenuItem::Item(a.get(), 1), c);
    EXPECT_EQ(RaisedClass([&] { MenuItem::Item(a.get(), 2); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedClass([&] { MenuItem::Insert(a.get(), 3, b.get()); }), "OutOfBoundsException");

    Ref<MenuItem> copy = MenuItem::Clone(a.get());
    EXPECT_EQ(copy->Name().Std(), "a");
    ASSERT_EQ(copy->Children().size(), 2u);
    EXPECT_NE(copy->Children()[1], c);
    EXPECT_EQ(copy->Children()[1]->Name().Std(), "c");

    MenuItem::Close(c.get());
    EXPECT_EQ(c->Parent(), nullptr);
    MenuItem::Remove(a.get(), rt::String("b"));
    EXPECT_EQ(MenuItem::Count(a.get()), 0);
    EXPECT_EQ(RaisedClass([&] { MenuItem::Append(a.get(), nullptr); }), "NilObjectException");
    MenuItem::Append(a.get(), b.get());
  }
  EXPECT_EQ(rt::LiveObjectCount(), before) << "a tree goes with its root";
}

}  // namespace
