// The program's class tables row by row against tables written out by hand: every member
// description of Window1, every virtual-table slot of MainMenuBar.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "menus/main_menu_bar.h"
#include "platform/core/class_table.h"
#include "platform/ui/window.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
namespace MMB = quorvane::MainMenuBar;
using rt::AnyFn;
using rt::EraseFn;
using rt::MemberKind;
using rt::Ref;
using rt::String;
using W = rt::Window;
using M = rt::MenuItem;

constexpr MemberKind V = MemberKind::Virtual;
constexpr MemberKind K = MemberKind::ClassConstructor;
constexpr MemberKind P = MemberKind::Plain;

struct Row {
  const char* name;
  const char* signature;
  AnyFn function;
  int slot;  // -1: outside the virtual table
  MemberKind kind = V;
};

template <class F>
AnyFn Fn(F* f) {
  return EraseFn(f);
}

TEST(Window1Class, EveryMemberDescriptionIsAsWrittenOut) {
  using WindowRect = void (*)(W*, int32_t, int32_t, int32_t, int32_t, bool);
  const Row rows[] = {
      {"AcceptFileDrop", "%%s", Fn(&W::AcceptFileDrop), 0},
      {"AcceptMacDataDrop", "%%s", Fn(&W::AcceptMacDataDrop), 1},
      {"AcceptPictureDrop", "%%", Fn(&W::AcceptPictureDrop), 2},
      {"AcceptRawDataDrop", "%%s", Fn(&W::AcceptRawDataDrop), 3},
      {"AcceptTextDrop", "%%", Fn(&W::AcceptTextDrop), 4},
      {"BitmapForCaching", "%o<Picture>%i4i4", Fn(&W::BitmapForCaching), 5},
      {"Close", "%%", Fn(&W::Close), 6},
      {"Constructor", "%%", Fn(&W::Constructor), 7},
      {"Control", "%o<Control>%i4", Fn(&W::Control), 8},
      {"DrawInto", "%%o<Graphics>i4i4b", Fn(&W::DrawInto), 9},
      {"FocusNext", "%%", Fn(&W::FocusNext), 10},
      {"FocusPrevious", "%%", Fn(&W::FocusPrevious), 11},
      {"Hide", "%%", Fn(&W::Hide), 12},
      {"Invalidate", "%%b", Fn(static_cast<void (*)(W*, bool)>(&W::Invalidate)), 13},
      {"Invalidate", "%%i4i4i4i4b", Fn(static_cast<WindowRect>(&W::Invalidate)), 14},
      {"Maximize", "%%", Fn(&W::Maximize), 15},
      {"Minimize", "%%", Fn(&W::Minimize), 16},
      {"Operator_Convert", "%?<WindowPtr>%", Fn(&W::Operator_Convert), 17},
      {"Refresh", "%%b", Fn(&W::Refresh), 18},
      {"RefreshRect", "%%i4i4i4i4b", Fn(&W::RefreshRect), 19},
      {"Restore", "%%", Fn(&W::Restore), 20},
      {"SetFocus", "%%", Fn(&W::SetFocus), 21},
      {"Show", "%%", Fn(&W::Show), 22},
      {"ShowModal", "%%", Fn(&W::ShowModal), 23},
      {"ShowModalWithin", "%%o<Window>", Fn(&W::ShowModalWithin), 24},
      {"ShowWithin", "%%o<Window>i4", Fn(&W::ShowWithin), 25},
      {"TrueWindow", "%o<Window>%", Fn(&W::TrueWindow), 26},
      {"UpdateNow", "%%", Fn(&W::UpdateNow), 27},
      {"Window", "%%", Fn(&W::Window_), 28, K},
      {"_AddControl", "%%so<Object>", Fn(&W::_AddControl), 29},
      {"_AddMenuHandler", "%%sp", Fn(&W::_AddMenuHandler), 30},
      {"_ControlByName", "%o<Object>%s", Fn(&W::_ControlByName), 31},
      {"_ControlByNameIndex", "%o<Object>%si4", Fn(&W::_ControlByNameIndex), 32},
      {"_DependencyList", "%%", Fn(&W::_DependencyList), 33},
      {"_GetControl", "%o<Object>%s", Fn(&rt::RuntimeWindowControlByName), -1, P},
      {"_GetControlArray", "%o<Object>%si4", Fn(&rt::RuntimeWindowControlByNameIndex), -1, P},
      {"_Move", "%%i4i4i4i4", Fn(&W::_Move), 34},
      {"__Exit", "%%", Fn(&W::__Exit), -1, P},
      {"__Init", "%%", Fn(&W::__Init), -1, P},
      {"__New", "%o<Object>%p", Fn(&W::__New), 35},
      {"Layout", "%%", Fn(&W1::Layout), 36},
      {"CreateControls", "%%", Fn(&W1::CreateControls), 37},
      {"_CreateControls0", "%%", Fn(&W1::_CreateControls0), 38},
      {"BevelButton1", "%o<BevelButton>%", Fn(&W1::BevelButton1), 39},
      {"Listbox1", "%o<Listbox>%", Fn(&W1::Listbox1), 40},
      {"Label4", "%o<Label>%", Fn(&W1::Label4), 41},
      {"TextArea1", "%o<TextArea>%", Fn(&W1::TextArea1), 42},
      {"BevelButton1_Action", "%%o<BevelButton>", Fn(&W1::BevelButton1_Action), 43},
      {"EditMenu", "%o<MenuItem>%", Fn(&W1::EditMenu), 44},
      {"EditSelectAll", "%o<MenuItem>%", Fn(&W1::EditSelectAll), 45},
      {"EditSeparator2", "%o<MenuItem>%", Fn(&W1::EditSeparator2), 46},
      {"EditClear", "%o<MenuItem>%", Fn(&W1::EditClear), 47},
      {"EditPaste", "%o<MenuItem>%", Fn(&W1::EditPaste), 48},
      {"EditCopy", "%o<MenuItem>%", Fn(&W1::EditCopy), 49},
      {"EditCut", "%o<MenuItem>%", Fn(&W1::EditCut), 50},
      {"EditSeparator1", "%o<MenuItem>%", Fn(&W1::EditSeparator1), 51},
      {"EditUndo", "%o<MenuItem>%", Fn(&W1::EditUndo), 52},
      {"FileMenu", "%o<MenuItem>%", Fn(&W1::FileMenu), 53},
      {"FileQuit", "%o<QuitMenuItem>%", Fn(&W1::FileQuit), 54},
      {"openvideofolder", "%%", Fn(&W1::openvideofolder), 55},
      {"getid3info", "%%o<FolderItem>", Fn(&W1::getid3info), 56},
  };
  const rt::ClassTable* table = W1::__Lookup();
  const rt::ClassTable* window = W::__Lookup();
  ASSERT_EQ(table->members.size(), std::size(rows));
  ASSERT_EQ(table->vtable.size(), 57u);
  std::map<std::string, rt::Invoker> invokerOf;
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    const rt::MemberDescription& m = table->members[i];
    SCOPED_TRACE(std::to_string(i) + " " + row.name);
    EXPECT_EQ(m.name, row.name);
    EXPECT_EQ(m.signature, row.signature);
    EXPECT_EQ(m.function, row.function);
    EXPECT_EQ(m.slot, row.slot);
    EXPECT_EQ(m.kind, row.kind);
    const bool own = i >= window->members.size();
    EXPECT_EQ(m.hidden, std::string(row.name) == "_CreateControls0");
    if (std::string(row.name) == "_CreateControls0") {
      ASSERT_EQ(m.attributes.size(), 1u);
      EXPECT_EQ(m.attributes[0].name, "Hidden");
      EXPECT_TRUE(m.attributes[0].value.IsEmpty());
      EXPECT_EQ(m.attributes[0].flag, 0);
    } else {
      EXPECT_TRUE(m.attributes.empty());
    }
    if (row.slot >= 0) {
      EXPECT_EQ(table->vtable[static_cast<size_t>(row.slot)], row.function);
    }
    // Window's entries repeat Window's own descriptions, invoker included.
    if (!own) {
      EXPECT_EQ(m.invoker, window->members[i].invoker);
    }
    ASSERT_NE(m.invoker, nullptr);
    // One invoker per signature.
    auto [at, fresh] = invokerOf.emplace(m.signature, m.invoker);
    if (!fresh) {
      EXPECT_EQ(at->second, m.invoker) << "shares " << m.signature;
    }
  }
  for (const auto& [a, invA] : invokerOf)
    for (const auto& [b, invB] : invokerOf) {
      if (a != b) {
        EXPECT_NE(invA, invB) << a << " and " << b;
      }
    }
}

TEST(MainMenuBarClass, EverySlotHoldsTheFunctionWrittenOut) {
  using Lookup = Ref<M> (*)(M*, const String&);
  using LookupIndex = Ref<M> (*)(M*, const String&, int32_t);
  using FromText = void (*)(M*, const String&, const rt::Value&);
  const AnyFn slots[] = {
      Fn(&M::Append),
      Fn(&M::Child),
      Fn(&M::Clone),
      Fn(&M::Close),
      Fn(&MMB::Constructor),
      Fn(static_cast<void (*)(M*, M*)>(&M::Constructor)),
      Fn(static_cast<FromText>(&M::Constructor)),
      Fn(&M::Count),
      Fn(&M::Enable),
      Fn(&M::Handle),
      Fn(&M::Insert),
      Fn(&M::Item),
      Fn(static_cast<void (*)(M*)>(&M::MenuItem_)),
      Fn(static_cast<FromText>(&M::MenuItem_)),
      Fn(static_cast<Ref<M> (*)(M*)>(&M::PopUp)),
      Fn(static_cast<Ref<M> (*)(M*, int32_t, int32_t)>(&M::PopUp)),
      Fn(static_cast<void (*)(M*, int32_t)>(&M::Remove)),
      Fn(static_cast<void (*)(M*, M*)>(&M::Remove)),
      Fn(static_cast<void (*)(M*, const String&)>(&M::Remove)),
      Fn(&rt::MenuBar::_DependencyList),
      Fn(&M::_DisableEntirely),
      Fn(static_cast<Lookup>(&M::_Lookup)),
      Fn(static_cast<LookupIndex>(&M::_Lookup)),
      Fn(&M::_SelfEnable),
      Fn(&M::_Swap),
      Fn(&rt::MenuBar::_InstallClone),
      Fn(&MMB::Untitled0),
      Fn(&MMB::Untitled1),
  };
  const rt::ClassTable* table = MMB::__Lookup();
  ASSERT_EQ(table->vtable.size(), std::size(slots));
  for (size_t i = 0; i < std::size(slots); ++i) EXPECT_EQ(table->vtable[i], slots[i]) << i;
  // MenuBar keeps MenuItem's constructor: only the program's bar replaces it.
  EXPECT_EQ(rt::MenuBar::__Lookup()->vtable[4], Fn(static_cast<void (*)(M*)>(&M::Constructor)));
}

}  // namespace
