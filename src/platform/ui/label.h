// The framework's static text.
#pragma once

#include "platform/ui/control.h"

namespace rt {

class Label : public RectControl {
 public:
  static ClassTable* __Lookup();

  static String GetText(Label* self);
  static void SetText(Label* self, const String& v);
  // 0 and 1 left, 2 centred, 3 right.
  static int32_t GetTextAlign(Label* self);
  static void SetTextAlign(Label* self, int32_t v);
  // The default, black, is the desktop's text colour.
  static Color GetTextColor(Label* self);
  static void SetTextColor(Label* self, Color v);
  // Wraps the text at the label's width.
  static bool GetMultiLine(Label* self);
  static void SetMultiLine(Label* self, bool v);
  // Lets the user select and copy the text.
  static bool GetSelectable(Label* self);
  static void SetSelectable(Label* self, bool v);
  // False fills the label with the window's background colour.
  static bool GetTransparent(Label* self);
  static void SetTransparent(Label* self, bool v);
  // Kept only: no data binding on this platform.
  String DataSource;
  String DataField;

 protected:
  QWidget* CreatePeer(QWidget* parent) override;
  void SyncPeer(QWidget* peer) override;
  void ApplyFocusPolicy(QWidget* peer) override;

 private:
  void ApplyLook();
  String text_;
  int32_t textAlign_ = 0;
  static constexpr Color kDefaultTextColor{0, 0, 0, 0};
  Color textColor_ = kDefaultTextColor;
  bool multiLine_ = false, selectable_ = false, transparent_ = false;
};

}  // namespace rt
