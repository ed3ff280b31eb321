// The framework's window class. Each window owns a Qt top-level widget as its peer.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/property_types.h"
#include "platform/core/text.h"

namespace rt {

class Control;
class MenuItem;
class WindowPeer;

class Window : public Object {
 public:
  static ClassTable* __Lookup();
  ~Window() override;

  // Virtual operations, in slot order (names by character code).
  static void AcceptFileDrop(Window* self, const String& type);
  static void AcceptMacDataDrop(Window* self, const String& type);
  static void AcceptPictureDrop(Window* self);
  static void AcceptRawDataDrop(Window* self, const String& type);
  static void AcceptTextDrop(Window* self);
  static Ref<Object> BitmapForCaching(Window* self, int32_t width, int32_t height);
  static void Close(Window* self);
  static void Constructor(Window* self);
  static Ref<rt::Control> Control(Window* self, int32_t index);
  static void DrawInto(Window* self, Object* graphics, int32_t x, int32_t y, bool fullWindow);
  static void FocusNext(Window* self);
  static void FocusPrevious(Window* self);
  static void Hide(Window* self);
  static void Invalidate(Window* self, bool eraseBackground);
  static void Invalidate(Window* self, int32_t x, int32_t y, int32_t width, int32_t height,
                         bool eraseBackground);
  static void Maximize(Window* self);
  static void Minimize(Window* self);
  static void* Operator_Convert(Window* self);
  static void Refresh(Window* self, bool eraseBackground);
  static void RefreshRect(Window* self, int32_t x, int32_t y, int32_t width, int32_t height,
                          bool eraseBackground);
  static void Restore(Window* self);
  static void SetFocus(Window* self);
  static void Show(Window* self);
  static void ShowModal(Window* self);
  static void ShowModalWithin(Window* self, Window* parent);
  static void ShowWithin(Window* self, Window* parent, int32_t facing);
  static Ref<Window> TrueWindow(Window* self);
  static void UpdateNow(Window* self);
  static void Window_(Window* self);  // the constructor form named after the class
  static void _AddControl(Window* self, const String& name, Object* control);
  static void _AddMenuHandler(Window* self, const String& name, void* handler);
  static Ref<Object> _ControlByName(Window* self, const String& name);
  static Ref<Object> _ControlByNameIndex(Window* self, const String& name, int32_t index);
  static void _DependencyList(Window* self);
  static void _Move(Window* self, int32_t left, int32_t top, int32_t width, int32_t height);
  // Makes an object of the class inside the window; runs no constructor; never nil.
  static Ref<Object> __New(Window* self, ClassTable* cls);
  // Outside the virtual table.
  static void __Init(Window* self);
  static void __Exit(Window* self);

  struct slot {
    static constexpr Slot<void(rt::Window*, const String&)> AcceptFileDrop{0};
    static constexpr Slot<void(rt::Window*, const String&)> AcceptMacDataDrop{1};
    static constexpr Slot<void(rt::Window*)> AcceptPictureDrop{2};
    static constexpr Slot<void(rt::Window*, const String&)> AcceptRawDataDrop{3};
    static constexpr Slot<void(rt::Window*)> AcceptTextDrop{4};
    static constexpr Slot<Ref<Object>(rt::Window*, int32_t, int32_t)> BitmapForCaching{5};
    static constexpr Slot<void(rt::Window*)> Close{6};
    static constexpr Slot<void(rt::Window*)> Constructor{7};
    static constexpr Slot<Ref<rt::Control>(rt::Window*, int32_t)> Control{8};
    static constexpr Slot<void(rt::Window*, Object*, int32_t, int32_t, bool)> DrawInto{9};
    static constexpr Slot<void(rt::Window*)> FocusNext{10};
    static constexpr Slot<void(rt::Window*)> FocusPrevious{11};
    static constexpr Slot<void(rt::Window*)> Hide{12};
    static constexpr Slot<void(rt::Window*, bool)> Invalidate{13};
    static constexpr Slot<void(rt::Window*, int32_t, int32_t, int32_t, int32_t, bool)> InvalidateRect{
        14};
    static constexpr Slot<void(rt::Window*)> Maximize{15};
    static constexpr Slot<void(rt::Window*)> Minimize{16};
    static constexpr Slot<void*(rt::Window*)> Operator_Convert{17};
    static constexpr Slot<void(rt::Window*, bool)> Refresh{18};
    static constexpr Slot<void(rt::Window*, int32_t, int32_t, int32_t, int32_t, bool)> RefreshRect{19};
    static constexpr Slot<void(rt::Window*)> Restore{20};
    static constexpr Slot<void(rt::Window*)> SetFocus{21};
    static constexpr Slot<void(rt::Window*)> Show{22};
    static constexpr Slot<void(rt::Window*)> ShowModal{23};
    static constexpr Slot<void(rt::Window*, rt::Window*)> ShowModalWithin{24};
    static constexpr Slot<void(rt::Window*, rt::Window*, int32_t)> ShowWithin{25};
    static constexpr Slot<Ref<rt::Window>(rt::Window*)> TrueWindow{26};
    static constexpr Slot<void(rt::Window*)> UpdateNow{27};
    static constexpr Slot<void(rt::Window*)> Window{28};
    static constexpr Slot<void(rt::Window*, const String&, Object*)> _AddControl{29};
    static constexpr Slot<void(rt::Window*, const String&, void*)> _AddMenuHandler{30};
    static constexpr Slot<Ref<Object>(rt::Window*, const String&)> _ControlByName{31};
    static constexpr Slot<Ref<Object>(rt::Window*, const String&, int32_t)> _ControlByNameIndex{
        32};
    static constexpr Slot<void(rt::Window*)> _DependencyList{33};
    static constexpr Slot<void(rt::Window*, int32_t, int32_t, int32_t, int32_t)> _Move{34};
    static constexpr Slot<Ref<Object>(rt::Window*, ClassTable*)> __New{35};
  };
  static constexpr int kSlotCount = 36;

  // Events, by number.
  enum Event : int {
    Activate, AddMenuHandlers, CancelClose, CloseEvent, ConstructContextualMenu, ContentsChanged,
    ContextualMenuAction, CreateControls, Deactivate, DragEnter, DragExit, DragOver, DropObject,
    EnableMenuItems, KeyDown, KeyUp, Layout, MaximizeEvent, MinimizeEvent, MouseDown, MouseDrag,
    MouseEnter, MouseExit, MouseMove, MouseUp, MouseWheel, Moved, Open, Paint, Resized,
    Resizing, RestoreEvent, ScaleFactorChanged, SetupBindings, kEventCount
  };

  // The window's menu bar; both apply the main-thread rule. Nil before one is set.
  static void SetMenuBar(Window* self, MenuItem* bar);
  static Ref<MenuItem> GetMenuBar(Window* self);

  // Properties (the window's property table). Width and Height are the content area's, the
  // part below the menu bar in which the controls sit; so are the limits.
  static int32_t GetWidth(Window* self);
  static void SetWidth(Window* self, int32_t v);
  static int32_t GetHeight(Window* self);
  static void SetHeight(Window* self, int32_t v);
  static int32_t GetMinWidth(Window* self);
  static void SetMinWidth(Window* self, int32_t v);
  static int32_t GetMinHeight(Window* self);
  static void SetMinHeight(Window* self, int32_t v);
  static int32_t GetMaxWidth(Window* self);
  static void SetMaxWidth(Window* self, int32_t v);
  static int32_t GetMaxHeight(Window* self);
  static void SetMaxHeight(Window* self, int32_t v);
  static String GetTitle(Window* self);
  static void SetTitle(Window* self, const String& v);
  static bool GetCloseButton(Window* self);
  static void SetCloseButton(Window* self, bool v);
  static bool GetResizeable(Window* self);
  static void SetResizeable(Window* self, bool v);
  static bool GetMaximizeButton(Window* self);
  static void SetMaximizeButton(Window* self, bool v);
  static bool GetMinimizeButton(Window* self);
  static void SetMinimizeButton(Window* self, bool v);
  // A window first shown without a position is centred on its screen.
  static bool GetVisible(Window* self);
  static void SetVisible(Window* self, bool v);
  static bool GetFullScreen(Window* self);
  static void SetFullScreen(Window* self, bool v);
  // The content area shows BackColor only while HasBackColor is set.
  static bool GetHasBackColor(Window* self);
  static void SetHasBackColor(Window* self, bool v);
  static Color GetBackColor(Window* self);
  static void SetBackColor(Window* self, Color v);
  static bool GetMenuBarVisible(Window* self);
  static void SetMenuBarVisible(Window* self, bool v);
  // Kept only: no meaning for a window on this platform.
  int32_t Frame = 0;
  bool FullScreenButton = false;
  bool Composite = false;
  int32_t MacProcId = 0;
  int32_t Placement = 0;
  bool LiveResize = true;

  // Framework side: the peer and the registered controls, in registration order.
  WindowPeer* Peer() const noexcept { return peer_; }
  const std::vector<std::pair<String, Ref<Object>>>& Controls() const noexcept {
    return controls_;
  }
  // The content size the controls are placed for; -1 while not known.
  int32_t LayoutWidth() const noexcept { return width_; }
  int32_t LayoutHeight() const noexcept { return height_; }
  // Orders the controls' widgets for Tab by their TabIndex, registration order among equals.
  void ApplyTabOrder();
  // The user (or the desktop) gave the content area a new size.
  void ContentResized(int32_t width, int32_t height);

 private:
  friend void WindowDefaultConstructor(Window* self);
  friend void ReleaseWindows();
  void ApplyFrame();
  void ApplyFlags();
  void ApplyBackground();
  void ApplyMenuBarVisible();
  void RelayoutControls();

  WindowPeer* peer_ = nullptr;  // owned; deleted with the window
  std::vector<std::pair<String, Ref<Object>>> controls_;
  Ref<Object> menuBar_;
  int32_t width_ = -1, height_ = -1;
  int32_t minWidth_ = 0, minHeight_ = 0, maxWidth_ = 32000, maxHeight_ = 32000;
  String title_;
  bool closeButton_ = true, resizeable_ = true, maximizeButton_ = true, minimizeButton_ = true;
  bool visible_ = false, fullScreen_ = false, placed_ = false;
  bool hasBackColor_ = false;
  Color backColor_{255, 255, 255, 0};
  bool menuBarVisible_ = true;
};

// Makes the window's peer, holds the window, raises CreateControls and then Layout.
void WindowDefaultConstructor(Window* self);
// The held window whose class is named className, nil when there is none.
Ref<Window> _GetImplicitWindow(const String& className);
// The windows the framework holds, oldest first.
std::vector<Ref<Window>> RuntimeWindows();
// Closes and lets go of every window the framework holds.
void ReleaseWindows();
// Window's members outside its virtual table (_GetControl, _GetControlArray).
Ref<Object> RuntimeWindowControlByName(Window* self, const String& name);
Ref<Object> RuntimeWindowControlByNameIndex(Window* self, const String& name, int32_t index);

}  // namespace rt
