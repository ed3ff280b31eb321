// The framework's control classes: Control, and RectControl with a Qt widget as its peer.
#pragma once

#include <memory>

#include "platform/core/class_table.h"
#include "platform/core/property_types.h"
#include "platform/core/text.h"

class QObject;
class QWidget;

namespace rt {

class Window;

class Control : public Object {
 public:
  static ClassTable* __Lookup();
  // Events, by number.
  enum Event : int { CloseEvent, OpenEvent, kEventCount };

  // The window the control was made in (nil for none); that window owns the control.
  rt::Window* OwnerWindow() const noexcept { return owner_; }
  void SetOwnerWindow(rt::Window* w) noexcept { owner_ = w; }

  // Properties kept as they are.
  String Name;
  int32_t Index = 0;
  int32_t TabPanelIndex = 0;

 private:
  rt::Window* owner_ = nullptr;
};

class RectControl : public Control {
 public:
  static ClassTable* __Lookup();
  RectControl();
  ~RectControl() override;

  // Makes the control's peer inside its window; applies the main-thread rule first.
  static void Constructor(RectControl* self);
  struct slot {
    static constexpr Slot<void(RectControl*)> Constructor{0};
  };
  static constexpr int kSlotCount = 1;

  enum Event : int {
    ConstructContextualMenu = Control::kEventCount,
    ContextualMenuAction,
    DragEnter,
    DragExit,
    DragOver,
    DropObject,
    KeyDown,
    KeyUp,
    MouseEnter,
    MouseExit,
    MouseMove,
    MouseWheel,
    ScaleFactorChanged,
    kEventCount
  };

  // Geometry in the window's content coordinates.
  static int32_t GetLeft(RectControl* self);
  static void SetLeft(RectControl* self, int32_t v);
  static int32_t GetTop(RectControl* self);
  static void SetTop(RectControl* self, int32_t v);
  static int32_t GetWidth(RectControl* self);
  static void SetWidth(RectControl* self, int32_t v);
  static int32_t GetHeight(RectControl* self);
  static void SetHeight(RectControl* self, int32_t v);
  // A locked side keeps its distance to that side of the window when the window is resized;
  // locked on both sides, the control stretches.
  static bool GetLockLeft(RectControl* self);
  static void SetLockLeft(RectControl* self, bool v);
  static bool GetLockTop(RectControl* self);
  static void SetLockTop(RectControl* self, bool v);
  static bool GetLockRight(RectControl* self);
  static void SetLockRight(RectControl* self, bool v);
  static bool GetLockBottom(RectControl* self);
  static void SetLockBottom(RectControl* self, bool v);
  // The window's tab order runs by TabIndex, lowest first.
  static int32_t GetTabIndex(RectControl* self);
  static void SetTabIndex(RectControl* self, int32_t v);
  static bool GetTabStop(RectControl* self);
  static void SetTabStop(RectControl* self, bool v);
  static bool GetVisible(RectControl* self);
  static void SetVisible(RectControl* self, bool v);
  static bool GetEnabled(RectControl* self);
  static void SetEnabled(RectControl* self, bool v);
  // Shown as the tool tip.
  static String GetHelpTag(RectControl* self);
  static void SetHelpTag(RectControl* self, const String& v);
  // Kept only: no meaning on this platform.
  String InitialParent;
  bool AutoDeactivate = true;

  // The font of a control that shows text (the subclasses' tables list these): "System" and
  // size 0 mean the desktop's default.
  static String GetTextFont(RectControl* self);
  static void SetTextFont(RectControl* self, const String& v);
  static float GetTextSize(RectControl* self);
  static void SetTextSize(RectControl* self, float v);
  static FontUnits GetTextUnit(RectControl* self);
  static void SetTextUnit(RectControl* self, FontUnits v);
  static bool GetBold(RectControl* self);
  static void SetBold(RectControl* self, bool v);
  static bool GetItalic(RectControl* self);
  static void SetItalic(RectControl* self, bool v);
  static bool GetUnderline(RectControl* self);
  static void SetUnderline(RectControl* self, bool v);
  // Lists the six font properties in the table of a subclass that shows text.
  static void AddFontProperties(ClassTable* cls);

  // Nil until constructed, and again once Qt has deleted the widget.
  QWidget* Peer() const noexcept;
  // Places the control for the window's content size (-1 for a side not known yet; the first
  // known size is the one the control's geometry was given for).
  void Relayout(int32_t contentWidth, int32_t contentHeight);

 protected:
  // The widget this kind of control shows; parent is the window's content area.
  virtual QWidget* CreatePeer(QWidget* parent);
  // Gives a new peer every property set so far.
  virtual void SyncPeer(QWidget* peer);
  virtual void ApplyFocusPolicy(QWidget* peer);
  // After a change of what the focus policy depends on: the policy and the tab order again.
  void UpdateFocus();
  // The peer for a setter to update, nil before construction; applies the main-thread rule.
  QWidget* PeerForUpdate();
  // Context for the peer's signal connections and events, alive exactly as long as the peer.
  QObject* Bridge() const noexcept;
  void ApplyFont();

 private:
  struct Axis {
    int32_t start = 0, length = 0;
    int32_t content = -1;  // the window's size along this axis that start/length were given for
  };
  void Rebase(Axis& axis, int32_t start, int32_t length, int32_t content);
  void ApplyGeometry();

  struct PeerRef;
  std::unique_ptr<PeerRef> peer_;
  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool geometryGiven_ = false;
  Axis baseX_, baseY_;
  bool lockLeft_ = true, lockTop_ = true, lockRight_ = false, lockBottom_ = false;
  int32_t tabIndex_ = 0;
  bool tabStop_ = true;
  bool visible_ = true;
  bool enabled_ = true;
  String helpTag_;
  String textFont_{"System"};
  float textSize_ = 0;
  FontUnits textUnit_ = FontUnits::Default;
  bool bold_ = false, italic_ = false, underline_ = false;
};

}  // namespace rt
