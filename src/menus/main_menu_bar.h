// MainMenuBar: the program's one menu bar, with its File and Edit menus.
#pragma once

#include "platform/ui/menu.h"

namespace quorvane::MainMenuBar {

using rt::Ref;

extern rt::ClassTable* __ctbl;
void __ctblinit();
rt::ClassTable* __Lookup();

// The shared bar, built on first access; never nil on a normal return. The reference
// returned is the caller's.
Ref<rt::MenuBar> MainMenuBar();

// Own members: the constructor builds the two menus through the builders.
void Constructor(rt::MenuItem* self);
void Untitled0(rt::MenuItem* self);  // the File menu
void Untitled1(rt::MenuItem* self);  // the Edit menu

namespace slot {
inline constexpr rt::Slot<void(rt::MenuItem*)> Constructor = rt::MenuItem::slot::Constructor;
inline constexpr rt::Slot<void(rt::MenuItem*)> Untitled0{rt::MenuBar::kSlotCount};
inline constexpr rt::Slot<void(rt::MenuItem*)> Untitled1{rt::MenuBar::kSlotCount + 1};
inline constexpr int kCount = rt::MenuBar::kSlotCount + 2;
}  // namespace slot

inline constexpr const char* kClassName = "MainMenuBar.MainMenuBar";

// Empty from load until the first access; the program's reference to the bar.
extern rt::StaticRef<rt::MenuBar> _implicitInstance;

}  // namespace quorvane::MainMenuBar
