// The framework started with the program's statics, without the start-up sequence: for tests
// that make their own windows and controls.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <string>

#include "app/startup.h"
#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/framework.h"
#include "platform/ui/control.h"
#include "platform/ui/window.h"
#include "support/harness.h"

namespace wtest {

class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    qtest::EnsureQtApplication();
    rt::RuntimeInit();
    rt::RuntimePerformInitializers(quorvane::StaticInitializers());
  }
  void TearDown() override {
    rt::ClearFaults();
    rt::RuntimePerformFinalizers(quorvane::StaticFinalizers());
    rt::RuntimeExit();
  }

  // A plain framework window with its peer, held by the framework until the end.
  static rt::Ref<rt::Window> NewWindow() {
    rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::Window::__Lookup());
    rt::Ref<rt::Window> w(static_cast<rt::Window*>(made.get()));
    rt::Window::Constructor(w.get());
    return w;
  }

  // A constructed control registered in w under name.
  template <class T>
  static rt::Ref<T> AddControl(rt::Window* w, const char* name) {
    rt::Ref<rt::Object> made = rt::Window::__New(w, T::__Lookup());
    rt::RectControl::Constructor(static_cast<rt::RectControl*>(made.get()));
    rt::Window::_AddControl(w, name, made.get());
    return rt::Ref<T>(static_cast<T*>(made.get()));
  }
};

// The widget behind w's control of that name, as a T; null when there is none or it is not one.
template <class T = QWidget>
T* PeerOf(rt::Window* w, const char* name) {
  rt::Ref<rt::Object> c = rt::Window::_ControlByName(w, name);
  return c ? qobject_cast<T*>(static_cast<rt::RectControl*>(c.get())->Peer()) : nullptr;
}

}  // namespace wtest
