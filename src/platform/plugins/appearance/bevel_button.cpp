#include "platform/plugins/appearance/bevel_button.h"

#include <QPushButton>

#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/ui/widget_support.h"

namespace rt {

ClassTable* BevelButton::__Lookup() {
  static ClassTable* cls = [] {
    using B = BevelButton;
    ClassTable* c = DefineClass<B>("BevelButton", RectControl::__Lookup(), 0,
                                   static_cast<int>(kEventCount) - RectControl::kEventCount, 22);
    c->eventNames = {"MouseUp", "MouseDown", "Action", "GotFocus", "LostFocus"};
    RuntimeNewVtable(c, RectControl::kSlotCount);
    AddProperty<&B::GetCaption, &B::SetCaption>(c, "Caption");
    AddProperty<&B::GetCaptionAlign, &B::SetCaptionAlign>(c, "CaptionAlign");
    AddField<&B::CaptionPlacement>(c, "CaptionPlacement");
    AddField<&B::CaptionDelta>(c, "CaptionDelta");
    AddField<&B::IconAlign>(c, "IconAlign");
    AddField<&B::IconDX>(c, "IconDX");
    AddField<&B::IconDY>(c, "IconDY");
    AddField<&B::Bevel>(c, "Bevel");
    AddField<&B::HasMenu>(c, "HasMenu");
    AddProperty<&B::GetHasBackColor, &B::SetHasBackColor>(c, "HasBackColor");
    AddProperty<&B::GetBackColor, &B::SetBackColor>(c, "BackColor");
    AddProperty<&B::GetTextColor, &B::SetTextColor>(c, "TextColor");
    AddProperty<&B::GetValue, &B::SetValue>(c, "Value");
    AddField<&B::MenuValue>(c, "MenuValue");
    AddProperty<&B::GetButtonType, &B::SetButtonType>(c, "ButtonType");
    AddProperty<&B::GetAcceptFocus, &B::SetAcceptFocus>(c, "AcceptFocus");
    RectControl::AddFontProperties(c);
    return c;
  }();
  return cls;
}

QWidget* BevelButton::CreatePeer(QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setAutoDefault(false);
  QObject* bridge = Bridge();
  QObject::connect(button, &QPushButton::pressed, bridge,
                   [this] { RaiseUserAction(this, MouseDown); });
  QObject::connect(button, &QPushButton::released, bridge,
                   [this] { RaiseUserAction(this, MouseUp); });
  QObject::connect(button, &QPushButton::clicked, bridge, [this, button](bool checked) {
    if (buttonType_ == 2 && !checked) button->setChecked(checked = true);  // sticky: stays down
    if (buttonType_ != 0) value_ = checked;
    RaiseUserAction(this, Action);
  });
  auto* events = static_cast<PeerBridge*>(bridge);
  events->onEvent = [this](QEvent* e) {
    if (e->type() == QEvent::FocusIn) RaiseEvent(this, GotFocus);
    if (e->type() == QEvent::FocusOut) RaiseEvent(this, LostFocus);
  };
  button->installEventFilter(bridge);
  return button;
}

void BevelButton::SyncPeer(QWidget* peer) {
  RectControl::SyncPeer(peer);
  static_cast<QPushButton*>(peer)->setText(ToQString(caption_));
  ApplyLook();
}

void BevelButton::ApplyFocusPolicy(QWidget* peer) {
  peer->setFocusPolicy(acceptFocus_ && GetTabStop(this) ? Qt::StrongFocus : Qt::NoFocus);
}

void BevelButton::ApplyLook() {
  auto* button = static_cast<QPushButton*>(PeerForUpdate());
  if (!button) return;
  QPalette palette;  // roles not set here follow the desktop
  if (hasBackColor_) palette.setColor(QPalette::Button, ToQColor(backColor_));
  SetOwnColor(palette, QPalette::ButtonText, textColor_, kDefaultTextColor);
  button->setPalette(palette);
  button->setStyleSheet(captionAlign_ == 1   ? "text-align: left"
                        : captionAlign_ == 2 ? "text-align: right"
                                             : "");
  button->setCheckable(buttonType_ != 0);
  button->setChecked(buttonType_ != 0 && value_);
}

String BevelButton::GetCaption(BevelButton* self) { return self->caption_; }
void BevelButton::SetCaption(BevelButton* self, const String& v) {
  _UITrap();
  self->caption_ = v;
  if (auto* b = static_cast<QPushButton*>(self->PeerForUpdate())) b->setText(ToQString(v));
}
int32_t BevelButton::GetCaptionAlign(BevelButton* self) { return self->captionAlign_; }
void BevelButton::SetCaptionAlign(BevelButton* self, int32_t v) {
  _UITrap();
  self->captionAlign_ = v;
  self->ApplyLook();
}
bool BevelButton::GetHasBackColor(BevelButton* self) { return self->hasBackColor_; }
void BevelButton::SetHasBackColor(BevelButton* self, bool v) {
  _UITrap();
  self->hasBackColor_ = v;
  self->ApplyLook();
}
Color BevelButton::GetBackColor(BevelButton* self) { return self->backColor_; }
void BevelButton::SetBackColor(BevelButton* self, Color v) {
  _UITrap();
  self->backColor_ = v;
  self->ApplyLook();
}
Color BevelButton::GetTextColor(BevelButton* self) { return self->textColor_; }
void BevelButton::SetTextColor(BevelButton* self, Color v) {
  _UITrap();
  self->textColor_ = v;
  self->ApplyLook();
}
int32_t BevelButton::GetButtonType(BevelButton* self) { return self->buttonType_; }
void BevelButton::SetButtonType(BevelButton* self, int32_t v) {
  _UITrap();
  self->buttonType_ = v;
  self->ApplyLook();
}
bool BevelButton::GetValue(BevelButton* self) { return self->value_; }
void BevelButton::SetValue(BevelButton* self, bool v) {
  _UITrap();
  self->value_ = v;
  self->ApplyLook();
}
bool BevelButton::GetAcceptFocus(BevelButton* self) { return self->acceptFocus_; }
void BevelButton::SetAcceptFocus(BevelButton* self, bool v) {
  _UITrap();
  self->acceptFocus_ = v;
  self->UpdateFocus();
}

}  // namespace rt
