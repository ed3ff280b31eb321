#include "platform/ui/label.h"

#include <QLabel>

#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/ui/widget_support.h"

namespace rt {

ClassTable* Label::__Lookup() {
  static ClassTable* cls = [] {
    using L = Label;
    ClassTable* c = DefineClass<L>("Label", RectControl::__Lookup(), 0, 0, 14);
    RuntimeNewVtable(c, RectControl::kSlotCount);
    AddProperty<&L::GetText, &L::SetText>(c, "Text");
    AddProperty<&L::GetTextAlign, &L::SetTextAlign>(c, "TextAlign");
    AddProperty<&L::GetTextColor, &L::SetTextColor>(c, "TextColor");
    AddProperty<&L::GetMultiLine, &L::SetMultiLine>(c, "MultiLine");
    AddProperty<&L::GetSelectable, &L::SetSelectable>(c, "Selectable");
    AddProperty<&L::GetTransparent, &L::SetTransparent>(c, "Transparent");
    RectControl::AddFontProperties(c);
    AddField<&L::DataSource>(c, "DataSource");
    AddField<&L::DataField>(c, "DataField");
    return c;
  }();
  return cls;
}

QWidget* Label::CreatePeer(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void Label::SyncPeer(QWidget* peer) {
  RectControl::SyncPeer(peer);
  static_cast<QLabel*>(peer)->setText(ToQString(text_));
  ApplyLook();
}

// A label takes no focus, whatever its TabStop says.
void Label::ApplyFocusPolicy(QWidget* peer) {
  peer->setFocusPolicy(selectable_ ? Qt::ClickFocus : Qt::NoFocus);
}

void Label::ApplyLook() {
  auto* label = static_cast<QLabel*>(PeerForUpdate());
  if (!label) return;
  const Qt::Alignment horizontal = textAlign_ == 2   ? Qt::AlignHCenter
                                   : textAlign_ == 3 ? Qt::AlignRight
                                                     : Qt::AlignLeft;
  label->setAlignment(horizontal | (multiLine_ ? Qt::AlignTop : Qt::AlignVCenter));
  label->setWordWrap(multiLine_);
  label->setTextInteractionFlags(selectable_
                                     ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                     : Qt::NoTextInteraction);
  label->setAutoFillBackground(!transparent_);
  QPalette palette;  // roles not set here follow the desktop
  SetOwnColor(palette, QPalette::WindowText, textColor_, kDefaultTextColor);
  label->setPalette(palette);
}

String Label::GetText(Label* self) { return self->text_; }
void Label::SetText(Label* self, const String& v) {
  _UITrap();
  self->text_ = v;
  if (auto* l = static_cast<QLabel*>(self->PeerForUpdate())) l->setText(ToQString(v));
}
int32_t Label::GetTextAlign(Label* self) { return self->textAlign_; }
void Label::SetTextAlign(Label* self, int32_t v) {
  _UITrap();
  self->textAlign_ = v;
  self->ApplyLook();
}
Color Label::GetTextColor(Label* self) { return self->textColor_; }
void Label::SetTextColor(Label* self, Color v) {
  _UITrap();
  self->textColor_ = v;
  self->ApplyLook();
}
bool Label::GetMultiLine(Label* self) { return self->multiLine_; }
void Label::SetMultiLine(Label* self, bool v) {
  _UITrap();
  self->multiLine_ = v;
  self->ApplyLook();
}
bool Label::GetSelectable(Label* self) { return self->selectable_; }
void Label::SetSelectable(Label* self, bool v) {
  _UITrap();
  self->selectable_ = v;
  self->ApplyLook();
  self->UpdateFocus();
}
bool Label::GetTransparent(Label* self) { return self->transparent_; }
void Label::SetTransparent(Label* self, bool v) {
  _UITrap();
  self->transparent_ = v;
  self->ApplyLook();
}

}  // namespace rt
