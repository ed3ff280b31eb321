// Between the menu model (menu.cpp) and its Qt side (menu_qt.cpp). Platform-internal.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/ui/menu.h"

namespace rt {

// The two halves reach the model's private state through here only.
struct MenuItemAccess {
  static bool& Enabled(MenuItem* m) { return m->enabled_; }
  static std::unique_ptr<MenuItem::Peers, MenuItem::PeersDeleter>& PeersOf(MenuItem* m) {
    return m->peers_;
  }
  static void SetParent(MenuItem* m, MenuItem* parent) { m->parent_ = parent; }
  static std::vector<Ref<MenuItem>>& ChildrenOf(MenuItem* m) { return m->children_; }
  static void CopyProperties(MenuItem* to, const MenuItem* from) {
    to->name_ = from->name_;
    to->text_ = from->text_;
    to->shortcut_ = from->shortcut_;
    to->autoEnable_ = from->autoEnable_;
    to->visible_ = from->visible_;
    to->enabled_ = from->enabled_;
    to->index_ = from->index_;
    to->tag_ = from->tag_;
  }
  static void SwapState(MenuItem* a, MenuItem* b) {
    std::swap(a->name_, b->name_);
    std::swap(a->text_, b->text_);
    std::swap(a->shortcut_, b->shortcut_);
    std::swap(a->autoEnable_, b->autoEnable_);
    std::swap(a->visible_, b->visible_);
    std::swap(a->enabled_, b->enabled_);
    std::swap(a->index_, b->index_);
    std::swap(a->tag_, b->tag_);
    std::swap(a->children_, b->children_);
    for (Ref<MenuItem>& c : a->children_) c->parent_ = a;
    for (Ref<MenuItem>& c : b->children_) c->parent_ = b;
  }
};

// What the model asks of the Qt side.

// Shows the item's properties on every action that shows it.
void ShowOnActions(MenuItem* item);
// Sets the enabled state AutoEnable gives for the control the Edit items act on (the
// focused one; while the menu bar has the focus, the one that had it before), then lets the
// item's EnableMenu handler have its say.
void RefreshEnabledForFocus(MenuItem* item);
// The first live action showing the item, nil when none.
void* FirstAction(MenuItem* item);
// Runs the children as a context menu at the pointer or at x, y on the screen; returns the
// chosen item or nil.
Ref<MenuItem> PopUpAtPointer(MenuItem* self);
Ref<MenuItem> PopUpAt(MenuItem* self, int32_t x, int32_t y);

}  // namespace rt
