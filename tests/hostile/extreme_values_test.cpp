// Values at the ends of their range, as the fuzz targets found them, through the setters
// into the Qt widgets: the framework keeps them as given and Qt gets what it can hold.
#include <gtest/gtest.h>

#include <QWidget>
#include <climits>

#include "platform/core/property_setter.h"
#include "platform/core/runtime_state.h"
#include "platform/ui/listbox.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"
#include "support/harness.h"

namespace {

TEST(ExtremeValues, AControlsGeometryAtTheEndsOfTheIntegerRangeReachesItsWidgetSafely) {
  qtest::EnsureQtApplication();
  const int32_t values[] = {INT32_MAX, INT32_MIN, INT32_MAX - 1, -1, 0, 1 << 30};
  for (int32_t position : values) {
    for (int32_t length : values) {
      SCOPED_TRACE(std::to_string(position) + " " + std::to_string(length));
      rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::Listbox::__Lookup());
      auto* box = static_cast<rt::RectControl*>(made.get());
      rt::RectControl::Constructor(box);
      for (const char* key : {"Left", "Top"}) rt::SetProperty(box, key, position);
      for (const char* key : {"Width", "Height"}) rt::SetProperty(box, key, length);
      EXPECT_EQ(rt::RectControl::GetLeft(box), position);
      EXPECT_EQ(rt::RectControl::GetHeight(box), length);
      const QRect shown = box->Peer()->geometry();
      EXPECT_LE(shown.width(), QWIDGETSIZE_MAX);
      EXPECT_GE(shown.width(), 0);
      EXPECT_LE(std::abs(shown.left()), QWIDGETSIZE_MAX);
    }
  }
}

TEST(ExtremeValues, MovingAWindowToTheEndsOfTheIntegerRangeIsSafe) {
  qtest::EnsureQtApplication();
  rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::Window::__Lookup());
  auto* window = static_cast<rt::Window*>(made.get());
  rt::Window::Constructor(window);
  ASSERT_NE(window->Peer(), nullptr);
  for (int32_t v : {INT32_MAX, INT32_MIN}) {
    rt::Window::_Move(window, v, v, v, v);
    EXPECT_LE(window->Peer()->width(), QWIDGETSIZE_MAX);
  }
  rt::ReleaseWindows();
}

}  // namespace
