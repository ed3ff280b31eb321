// The main-thread rule over every user-interface operation the program relies on, in the
// running program: from a second thread each raises ThreadAccessingUIException and leaves
// what it would change as it was; the operations that make no thread test run there.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "menus/main_menu_bar.h"
#include "platform/core/array.h"
#include "platform/core/errors.h"
#include "platform/core/property_setter.h"
#include "platform/core/runtime_state.h"
#include "platform/files/folder_item.h"
#include "platform/ui/application.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/open_file_dialog.h"
#include "platform/ui/window.h"
#include "support/harness.h"
#include "support/scan_support.h"
#include "window/property_records.h"
#include "window/window1.h"

namespace {

namespace W1 = quorvane::Window1;
using rt::Ref;
using rt::String;

// The class of the error op raises on a thread of its own, "" when none.
std::string RaisedOffTheMainThread(const std::function<void()>& op) {
  std::string raised;
  std::thread([&] { raised = qtest::RaisedClass(op); }).join();
  return raised;
}

struct Operation {
  const char* name;
  std::function<void()> call;
  std::function<std::string()> state;  // read on the main thread before and after
};

rt::Application* TheApp() { return static_cast<rt::Application*>(rt::State().app.get()); }

template <class T>
Ref<T> Control(const char* name) {
  return Ref<T>(static_cast<T*>(rt::Window::_ControlByName(qtest::MainWindow().get(), name).get()));
}

std::string Rows(rt::Listbox* list) {
  std::string all;
  for (const std::string& row : qtest::Rows(qtest::MainWindow().get())) all += row + "|";
  return std::to_string(list->ListCount()) + ":" + all;
}

// Another value of the same type.
rt::PropertyValue Other(const rt::PropertyValue& v) {
  return std::visit(
      [](const auto& x) -> rt::PropertyValue {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, String>)
          return String(x.Std() + " changed");
        else if constexpr (std::is_same_v<T, rt::Color>)
          return rt::Color{static_cast<uint8_t>(x.red ^ 0x80), x.green, x.blue, x.alpha};
        else if constexpr (std::is_same_v<T, rt::FontUnits>)
          return x == rt::FontUnits::Pixel ? rt::FontUnits::Point : rt::FontUnits::Pixel;
        else if constexpr (std::is_same_v<T, bool>)
          return !x;
        else
          return static_cast<T>(x + 1);
      },
      v);
}

void CheckOperations(const std::vector<Operation>& ops) {
  for (const Operation& op : ops) {
    SCOPED_TRACE(op.name);
    const std::string before = op.state();
    EXPECT_EQ(RaisedOffTheMainThread(op.call), "ThreadAccessingUIException");
    EXPECT_EQ(op.state(), before) << "changed before the thread was tested";
  }
}

TEST(MainThreadTable, EveryUserInterfaceOperationRaisesOffTheMainThreadAndChangesNothing) {
  qtest::ScriptedPrompter prompter;
  qtest::RunResult run = qtest::RunProgram([&] {
    Ref<rt::Window> window = qtest::MainWindow();
    ASSERT_TRUE(window);
    Ref<rt::TextArea> area = Control<rt::TextArea>("TextArea1");
    Ref<rt::Listbox> list = Control<rt::Listbox>("Listbox1");
    rt::TextEdit::SetText(area.get(), "kept");
    Ref<rt::Object> madeApp;
    Ref<rt::MenuItem> bar = quorvane::MainMenuBar::MainMenuBar();
    Ref<rt::MenuItem> edit = rt::MenuItem::Child(bar.get(), "EditMenu");
    Ref<rt::Object> item = rt::RuntimeNewObject(rt::MenuItem::__Lookup());
    auto* menuItem = static_cast<rt::MenuItem*>(item.get());
    Ref<rt::Object> bare = rt::RuntimeNewObject(rt::Window::__Lookup());
    auto* bareWindow = static_cast<rt::Window*>(bare.get());
    Ref<rt::Object> loose = rt::Window::__New(window.get(), rt::Label::__Lookup());
    auto* looseLabel = static_cast<rt::RectControl*>(loose.get());
    Ref<rt::StringArray> row = rt::CreateArray(1, 0);
    row->At(0) = "from another thread";
    auto windows = [] { return std::to_string(rt::RuntimeWindows().size()); };
    auto barOf = [&] {
      return std::to_string(
          reinterpret_cast<uintptr_t>(rt::Window::GetMenuBar(window.get()).get()));
    };
    auto children = [&] { return std::to_string(edit->Children().size()); };
    auto itemState = [&] {
      return menuItem->Name().Std() + "|" + menuItem->Text().Std() + "|" +
             menuItem->KeyboardShortcut().Std() + "|" + std::to_string(menuItem->AutoEnable()) +
             std::to_string(menuItem->Visible());
    };
    auto nothing = [] { return std::string(); };

    CheckOperations({
        {"Application.MenuBar set", [&] { rt::Application::SetMenuBar(TheApp(), nullptr); },
         [&] { return std::to_string(static_cast<bool>(rt::Application::GetMenuBar(TheApp()))); }},
        {"Application.MenuBar get", [&] { rt::Application::GetMenuBar(TheApp()); }, nothing},
        {"Window.Constructor", [&] { rt::Window::Constructor(bareWindow); }, windows},
        {"Window.MenuBar set", [&] { rt::Window::SetMenuBar(window.get(), nullptr); }, barOf},
        {"Window.MenuBar get", [&] { rt::Window::GetMenuBar(window.get()); }, nothing},
        {"Window._AddControl", [&] { rt::Window::_AddControl(window.get(), "Loose", looseLabel); },
         [&] {
           return std::to_string(
               static_cast<bool>(rt::Window::_ControlByName(window.get(), "Loose")));
         }},
        {"RectControl.Constructor", [&] { rt::RectControl::Constructor(looseLabel); },
         [&] { return std::to_string(looseLabel->Peer() != nullptr); }},
        {"TextArea.Text set", [&] { rt::TextEdit::SetText(area.get(), "replaced"); },
         [&] { return rt::TextEdit::GetText(area.get()).Std(); }},
        {"TextArea.Text get", [&] { rt::TextEdit::GetText(area.get()); }, nothing},
        {"Listbox.DeleteAllRows", [&] { rt::Listbox::DeleteAllRows(list.get()); },
         [&] { return Rows(list.get()); }},
        {"Listbox.AddRow", [&] { rt::Listbox::AddRow(list.get(), row.get()); },
         [&] { return Rows(list.get()); }},
        {"MsgBox", [] { rt::MsgBox("from another thread"); },
         [&] { return std::to_string(prompter.messages.size()); }},
        {"GetOpenFolderItem", [] { rt::GetOpenFolderItem("audio/mpeg"); },
         [&] { return std::to_string(prompter.openFileRequests.size()); }},
        {"MenuItem.Constructor", [&] { rt::MenuItem::Constructor(menuItem); }, itemState},
        {"MenuItem.Name set", [&] { rt::MenuItem::SetName(menuItem, "Other"); }, itemState},
        {"MenuItem.Text set", [&] { rt::MenuItem::SetText(menuItem, "Other"); }, itemState},
        {"MenuItem.AutoEnable set", [&] { rt::MenuItem::SetAutoEnable(menuItem, false); },
         itemState},
        {"MenuItem.Visible set", [&] { rt::MenuItem::SetVisible(menuItem, false); }, itemState},
        {"MenuItem.KeyboardShortcut set",
         [&] { rt::MenuItem::SetKeyboardShortcut(menuItem, "Cmd+K"); }, itemState},
        {"MenuItem.Append", [&] { rt::MenuItem::Append(edit.get(), menuItem); }, children},
        {"MenuItem.Child", [&] { rt::MenuItem::Child(bar.get(), "EditMenu"); }, nothing},
        {"MenuItem._Lookup", [&] { rt::MenuItem::_Lookup(bar.get(), "EditCopy"); }, nothing},
    });
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(prompter.openFileRequests.empty());
  });
  EXPECT_TRUE(prompter.unhandledErrors.empty());
  EXPECT_EQ(run.status, 0);
}

// Every property the five records set is set through a user-interface operation.
TEST(MainThreadTable, EveryPropertyTheRecordsSetRaisesOffTheMainThreadAndKeepsItsValue) {
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([&] {
    namespace records = quorvane::PropertyRecords;
    const std::pair<const char*, rt::PropertyRecord> targets[] = {
        {"", records::Window1},
        {"BevelButton1", records::BevelButton1},
        {"Listbox1", records::Listbox1},
        {"Label4", records::Label4},
        {"TextArea1", records::TextArea1},
    };
    for (const auto& [name, record] : targets) {
      Ref<rt::Object> target = *name ? rt::Window::_ControlByName(qtest::MainWindow().get(), name)
                                     : Ref<rt::Object>(qtest::MainWindow());
      ASSERT_TRUE(target) << name;
      rt::RecordReader reader(target->Class(), record);
      while (!reader.AtEnd()) {
        const rt::RecordEntry e = reader.Next();
        SCOPED_TRACE(std::string(*name ? name : "Window1") + "." + e.property->name);
        const std::string before =
            qtest::ShowValue(rt::GetProperty(target.get(), e.property->name));
        const rt::PropertyValue changed = Other(e.value);
        EXPECT_EQ(RaisedOffTheMainThread(
                      [&] { rt::SetProperty(target.get(), e.property->name, changed); }),
                  "ThreadAccessingUIException");
        EXPECT_EQ(qtest::ShowValue(rt::GetProperty(target.get(), e.property->name)), before);
      }
    }
  });
}

// What the Parts exempt: the accessors, once the window exists, and the walk over a folder.
TEST(MainThreadTable, AccessorsOfTheExistingWindowAndFolderItemsMakeNoThreadTest) {
  qtest::ScriptedPrompter prompter;
  qtest::RunProgram([&] {
    Ref<rt::Window> window = qtest::MainWindow();
    Ref<rt::Window> found;
    Ref<rt::Object> byName, made;
    Ref<rt::TextArea> area;
    Ref<rt::BevelButton> button;
    Ref<rt::Listbox> list;
    Ref<rt::Label> label;
    Ref<rt::FolderItem> folder = rt::FolderItem::FromPath("/");
    int32_t count = -1;
    EXPECT_EQ(RaisedOffTheMainThread([&] {
                found = W1::Window1();
                byName = rt::Window::_ControlByName(window.get(), "TextArea1");
                made = rt::Window::__New(window.get(), rt::Label::__Lookup());
                button = W1::BevelButton1(window.get());
                list = W1::Listbox1(window.get());
                label = W1::Label4(window.get());
                area = W1::TextArea1(window.get());
                count = rt::FolderItem::Count(folder.get());
                Ref<rt::FolderItem> first = rt::FolderItem::Item(folder.get(), 1);
                rt::FolderItem::Visible(first.get());
                rt::FolderItem::Name(first.get());
              }),
              "");
    EXPECT_EQ(found, window);
    EXPECT_TRUE(byName && made && button && list && label && area);
    EXPECT_GT(count, 0);
  });
}

}  // namespace
