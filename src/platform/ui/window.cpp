#include "platform/ui/window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"
#include "platform/core/value.h"
#include "platform/ui/control.h"
#include "platform/ui/menu.h"
#include "platform/ui/widget_support.h"
#include "platform/ui/window_peer.h"

namespace rt {

// ---- the peer ----

WindowPeer::WindowPeer(Window* model) : model_(model), content_(new QWidget(this)) {
  setCentralWidget(content_);
  setAttribute(Qt::WA_DeleteOnClose, false);
  content_->installEventFilter(this);
}

int WindowPeer::MenuSpace(int width) const {
  QWidget* bar = menuWidget();
  if (!bar || bar->isHidden() || bar->isWindow()) return 0;
  if (auto* menuBar = qobject_cast<QMenuBar*>(bar); menuBar && menuBar->isNativeMenuBar()) return 0;
  // As the main window's layout measures it.
  int h = bar->heightForWidth(std::max(width, bar->minimumWidth()));
  if (h < 0) h = bar->sizeHint().height();
  return std::clamp(h, bar->minimumHeight(), bar->maximumHeight());
}

bool WindowPeer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == content_ && event->type() == QEvent::Resize && model_ && adjusting_ == 0)
    model_->ContentResized(content_->width(), content_->height());
  return QMainWindow::eventFilter(watched, event);
}

void WindowPeer::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (model_) RaiseEvent(model_, Window::Resized);
}

void WindowPeer::closeEvent(QCloseEvent* event) {
  if (model_) RaiseEvent(model_, Window::CloseEvent);
  event->accept();
}

// ---- framework functions outside the virtual table ----

Ref<Object> RuntimeWindowControlByName(Window* self, const String& name) {
  return Window::_ControlByName(self, name);
}
Ref<Object> RuntimeWindowControlByNameIndex(Window* self, const String& name, int32_t index) {
  return Window::_ControlByNameIndex(self, name, index);
}

// ---- the class ----

namespace {

template <class Sig>
Invoker Inv() {
  return ErasedInvokerFor<Sig>();
}

using W = Window;
using S = const String&;

void FillMembers(ClassTable* c) {
  AddMembers(c, {
      {"AcceptFileDrop", "%%s", EraseFn(&W::AcceptFileDrop), Inv<void(W*, S)>(), 0},
      {"AcceptMacDataDrop", "%%s", EraseFn(&W::AcceptMacDataDrop), Inv<void(W*, S)>(), 1},
      {"AcceptPictureDrop", "%%", EraseFn(&W::AcceptPictureDrop), Inv<void(W*)>(), 2},
      {"AcceptRawDataDrop", "%%s", EraseFn(&W::AcceptRawDataDrop), Inv<void(W*, S)>(), 3},
      {"AcceptTextDrop", "%%", EraseFn(&W::AcceptTextDrop), Inv<void(W*)>(), 4},
      {"BitmapForCaching", "%o<Picture>%i4i4", EraseFn(&W::BitmapForCaching),
       Inv<Ref<Object>(W*, int32_t, int32_t)>(), 5},
      {"Close", "%%", EraseFn(&W::Close), Inv<void(W*)>(), 6},
      {"Constructor", "%%", EraseFn(&W::Constructor), Inv<void(W*)>(), 7},
      {"Control", "%o<Control>%i4", EraseFn(&W::Control), Inv<Ref<rt::Control>(W*, int32_t)>(),
       8},
      {"DrawInto", "%%o<Graphics>i4i4b", EraseFn(&W::DrawInto),
       Inv<void(W*, Object*, int32_t, int32_t, bool)>(), 9},
      {"FocusNext", "%%", EraseFn(&W::FocusNext), Inv<void(W*)>(), 10},
      {"FocusPrevious", "%%", EraseFn(&W::FocusPrevious), Inv<void(W*)>(), 11},
      {"Hide", "%%", EraseFn(&W::Hide), Inv<void(W*)>(), 12},
      {"Invalidate", "%%b", EraseFn(static_cast<void (*)(W*, bool)>(&W::Invalidate)),
       Inv<void(W*, bool)>(), 13},
      {"Invalidate", "%%i4i4i4i4b",
       EraseFn(static_cast<void (*)(W*, int32_t, int32_t, int32_t, int32_t, bool)>(&W::Invalidate)),
       Inv<void(W*, int32_t, int32_t, int32_t, int32_t, bool)>(), 14},
      {"Maximize", "%%", EraseFn(&W::Maximize), Inv<void(W*)>(), 15},
      {"Minimize", "%%", EraseFn(&W::Minimize), Inv<void(W*)>(), 16},
      {"Operator_Convert", "%?<WindowPtr>%", EraseFn(&W::Operator_Convert), Inv<void*(W*)>(), 17},
      {"Refresh", "%%b", EraseFn(&W::Refresh), Inv<void(W*, bool)>(), 18},
      {"RefreshRect", "%%i4i4i4i4b", EraseFn(&W::RefreshRect),
       Inv<void(W*, int32_t, int32_t, int32_t, int32_t, bool)>(), 19},
      {"Restore", "%%", EraseFn(&W::Restore), Inv<void(W*)>(), 20},
      {"SetFocus", "%%", EraseFn(&W::SetFocus), Inv<void(W*)>(), 21},
      {"Show", "%%", EraseFn(&W::Show), Inv<void(W*)>(), 22},
      {"ShowModal", "%%", EraseFn(&W::ShowModal), Inv<void(W*)>(), 23},
      {"ShowModalWithin", "%%o<Window>", EraseFn(&W::ShowModalWithin), Inv<void(W*, W*)>(), 24},
      {"ShowWithin", "%%o<Window>i4", EraseFn(&W::ShowWithin), Inv<void(W*, W*, int32_t)>(), 25},
      {"TrueWindow", "%o<Window>%", EraseFn(&W::TrueWindow), Inv<Ref<W>(W*)>(), 26},
      {"UpdateNow", "%%", EraseFn(&W::UpdateNow), Inv<void(W*)>(), 27},
      {"Window", "%%", EraseFn(&W::Window_), Inv<void(W*)>(), 28, MemberKind::ClassConstructor},
      {"_AddControl", "%%so<Object>", EraseFn(&W::_AddControl), Inv<void(W*, S, Object*)>(), 29},
      {"_AddMenuHandler", "%%sp", EraseFn(&W::_AddMenuHandler), Inv<void(W*, S, void*)>(), 30},
      {"_ControlByName", "%o<Object>%s", EraseFn(&W::_ControlByName), Inv<Ref<Object>(W*, S)>(),
       31},
      {"_ControlByNameIndex", "%o<Object>%si4", EraseFn(&W::_ControlByNameIndex),
       Inv<Ref<Object>(W*, S, int32_t)>(), 32},
      {"_DependencyList", "%%", EraseFn(&W::_DependencyList), Inv<void(W*)>(), 33},
      {"_GetControl", "%o<Object>%s", EraseFn(&RuntimeWindowControlByName),
       Inv<Ref<Object>(W*, S)>(), -1, MemberKind::Plain},
      {"_GetControlArray", "%o<Object>%si4", EraseFn(&RuntimeWindowControlByNameIndex),
       Inv<Ref<Object>(W*, S, int32_t)>(), -1, MemberKind::Plain},
      {"_Move", "%%i4i4i4i4", EraseFn(&W::_Move),
       Inv<void(W*, int32_t, int32_t, int32_t, int32_t)>(), 34},
      {"__Exit", "%%", EraseFn(&W::__Exit), Inv<void(W*)>(), -1, MemberKind::Plain},
      {"__Init", "%%", EraseFn(&W::__Init), Inv<void(W*)>(), -1, MemberKind::Plain},
      {"__New", "%o<Object>%p", EraseFn(&W::__New), Inv<Ref<Object>(W*, ClassTable*)>(), 35},
  });
}

void AddProperties(ClassTable* c) {
  AddProperty<&W::GetWidth, &W::SetWidth>(c, "Width");
  AddProperty<&W::GetHeight, &W::SetHeight>(c, "Height");
  AddProperty<&W::GetMinWidth, &W::SetMinWidth>(c, "MinWidth");
  AddProperty<&W::GetMinHeight, &W::SetMinHeight>(c, "MinHeight");
  AddProperty<&W::GetMaxWidth, &W::SetMaxWidth>(c, "MaxWidth");
  AddProperty<&W::GetMaxHeight, &W::SetMaxHeight>(c, "MaxHeight");
  AddField<&W::Frame>(c, "Frame");
  AddProperty<&W::GetTitle, &W::SetTitle>(c, "Title");
  AddProperty<&W::GetCloseButton, &W::SetCloseButton>(c, "CloseButton");
  AddProperty<&W::GetResizeable, &W::SetResizeable>(c, "Resizeable");
  AddProperty<&W::GetMaximizeButton, &W::SetMaximizeButton>(c, "MaximizeButton");
  AddProperty<&W::GetMinimizeButton, &W::SetMinimizeButton>(c, "MinimizeButton");
  AddField<&W::FullScreenButton>(c, "FullScreenButton");
  AddField<&W::Composite>(c, "Composite");
  AddField<&W::MacProcId>(c, "MacProcId");
  AddField<&W::Placement>(c, "Placement");
  AddProperty<&W::GetVisible, &W::SetVisible>(c, "Visible");
  AddField<&W::LiveResize>(c, "LiveResize");
  AddProperty<&W::GetFullScreen, &W::SetFullScreen>(c, "FullScreen");
  AddProperty<&W::GetHasBackColor, &W::SetHasBackColor>(c, "HasBackColor");
  AddProperty<&W::GetBackColor, &W::SetBackColor>(c, "BackColor");
  AddProperty<&W::GetMenuBarVisible, &W::SetMenuBarVisible>(c, "MenuBarVisible");
}

}  // namespace

ClassTable* Window::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<Window>("Window", nullptr, 40, kEventCount, 22);
    c->eventNames = {"Activate",        "AddMenuHandlers",   "CancelClose",   "Close",
                     "ConstructContextualMenu", "ContentsChanged", "ContextualMenuAction",
                     "CreateControls",  "Deactivate",        "DragEnter",     "DragExit",
                     "DragOver",        "DropObject",        "EnableMenuItems", "KeyDown",
                     "KeyUp",           "Layout",            "Maximize",      "Minimize",
                     "MouseDown",       "MouseDrag",         "MouseEnter",    "MouseExit",
                     "MouseMove",       "MouseUp",           "MouseWheel",    "Moved",
                     "Open",            "Paint",             "Resized",       "Resizing",
                     "Restore",         "ScaleFactorChanged", "SetupBindings"};
    RuntimeNewVtable(c, kSlotCount);
    FillMembers(c);
    FillVtableFromMembers(c);
    AddProperties(c);
    return c;
  }();
  return cls;
}

Window::~Window() {
  controls_.clear();  // the controls' widgets go before the window's own
  menuBar_.reset();
  if (peer_) {
    peer_->Detach();
    delete peer_;
  }
}

void WindowDefaultConstructor(Window* self) {
  if (!self) RaiseNilObjectException();
  if (self->peer_) return;
  MaybeFail("WindowDefaultConstructor");
  self->peer_ = new WindowPeer(self);
  // What was set before the window was made.
  self->peer_->setWindowTitle(ToQString(self->title_));
  self->ApplyFlags();
  self->ApplyFrame();
  self->ApplyBackground();
  State().windows.push_back(Ref<Object>(self));
  LogCall("window made " + self->Class()->name);
  RaiseEvent(self, Window::CreateControls);
  RaiseEvent(self, Window::Layout);
  RaiseEvent(self, Window::Open);
}

void ReleaseWindows() {
  std::vector<Ref<Object>> windows = std::move(State().windows);
  State().windows.clear();
  for (Ref<Object>& w : windows)
    if (auto* win = static_cast<Window*>(w.get()); win->peer_) win->peer_->hide();
  windows.clear();
}

Ref<Window> _GetImplicitWindow(const String& className) {
  LogCall("_GetImplicitWindow " + className.Std());
  for (const Ref<Object>& w : State().windows)
    if (w->Class()->name == className.View()) return Ref<Window>(static_cast<Window*>(w.get()));
  return nullptr;
}

std::vector<Ref<Window>> RuntimeWindows() {
  std::vector<Ref<Window>> out;
  for (const Ref<Object>& w : State().windows) out.emplace_back(static_cast<Window*>(w.get()));
  return out;
}

// ---- virtual operations ----

// Drops are not offered on this platform's windows; accepting a type records nothing.
void Window::AcceptFileDrop(Window*, const String&) {}
void Window::AcceptMacDataDrop(Window*, const String&) {}
void Window::AcceptPictureDrop(Window*) {}
void Window::AcceptRawDataDrop(Window*, const String&) {}
void Window::AcceptTextDrop(Window*) {}
Ref<Object> Window::BitmapForCaching(Window*, int32_t, int32_t) { return nullptr; }

void Window::Close(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->close();
}

void Window::Constructor(Window* self) {
  _UITrap();
  WindowDefaultConstructor(self);
}

Ref<rt::Control> Window::Control(Window* self, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= self->controls_.size()) return nullptr;
  Object* c = self->controls_[index].second.get();
  if (!c->IsA(rt::Control::__Lookup())) return nullptr;
  return Ref<rt::Control>(static_cast<rt::Control*>(c));
}

void Window::DrawInto(Window*, Object*, int32_t, int32_t, bool) {}

void Window::FocusNext(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->FocusNext();
}
void Window::FocusPrevious(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->FocusPrevious();
}
void Window::Hide(Window* self) { SetVisible(self, false); }
void Window::Invalidate(Window* self, bool) { Refresh(self, false); }
void Window::Invalidate(Window* self, int32_t x, int32_t y, int32_t w, int32_t h, bool) {
  RefreshRect(self, x, y, w, h, false);
}
void Window::Maximize(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->showMaximized();
}
void Window::Minimize(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->showMinimized();
}
void* Window::Operator_Convert(Window* self) { return self->peer_; }
void Window::Refresh(Window* self, bool) {
  _UITrap();
  if (self->peer_) self->peer_->update();
}
void Window::RefreshRect(Window* self, int32_t x, int32_t y, int32_t w, int32_t h, bool) {
  _UITrap();
  if (self->peer_) self->peer_->Content()->update(x, y, w, h);
}
void Window::Restore(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->showNormal();
}
void Window::SetFocus(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->activateWindow();
}
void Window::Show(Window* self) { SetVisible(self, true); }
void Window::ShowModal(Window* self) {
  _UITrap();
  if (!self->peer_) return;
  self->peer_->setWindowModality(Qt::ApplicationModal);
  SetVisible(self, true);
}
void Window::ShowModalWithin(Window* self, Window*) { ShowModal(self); }
void Window::ShowWithin(Window* self, Window*, int32_t) { Show(self); }
Ref<Window> Window::TrueWindow(Window* self) { return Ref<Window>(self); }
void Window::UpdateNow(Window* self) {
  _UITrap();
  if (self->peer_) self->peer_->repaint();
}
void Window::Window_(Window* self) { Constructor(self); }

void Window::_AddControl(Window* self, const String& name, Object* control) {
  _UITrap();
  if (!self || !control) RaiseNilObjectException();
  MaybeFail("Window._AddControl");
  self->controls_.emplace_back(name, Ref<Object>(control));
  if (control->IsA(rt::Control::__Lookup())) {
    auto* c = static_cast<rt::Control*>(control);
    c->SetOwnerWindow(self);
    if (c->Name.IsEmpty()) c->Name = name;
  }
  if (control->IsA(RectControl::__Lookup()) && self->peer_) {
    auto* rc = static_cast<RectControl*>(control);
    if (QWidget* w = rc->Peer()) {
      if (w->parentWidget() != self->peer_->Content()) w->setParent(self->peer_->Content());
      w->setVisible(RectControl::GetVisible(rc));
    }
    self->ApplyTabOrder();
  }
}

void Window::_AddMenuHandler(Window*, const String&, void*) {}

Ref<Object> Window::_ControlByName(Window* self, const String& name) {
  if (!self) RaiseNilObjectException();
  for (const auto& [n, c] : self->controls_)
    if (n == name) return c;
  return nullptr;
}

Ref<Object> Window::_ControlByNameIndex(Window* self, const String& name, int32_t index) {
  if (!self) RaiseNilObjectException();
  for (const auto& [n, c] : self->controls_)
    if (n == name && c->IsA(rt::Control::__Lookup()) &&
        static_cast<rt::Control*>(c.get())->Index == index)
      return c;
  return nullptr;
}

void Window::_DependencyList(Window*) {}

void Window::_Move(Window* self, int32_t left, int32_t top, int32_t width, int32_t height) {
  _UITrap();
  self->placed_ = true;
  if (self->peer_) self->peer_->setGeometry(PeerRect(left, top, width, height));
}

Ref<Object> Window::__New(Window* self, ClassTable* cls) {
  if (!self) RaiseNilObjectException();
  MaybeFail("Window.__New");
  Ref<Object> obj = RuntimeNewObject(cls);
  if (obj->IsA(rt::Control::__Lookup())) static_cast<rt::Control*>(obj.get())->SetOwnerWindow(self);
  return obj;
}

void Window::__Init(Window*) {}
void Window::__Exit(Window*) {}

void Window::SetMenuBar(Window* self, MenuItem* bar) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  LogCall("Window.MenuBar set");
  self->menuBar_ = bar;
  if (!self->peer_) return;
  {
    WindowPeer::Adjusting adjusting(*self->peer_);
    InstallMenuBar(self->peer_, bar);
    self->ApplyMenuBarVisible();
  }
  // The bar takes its height above the content, not out of it.
  self->ApplyFrame();
}

Ref<MenuItem> Window::GetMenuBar(Window* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  return Ref<MenuItem>(static_cast<MenuItem*>(self->menuBar_.get()));
}

// ---- properties ----

namespace {
int Limit(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, QWIDGETSIZE_MAX)); }
}  // namespace

void Window::ApplyFrame() {
  if (!peer_) return;
  WindowPeer::Adjusting adjusting(*peer_);
  QWidget* content = peer_->Content();
  const int w = width_ >= 0 ? width_ : content->width();
  const int h = height_ >= 0 ? height_ : content->height();
  const int menu = peer_->MenuSpace(w);
  if (resizeable_) {
    peer_->setMinimumSize(Limit(minWidth_), Limit(int64_t{minHeight_} + menu));
    peer_->setMaximumSize(Limit(maxWidth_), Limit(int64_t{maxHeight_} + menu));
  } else {
    peer_->setFixedSize(Limit(w), Limit(int64_t{h} + menu));
  }
  if (width_ >= 0 || height_ >= 0) peer_->resize(Limit(w), Limit(int64_t{h} + menu));
}

void Window::ApplyFlags() {
  if (!peer_) return;
  Qt::WindowFlags flags =
      Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  if (closeButton_) flags |= Qt::WindowCloseButtonHint;
  if (minimizeButton_) flags |= Qt::WindowMinimizeButtonHint;
  if (maximizeButton_) flags |= Qt::WindowMaximizeButtonHint;
  if (peer_->windowFlags() == flags) return;
  const bool shown = peer_->isVisible();
  peer_->setWindowFlags(flags);  // hides a shown window
  if (shown) peer_->show();
}

void Window::ApplyBackground() {
  if (!peer_) return;
  QWidget* content = peer_->Content();
  content->setAutoFillBackground(hasBackColor_);
  if (hasBackColor_)
    SetPaletteColor(content, QPalette::Window, backColor_);
  else
    content->setPalette(QPalette());  // the desktop's again
}

void Window::ApplyMenuBarVisible() {
  if (!peer_) return;
  if (QWidget* bar = peer_->menuWidget()) {
    if (!menuBarVisible_)
      bar->hide();
    else if (bar->isHidden())
      bar->show();
  }
}

void Window::RelayoutControls() {
  for (const auto& entry : controls_)
    if (entry.second->IsA(RectControl::__Lookup()))
      static_cast<RectControl*>(entry.second.get())->Relayout(width_, height_);
}

void Window::ContentResized(int32_t width, int32_t height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  RelayoutControls();
}

void Window::ApplyTabOrder() {
  std::vector<std::pair<int32_t, QWidget*>> chain;
  for (const auto& entry : controls_) {
    if (!entry.second->IsA(RectControl::__Lookup())) continue;
    auto* c = static_cast<RectControl*>(entry.second.get());
    // Qt leaves widgets that take no focus out of the order, and every pair with them.
    if (QWidget* w = c->Peer(); w && w->focusPolicy() != Qt::NoFocus)
      chain.emplace_back(RectControl::GetTabIndex(c), w);
  }
  std::stable_sort(chain.begin(), chain.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < chain.size(); ++i)
    if (chain[i - 1].second != chain[i].second)
      QWidget::setTabOrder(chain[i - 1].second, chain[i].second);
}

int32_t Window::GetWidth(Window* self) {
  if (self->width_ >= 0 || !self->peer_) return std::max(0, self->width_);
  return self->peer_->Content()->width();
}
void Window::SetWidth(Window* self, int32_t v) {
  _UITrap();
  self->width_ = std::max(0, v);
  self->ApplyFrame();
  self->RelayoutControls();
}
int32_t Window::GetHeight(Window* self) {
  if (self->height_ >= 0 || !self->peer_) return std::max(0, self->height_);
  return self->peer_->Content()->height();
}
void Window::SetHeight(Window* self, int32_t v) {
  _UITrap();
  self->height_ = std::max(0, v);
  self->ApplyFrame();
  self->RelayoutControls();
}

int32_t Window::GetMinWidth(Window* self) { return self->minWidth_; }
void Window::SetMinWidth(Window* self, int32_t v) {
  _UITrap();
  self->minWidth_ = v;
  self->ApplyFrame();
}
int32_t Window::GetMinHeight(Window* self) { return self->minHeight_; }
void Window::SetMinHeight(Window* self, int32_t v) {
  _UITrap();
  self->minHeight_ = v;
  self->ApplyFrame();
}
int32_t Window::GetMaxWidth(Window* self) { return self->maxWidth_; }
void Window::SetMaxWidth(Window* self, int32_t v) {
  _UITrap();
  self->maxWidth_ = v;
  self->ApplyFrame();
}
int32_t Window::GetMaxHeight(Window* self) { return self->maxHeight_; }
void Window::SetMaxHeight(Window* self, int32_t v) {
  _UITrap();
  self->maxHeight_ = v;
  self->ApplyFrame();
}

String Window::GetTitle(Window* self) { return self->title_; }
void Window::SetTitle(Window* self, const String& v) {
  _UITrap();
  self->title_ = v;
  if (self->peer_) self->peer_->setWindowTitle(ToQString(v));
}

bool Window::GetCloseButton(Window* self) { return self->closeButton_; }
void Window::SetCloseButton(Window* self, bool v) {
  _UITrap();
  self->closeButton_ = v;
  self->ApplyFlags();
}
bool Window::GetMaximizeButton(Window* self) { return self->maximizeButton_; }
void Window::SetMaximizeButton(Window* self, bool v) {
  _UITrap();
  self->maximizeButton_ = v;
  self->ApplyFlags();
}
bool Window::GetMinimizeButton(Window* self) { return self->minimizeButton_; }
void Window::SetMinimizeButton(Window* self, bool v) {
  _UITrap();
  self->minimizeButton_ = v;
  self->ApplyFlags();
}
bool Window::GetResizeable(Window* self) { return self->resizeable_; }
void Window::SetResizeable(Window* self, bool v) {
  _UITrap();
  self->resizeable_ = v;
  self->ApplyFrame();
}

// Closing the window by its frame hides it too.
bool Window::GetVisible(Window* self) {
  return self->peer_ ? self->peer_->isVisible() : self->visible_;
}
void Window::SetVisible(Window* self, bool v) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  self->visible_ = v;
  WindowPeer* peer = self->peer_;
  if (!peer) return;
  if (!v) {
    peer->hide();
    return;
  }
  if (!self->placed_) {
    self->placed_ = true;
    if (QScreen* screen = peer->screen() ? peer->screen() : QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      peer->move(area.x() + std::max(0, (area.width() - peer->width()) / 2),
                 area.y() + std::max(0, (area.height() - peer->height()) / 2));
    }
  }
  if (self->fullScreen_)
    peer->showFullScreen();
  else
    peer->show();
}

bool Window::GetFullScreen(Window* self) { return self->fullScreen_; }
void Window::SetFullScreen(Window* self, bool v) {
  _UITrap();
  self->fullScreen_ = v;
  if (!self->peer_ || !self->visible_) return;
  if (v)
    self->peer_->showFullScreen();
  else if (self->peer_->isFullScreen())
    self->peer_->showNormal();
}

bool Window::GetHasBackColor(Window* self) { return self->hasBackColor_; }
void Window::SetHasBackColor(Window* self, bool v) {
  _UITrap();
  self->hasBackColor_ = v;
  self->ApplyBackground();
}
Color Window::GetBackColor(Window* self) { return self->backColor_; }
void Window::SetBackColor(Window* self, Color v) {
  _UITrap();
  self->backColor_ = v;
  self->ApplyBackground();
}

bool Window::GetMenuBarVisible(Window* self) { return self->menuBarVisible_; }
void Window::SetMenuBarVisible(Window* self, bool v) {
  _UITrap();
  self->menuBarVisible_ = v;
  if (!self->peer_) return;
  {
    WindowPeer::Adjusting adjusting(*self->peer_);
    self->ApplyMenuBarVisible();
  }
  self->ApplyFrame();
}

}  // namespace rt
