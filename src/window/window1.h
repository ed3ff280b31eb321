// Window1, the program's main window: its class table, its accessor and its own members.
#pragma once

#include "platform/files/folder_item.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/menu.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"

namespace quorvane::Window1 {

using rt::Ref;

// Class table: nil until built, then kept for the whole run.
extern rt::ClassTable* __ctbl;
void __ctblinit();
rt::ClassTable* __Lookup();

// The main window, made on first access. The reference returned is the caller's.
Ref<rt::Window> Window1();

// Own members, in slot order after Window's 36.
void Layout(rt::Window* self);
void CreateControls(rt::Window* self);
void _CreateControls0(rt::Window* self);
Ref<rt::BevelButton> BevelButton1(rt::Window* self);
Ref<rt::Listbox> Listbox1(rt::Window* self);
Ref<rt::Label> Label4(rt::Window* self);
Ref<rt::TextArea> TextArea1(rt::Window* self);
void BevelButton1_Action(rt::Window* self, rt::BevelButton* button);
Ref<rt::MenuItem> EditMenu(rt::Window* self);
Ref<rt::MenuItem> EditSelectAll(rt::Window* self);
Ref<rt::MenuItem> EditSeparator2(rt::Window* self);
Ref<rt::MenuItem> EditClear(rt::Window* self);
Ref<rt::MenuItem> EditPaste(rt::Window* self);
Ref<rt::MenuItem> EditCopy(rt::Window* self);
Ref<rt::MenuItem> EditCut(rt::Window* self);
Ref<rt::MenuItem> EditSeparator1(rt::Window* self);
Ref<rt::MenuItem> EditUndo(rt::Window* self);
Ref<rt::MenuItem> FileMenu(rt::Window* self);
Ref<rt::QuitMenuItem> FileQuit(rt::Window* self);
void openvideofolder(rt::Window* self);
void getid3info(rt::Window* self, rt::FolderItem* entry);

namespace slot {
using rt::Slot;
using rt::Window;
inline constexpr int kInherited = Window::kSlotCount;
inline constexpr Slot<void(Window*)> Layout{kInherited + 0};
inline constexpr Slot<void(Window*)> CreateControls{kInherited + 1};
inline constexpr Slot<void(Window*)> _CreateControls0{kInherited + 2};
inline constexpr Slot<Ref<rt::BevelButton>(Window*)> BevelButton1{kInherited + 3};
inline constexpr Slot<Ref<rt::Listbox>(Window*)> Listbox1{kInherited + 4};
inline constexpr Slot<Ref<rt::Label>(Window*)> Label4{kInherited + 5};
inline constexpr Slot<Ref<rt::TextArea>(Window*)> TextArea1{kInherited + 6};
inline constexpr Slot<void(Window*, rt::BevelButton*)> BevelButton1_Action{kInherited + 7};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditMenu{kInherited + 8};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditSelectAll{kInherited + 9};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditSeparator2{kInherited + 10};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditClear{kInherited + 11};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditPaste{kInherited + 12};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditCopy{kInherited + 13};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditCut{kInherited + 14};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditSeparator1{kInherited + 15};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> EditUndo{kInherited + 16};
inline constexpr Slot<Ref<rt::MenuItem>(Window*)> FileMenu{kInherited + 17};
inline constexpr Slot<Ref<rt::QuitMenuItem>(Window*)> FileQuit{kInherited + 18};
inline constexpr Slot<void(Window*)> openvideofolder{kInherited + 19};
inline constexpr Slot<void(Window*, rt::FolderItem*)> getid3info{kInherited + 20};
inline constexpr int kCount = kInherited + 21;
}  // namespace slot

inline constexpr const char* kClassName = "Window1.Window1";

}  // namespace quorvane::Window1
