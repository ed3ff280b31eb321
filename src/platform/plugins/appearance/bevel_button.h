// The appearance-controls plugin's push button.
#pragma once

#include "platform/core/plugin_registry.h"
#include "platform/ui/control.h"

namespace rt {

class BevelButton : public RectControl {
 public:
  static ClassTable* __Lookup();

  // Its own events, numbered after RectControl's. A click raises Action.
  enum Event : int {
    MouseUp = RectControl::kEventCount,
    MouseDown,
    Action,
    GotFocus,
    LostFocus,
    kEventCount
  };

  static String GetCaption(BevelButton* self);
  static void SetCaption(BevelButton* self, const String& v);
  // 1 puts the caption at the left, 2 at the right; any other value centres it.
  static int32_t GetCaptionAlign(BevelButton* self);
  static void SetCaptionAlign(BevelButton* self, int32_t v);
  // The button shows BackColor only while HasBackColor is set.
  static bool GetHasBackColor(BevelButton* self);
  static void SetHasBackColor(BevelButton* self, bool v);
  static Color GetBackColor(BevelButton* self);
  static void SetBackColor(BevelButton* self, Color v);
  // The default, black, is the desktop's button text colour.
  static Color GetTextColor(BevelButton* self);
  static void SetTextColor(BevelButton* self, Color v);
  // 0 a push button; 1 (toggles) and 2 (sticky) keep a Value, shown as pressed while True.
  static int32_t GetButtonType(BevelButton* self);
  static void SetButtonType(BevelButton* self, int32_t v);
  static bool GetValue(BevelButton* self);
  static void SetValue(BevelButton* self, bool v);
  // False keeps the button out of the focus, for the keyboard and the mouse.
  static bool GetAcceptFocus(BevelButton* self);
  static void SetAcceptFocus(BevelButton* self, bool v);
  // Kept only: the button has no icon or menu on this platform, and one bevel.
  int32_t CaptionPlacement = 0;
  int32_t CaptionDelta = 0;
  int32_t IconAlign = 0;
  int32_t IconDX = 0;
  int32_t IconDY = 0;
  int32_t Bevel = 0;
  int32_t HasMenu = 0;
  int32_t MenuValue = 0;

 protected:
  QWidget* CreatePeer(QWidget* parent) override;
  void SyncPeer(QWidget* peer) override;
  void ApplyFocusPolicy(QWidget* peer) override;

 private:
  void ApplyLook();
  String caption_;
  int32_t captionAlign_ = 0;
  bool hasBackColor_ = false;
  static constexpr Color kDefaultTextColor{0, 0, 0, 0};
  Color backColor_{}, textColor_ = kDefaultTextColor;
  int32_t buttonType_ = 0;
  bool value_ = false;
  bool acceptFocus_ = true;
};

// The appearance controls's library, found under its file name.
PluginLibrary AppearancePluginLibrary();

}  // namespace rt
