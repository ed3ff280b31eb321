#include "platform/ui/control.h"

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <limits>

#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/ui/widget_support.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"

namespace rt {

struct RectControl::PeerRef {
  QPointer<QWidget> widget;
  std::unique_ptr<PeerBridge> bridge = std::make_unique<PeerBridge>();
};

ClassTable* Control::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<Control>("Control", nullptr, 0, kEventCount, 3);
    c->eventNames = {"Close", "Open"};
    AddField<&Control::Name>(c, "Name");
    AddField<&Control::Index>(c, "Index");
    AddField<&Control::TabPanelIndex>(c, "TabPanelIndex");
    return c;
  }();
  return cls;
}

ClassTable* RectControl::__Lookup() {
  static ClassTable* cls = [] {
    using R = RectControl;
    ClassTable* c = DefineClass<R>("RectControl", Control::__Lookup(), 1,
                                   static_cast<int>(kEventCount) - Control::kEventCount, 15);
    c->eventNames = {"ConstructContextualMenu",
                     "ContextualMenuAction",
                     "DragEnter",
                     "DragExit",
                     "DragOver",
                     "DropObject",
                     "KeyDown",
                     "KeyUp",
                     "MouseEnter",
                     "MouseExit",
                     "MouseMove",
                     "MouseWheel",
                     "ScaleFactorChanged"};
    RuntimeNewVtable(c, kSlotCount);
    SetSlot(c, slot::Constructor, &Constructor);
    AddProperty<&R::GetLeft, &R::SetLeft>(c, "Left");
    AddProperty<&R::GetTop, &R::SetTop>(c, "Top");
    AddProperty<&R::GetWidth, &R::SetWidth>(c, "Width");
    AddProperty<&R::GetHeight, &R::SetHeight>(c, "Height");
    AddProperty<&R::GetLockLeft, &R::SetLockLeft>(c, "LockLeft");
    AddProperty<&R::GetLockTop, &R::SetLockTop>(c, "LockTop");
    AddProperty<&R::GetLockRight, &R::SetLockRight>(c, "LockRight");
    AddProperty<&R::GetLockBottom, &R::SetLockBottom>(c, "LockBottom");
    AddProperty<&R::GetTabIndex, &R::SetTabIndex>(c, "TabIndex");
    AddProperty<&R::GetTabStop, &R::SetTabStop>(c, "TabStop");
    AddField<&R::InitialParent>(c, "InitialParent");
    AddProperty<&R::GetVisible, &R::SetVisible>(c, "Visible");
    AddProperty<&R::GetHelpTag, &R::SetHelpTag>(c, "HelpTag");
    AddField<&R::AutoDeactivate>(c, "AutoDeactivate");
    AddProperty<&R::GetEnabled, &R::SetEnabled>(c, "Enabled");
    return c;
  }();
  return cls;
}

void RectControl::AddFontProperties(ClassTable* c) {
  using R = RectControl;
  AddProperty<&R::GetTextFont, &R::SetTextFont>(c, "TextFont");
  AddProperty<&R::GetTextSize, &R::SetTextSize>(c, "TextSize");
  AddProperty<&R::GetTextUnit, &R::SetTextUnit>(c, "TextUnit");
  AddProperty<&R::GetBold, &R::SetBold>(c, "Bold");
  AddProperty<&R::GetItalic, &R::SetItalic>(c, "Italic");
  AddProperty<&R::GetUnderline, &R::SetUnderline>(c, "Underline");
}

RectControl::RectControl() = default;

RectControl::~RectControl() {
  if (!peer_) return;
  peer_->bridge.reset();  // first, so the widget's last signals reach nothing
  if (peer_->widget) delete peer_->widget.data();
}

QWidget* RectControl::Peer() const noexcept { return peer_ ? peer_->widget.data() : nullptr; }
QObject* RectControl::Bridge() const noexcept { return peer_ ? peer_->bridge.get() : nullptr; }

QWidget* RectControl::PeerForUpdate() {
  _UITrap();
  return Peer();
}

QWidget* RectControl::CreatePeer(QWidget* parent) { return new QWidget(parent); }

void RectControl::Constructor(RectControl* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  if (self->Peer()) return;
  QWidget* parent = nullptr;
  if (rt::Window* w = self->OwnerWindow(); w && w->Peer()) parent = w->Peer()->Content();
  self->peer_ = std::make_unique<PeerRef>();
  self->peer_->widget = self->CreatePeer(parent);
  self->SyncPeer(self->peer_->widget);
}

void RectControl::SyncPeer(QWidget* peer) {
  ApplyGeometry();
  if (!visible_) peer->hide();
  peer->setEnabled(enabled_);
  peer->setToolTip(ToQString(helpTag_));
  ApplyFocusPolicy(peer);
  ApplyFont();
}

void RectControl::UpdateFocus() {
  if (QWidget* w = PeerForUpdate()) ApplyFocusPolicy(w);
  if (rt::Window* w = OwnerWindow()) w->ApplyTabOrder();
}

void RectControl::ApplyFocusPolicy(QWidget* peer) {
  peer->setFocusPolicy(tabStop_ ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- geometry and anchoring ----

namespace {
int32_t Clamp32(int64_t v, int64_t low = std::numeric_limits<int32_t>::min()) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, low, std::numeric_limits<int32_t>::max()));
}
int32_t KnownWidth(const RectControl* c) {
  return c->OwnerWindow() ? c->OwnerWindow()->LayoutWidth() : -1;
}
int32_t KnownHeight(const RectControl* c) {
  return c->OwnerWindow() ? c->OwnerWindow()->LayoutHeight() : -1;
}
}  // namespace

void RectControl::Rebase(Axis& axis, int32_t start, int32_t length, int32_t content) {
  axis.start = start;
  axis.length = length;
  axis.content = content;
}

void RectControl::ApplyGeometry() {
  QWidget* w = Peer();
  if (!w || !geometryGiven_) return;
  w->setGeometry(PeerRect(left_, top_, width_, height_));
}

void RectControl::Relayout(int32_t contentWidth, int32_t contentHeight) {
  // Placed from the geometry as given, not step by step, so that shrinking a window below
  // a control's size and growing it again gives the control back its size.
  auto place = [](Axis& a, bool lockStart, bool lockEnd, int32_t content, int32_t& start,
                  int32_t& length) {
    if (content < 0) return;
    if (a.content < 0) {
      a.content = content;
      return;
    }
    const int64_t delta = int64_t{content} - a.content;
    start = a.start;
    length = a.length;
    if (lockStart && lockEnd)
      length = Clamp32(int64_t{a.length} + delta, 0);
    else if (lockEnd)
      start = Clamp32(int64_t{a.start} + delta);
  };
  place(baseX_, lockLeft_, lockRight_, contentWidth, left_, width_);
  place(baseY_, lockTop_, lockBottom_, contentHeight, top_, height_);
  ApplyGeometry();
}

int32_t RectControl::GetLeft(RectControl* self) { return self->left_; }
int32_t RectControl::GetTop(RectControl* self) { return self->top_; }
int32_t RectControl::GetWidth(RectControl* self) { return self->width_; }
int32_t RectControl::GetHeight(RectControl* self) { return self->height_; }

void RectControl::SetLeft(RectControl* self, int32_t v) {
  _UITrap();
  self->left_ = v;
  self->geometryGiven_ = true;
  self->Rebase(self->baseX_, self->left_, self->width_, KnownWidth(self));
  self->ApplyGeometry();
}
void RectControl::SetTop(RectControl* self, int32_t v) {
  _UITrap();
  self->top_ = v;
  self->geometryGiven_ = true;
  self->Rebase(self->baseY_, self->top_, self->height_, KnownHeight(self));
  self->ApplyGeometry();
}
void RectControl::SetWidth(RectControl* self, int32_t v) {
  _UITrap();
  self->width_ = v;
  self->geometryGiven_ = true;
  self->Rebase(self->baseX_, self->left_, self->width_, KnownWidth(self));
  self->ApplyGeometry();
}
void RectControl::SetHeight(RectControl* self, int32_t v) {
  _UITrap();
  self->height_ = v;
  self->geometryGiven_ = true;
  self->Rebase(self->baseY_, self->top_, self->height_, KnownHeight(self));
  self->ApplyGeometry();
}

bool RectControl::GetLockLeft(RectControl* self) { return self->lockLeft_; }
bool RectControl::GetLockTop(RectControl* self) { return self->lockTop_; }
bool RectControl::GetLockRight(RectControl* self) { return self->lockRight_; }
bool RectControl::GetLockBottom(RectControl* self) { return self->lockBottom_; }

// A new lock counts from where the control stands now.
void RectControl::SetLockLeft(RectControl* self, bool v) {
  _UITrap();
  self->lockLeft_ = v;
  self->Rebase(self->baseX_, self->left_, self->width_, KnownWidth(self));
}
void RectControl::SetLockRight(RectControl* self, bool v) {
  _UITrap();
  self->lockRight_ = v;
  self->Rebase(self->baseX_, self->left_, self->width_, KnownWidth(self));
}
void RectControl::SetLockTop(RectControl* self, bool v) {
  _UITrap();
  self->lockTop_ = v;
  self->Rebase(self->baseY_, self->top_, self->height_, KnownHeight(self));
}
void RectControl::SetLockBottom(RectControl* self, bool v) {
  _UITrap();
  self->lockBottom_ = v;
  self->Rebase(self->baseY_, self->top_, self->height_, KnownHeight(self));
}

// ---- focus, visibility, tool tip ----

int32_t RectControl::GetTabIndex(RectControl* self) { return self->tabIndex_; }
void RectControl::SetTabIndex(RectControl* self, int32_t v) {
  _UITrap();
  self->tabIndex_ = v;
  if (rt::Window* w = self->OwnerWindow()) w->ApplyTabOrder();
}

bool RectControl::GetTabStop(RectControl* self) { return self->tabStop_; }
void RectControl::SetTabStop(RectControl* self, bool v) {
  _UITrap();
  self->tabStop_ = v;
  self->UpdateFocus();
}

bool RectControl::GetVisible(RectControl* self) { return self->visible_; }
void RectControl::SetVisible(RectControl* self, bool v) {
  _UITrap();
  self->visible_ = v;
  if (QWidget* w = self->PeerForUpdate()) w->setVisible(v);
}

bool RectControl::GetEnabled(RectControl* self) { return self->enabled_; }
void RectControl::SetEnabled(RectControl* self, bool v) {
  _UITrap();
  self->enabled_ = v;
  if (QWidget* w = self->PeerForUpdate()) w->setEnabled(v);
}

String RectControl::GetHelpTag(RectControl* self) { return self->helpTag_; }
void RectControl::SetHelpTag(RectControl* self, const String& v) {
  _UITrap();
  self->helpTag_ = v;
  if (QWidget* w = self->PeerForUpdate()) w->setToolTip(ToQString(v));
}

// ---- fonts ----

void RectControl::ApplyFont() {
  QWidget* w = PeerForUpdate();
  if (!w) return;
  QFont f;  // what is not set here follows the desktop's font
  const std::string_view family = textFont_.View();
  if (!family.empty() && family != "System") f.setFamilies({ToQString(textFont_)});
  if (textSize_ > 0) {
    const double size = std::min(textSize_, 1000.0f);
    switch (textUnit_) {
      case FontUnits::Pixel:
        f.setPixelSize(std::max(1, static_cast<int>(size + 0.5)));
        break;
      case FontUnits::Inch:
        f.setPointSizeF(size * 72);
        break;
      case FontUnits::Millimeter:
        f.setPointSizeF(size * 72 / 25.4);
        break;
      default:
        f.setPointSizeF(size);
    }
  }
  if (bold_) f.setBold(true);
  if (italic_) f.setItalic(true);
  if (underline_) f.setUnderline(true);
  w->setFont(f);
}

String RectControl::GetTextFont(RectControl* self) { return self->textFont_; }
void RectControl::SetTextFont(RectControl* self, const String& v) {
  _UITrap();
  self->textFont_ = v;
  self->ApplyFont();
}
float RectControl::GetTextSize(RectControl* self) { return self->textSize_; }
void RectControl::SetTextSize(RectControl* self, float v) {
  _UITrap();
  self->textSize_ = v;
  self->ApplyFont();
}
FontUnits RectControl::GetTextUnit(RectControl* self) { return self->textUnit_; }
void RectControl::SetTextUnit(RectControl* self, FontUnits v) {
  _UITrap();
  self->textUnit_ = v;
  self->ApplyFont();
}
bool RectControl::GetBold(RectControl* self) { return self->bold_; }
void RectControl::SetBold(RectControl* self, bool v) {
  _UITrap();
  self->bold_ = v;
  self->ApplyFont();
}
bool RectControl::GetItalic(RectControl* self) { return self->italic_; }
void RectControl::SetItalic(RectControl* self, bool v) {
  _UITrap();
  self->italic_ = v;
  self->ApplyFont();
}
bool RectControl::GetUnderline(RectControl* self) { return self->underline_; }
void RectControl::SetUnderline(RectControl* self, bool v) {
  _UITrap();
  self->underline_ = v;
  self->ApplyFont();
}

}  // namespace rt
