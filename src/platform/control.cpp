#include "platform/control.h"

#include <QPointer>
#include <QWidget>

#include "platform/runtime.h"
#include "platform/window.h"
#include "platform/window_peer.h"

namespace rt {

struct RectControl::PeerRef {
  QPointer<QWidget> widget;
};

ClassTable* Control::__Lookup() {
  static ClassTable* cls = DefineClass<Control>("Control", nullptr);
  return cls;
}

ClassTable* RectControl::__Lookup() {
  static ClassTable* cls = DefineClass<RectControl>("RectControl", Control::__Lookup());
  return cls;
}

RectControl::RectControl() = default;

RectControl::~RectControl() {
  if (peer_ && peer_->widget) delete peer_->widget.data();
}

QWidget* RectControl::Peer() const noexcept { return peer_ ? peer_->widget.data() : nullptr; }

QWidget* RectControl::CreatePeer(QWidget* parent) { return new QWidget(parent); }

void RectControl::Constructor(RectControl* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  if (self->Peer()) return;
  QWidget* parent = nullptr;
  if (rt::Window* w = self->OwnerWindow(); w && w->Peer()) parent = w->Peer()->Content();
  self->peer_ = std::make_unique<PeerRef>();
  self->peer_->widget = self->CreatePeer(parent);
}

}  // namespace rt
