// The framework's control classes: Control, and RectControl with a Qt widget as its peer.
#pragma once

#include <memory>

#include "platform/class_table.h"
#include "platform/text.h"

class QWidget;

namespace rt {

class Window;

class Control : public Object {
 public:
  static ClassTable* __Lookup();
  // The window the control was made in (nil for none); that window owns the control.
  rt::Window* OwnerWindow() const noexcept { return owner_; }
  void SetOwnerWindow(rt::Window* w) noexcept { owner_ = w; }

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

  // Nil until constructed, and again once Qt has deleted the widget.
  QWidget* Peer() const noexcept;

 protected:
  // The widget this kind of control shows; parent is the window's content area.
  virtual QWidget* CreatePeer(QWidget* parent);

 private:
  struct PeerRef;
  std::unique_ptr<PeerRef> peer_;
};

}  // namespace rt
