// The framework's multi-line text control.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/ui/control.h"
#include "platform/ui/peer_sync.h"

namespace rt {

class TextEdit : public RectControl, private LaggingPeer {
 public:
  static ClassTable* __Lookup();

  // Both apply the main-thread rule. The text is exact at once: what the user types is in
  // it, and a text set is what the next read gives. The peer shows a set text by the time
  // events are processed; a text that extends the one shown costs the peer only its tail,
  // so growing a long text line by line stays cheap. A text with a very long word wraps
  // anywhere, not only between words.
  static String GetText(TextEdit* self);
  static void SetText(TextEdit* self, const String& text);

  // Kept only: no spelling checker on this platform.
  bool AutomaticallyCheckSpelling = true;

 protected:
  QWidget* CreatePeer(QWidget* parent) override;
  void SyncPeer(QWidget* peer) override;

 private:
  void CatchUp() override;
  void UserEdited();
  // Before the peer shows shown_ followed by added (only added when whole): the wrap mode.
  void PrepareWrap(std::string_view added, bool whole);
  String text_;
  String shown_;  // what the peer shows
  bool settingPeer_ = false;
  size_t endRun_ = 0;      // bytes of the word at the end of shown_
  bool longWord_ = false;  // shown_ holds a word too long for Qt's word wrap
};

class TextArea : public TextEdit {
 public:
  static ClassTable* __Lookup();

  static bool GetBorder(TextArea* self);
  static void SetBorder(TextArea* self, bool v);
  // Wraps lines at the control's width; False keeps every line on one row.
  static bool GetMultiLine(TextArea* self);
  static void SetMultiLine(TextArea* self, bool v);
  // A scroll bar that is set always shows.
  static bool GetScrollBarHorizontal(TextArea* self);
  static void SetScrollBarHorizontal(TextArea* self, bool v);
  static bool GetScrollBarVertical(TextArea* self);
  static void SetScrollBarVertical(TextArea* self, bool v);
  // Kept only: the text is plain, and pasted text takes the text area's own style.
  static bool GetStyled(TextArea* self);
  static void SetStyled(TextArea* self, bool v);
  // The defaults, black on white, are the desktop's text and background colours.
  static Color GetTextColor(TextArea* self);
  static void SetTextColor(TextArea* self, Color v);
  static Color GetBackColor(TextArea* self);
  static void SetBackColor(TextArea* self, Color v);
  static bool GetReadOnly(TextArea* self);
  static void SetReadOnly(TextArea* self, bool v);
  // False lets Tab move the focus on instead of typing a tab.
  static bool GetAcceptTabs(TextArea* self);
  static void SetAcceptTabs(TextArea* self, bool v);
  // 0 and 1 left, 2 centred, 3 right.
  static int32_t GetAlignment(TextArea* self);
  static void SetAlignment(TextArea* self, int32_t v);
  // True shows the selection only while the text area has the focus.
  static bool GetHideSelection(TextArea* self);
  static void SetHideSelection(TextArea* self, bool v);
  // Kept only: input masks, length limits, line metrics and data binding are not offered on
  // this platform's text area, which shows its focus by its caret.
  bool UseFocusRing = true;
  String Format;
  double LineHeight = 0;
  double LineSpacing = 1;
  String Mask;
  int32_t LimitText = 0;
  String DataSource;
  String DataField;

 protected:
  void SyncPeer(QWidget* peer) override;

 private:
  void ApplyLook();
  bool border_ = true, multiLine_ = true;
  bool scrollBarHorizontal_ = false, scrollBarVertical_ = true;
  bool styled_ = true, readOnly_ = false, acceptTabs_ = false, hideSelection_ = true;
  static constexpr Color kDefaultTextColor{0, 0, 0, 0}, kDefaultBackColor{255, 255, 255, 0};
  Color textColor_ = kDefaultTextColor, backColor_ = kDefaultBackColor;
  int32_t alignment_ = 0;
};

}  // namespace rt
