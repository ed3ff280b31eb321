// Applies the input as a property record to a fresh window or control with its Qt widget:
// the record reader and every setter it reaches must survive any bytes.
#include <QApplication>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_inputs.h"
#include "platform/core/errors.h"
#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"
#include "platform/framework.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"

namespace {

rt::Ref<rt::Window> NewWindow() {
  rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::Window::__Lookup());
  rt::Ref<rt::Window> window(static_cast<rt::Window*>(made.get()));
  rt::Window::Constructor(window.get());
  return window;
}

rt::Ref<rt::Object> NewControl(rt::Window* window, rt::ClassTable* cls) {
  rt::Ref<rt::Object> made = rt::Window::__New(window, cls);
  rt::RectControl::Constructor(static_cast<rt::RectControl*>(made.get()));
  rt::Window::_AddControl(window, "Control", made.get());
  return made;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Made here and kept for the whole process, as the tests do: libFuzzer ends with exit(),
  // and an application the runtime owns would go among the statics, after Qt's own.
  static int argc = 1;
  static char arg0[] = "property_record_fuzz";
  static char* argv[] = {arg0, nullptr};
  new QApplication(argc, argv);
  rt::RuntimeInit();
  rt::_RuntimeInitExternalClasses();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto target =
      static_cast<fuzz::RecordTarget>(data[0] % static_cast<uint8_t>(fuzz::RecordTarget::kCount));
  const rt::PropertyRecord record(data + 1, size - 1);
  {
    rt::Ref<rt::Window> window = NewWindow();
    rt::Ref<rt::Object> object;
    switch (target) {
      case fuzz::RecordTarget::Window:
        object = window;
        break;
      case fuzz::RecordTarget::BevelButton:
        object = NewControl(window.get(), rt::BevelButton::__Lookup());
        break;
      case fuzz::RecordTarget::Listbox:
        object = NewControl(window.get(), rt::Listbox::__Lookup());
        break;
      case fuzz::RecordTarget::Label:
        object = NewControl(window.get(), rt::Label::__Lookup());
        break;
      case fuzz::RecordTarget::TextArea:
      case fuzz::RecordTarget::kCount:
        object = NewControl(window.get(), rt::TextArea::__Lookup());
        break;
    }
    try {
      rt::_SetProperties(object.get(), record);
    } catch (const rt::RaisedError&) {
      // A malformed record or a value a setter refuses: reported, as it should be.
    }
    rt::ReleaseWindows();
  }
  return 0;
}
