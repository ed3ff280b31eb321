// The window's controls: made in CreateControls, found again by name.
#include "app/delegates.h"
#include "menus/main_menu_bar.h"
#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "window/add_handler.h"
#include "window/property_records.h"
#include "window/window1.h"

namespace quorvane {

namespace AddHandler {

void Stub17(rt::Object* raiser) {
  rt::Delegate* handler = rt::RuntimeEventHandlerDelegate(raiser, 17);
  // Only an object that has the handler raises through this stub; anything else is a fault.
  if (!handler) rt::RaiseNilObjectException();
  rt::Ref<rt::BevelButton> button =
      rt::CheckCast<rt::BevelButton>(raiser, rt::BevelButton::__Lookup());
  using Invoker = void (*)(rt::Delegate*, rt::BevelButton*);
  reinterpret_cast<Invoker>(handler->Invoker())(handler, button.get());
}

}  // namespace AddHandler

namespace Window1 {

static_assert(rt::BevelButton::Action == 17, "the button's Action event is its event 17");

namespace {

using rt::Window;

// Makes one control in the window, registers it under its name, and gives the control found
// again under that name its property record.
void MakeControl(Window* window, const char* name, rt::ClassTable* (*lookup)(),
                 rt::PropertyRecord record) {
  Ref<rt::Object> made = rt::Invoke(Window::slot::__New, window, lookup());
  rt::Invoke(rt::RectControl::slot::Constructor, static_cast<rt::RectControl*>(made.get()));
  rt::Invoke(Window::slot::_AddControl, window, rt::String(name), made.get());
  made.reset();  // from here on the window keeps the control

  Ref<rt::Object> found = rt::Invoke(Window::slot::_ControlByName, window, rt::String(name));
  Ref<rt::Object> control = rt::RuntimeCheckCast(found.get(), lookup());
  rt::_SetProperties(control.get(), record);
}

template <class T>
Ref<T> ControlNamed(Window* self, const char* name, rt::ClassTable* cls) {
  Ref<Window> window(self);
  if (!window) rt::RaiseNilObjectException();
  Ref<rt::Object> found = rt::Invoke(Window::slot::_ControlByName, window, rt::String(name));
  return rt::CheckCast<T>(found, cls);
}

}  // namespace

void Layout(Window* self) {
  Ref<Window> window(self);
  {
    Ref<rt::MenuBar> bar = MainMenuBar::MainMenuBar();
    Window::SetMenuBar(window.get(), bar.get());
  }
  rt::_SetProperties(window.get(), PropertyRecords::Window1);
}

void CreateControls(Window* self) {
  Ref<Window> window(self);
  rt::Invoke(slot::_CreateControls0, window);
}

void _CreateControls0(Window* self) {
  Ref<Window> window(self);

  MakeControl(window.get(), "BevelButton1", &rt::BevelButton::__Lookup,
              PropertyRecords::BevelButton1);
  Ref<rt::Object> found =
      rt::Invoke(Window::slot::_ControlByName, window, rt::String("BevelButton1"));
  Ref<rt::BevelButton> button = rt::CheckCast<rt::BevelButton>(found, rt::BevelButton::__Lookup());
  rt::AnyFn action = rt::EraseFn(rt::SlotFunction(window->Class(), slot::BevelButton1_Action));
  Ref<rt::Delegate> handler = rt::RuntimeCreateDelegate(rt::EraseFn(&Delegate::IM_Invoke), action,
                                                        window.get(), "( BevelButton )", 1);
  rt::RuntimeAddEventHandler(button.get(), rt::BevelButton::Action, &AddHandler::Stub17,
                             handler.get());

  MakeControl(window.get(), "Listbox1", &rt::Listbox::__Lookup, PropertyRecords::Listbox1);
  MakeControl(window.get(), "Label4", &rt::Label::__Lookup, PropertyRecords::Label4);
  MakeControl(window.get(), "TextArea1", &rt::TextArea::__Lookup, PropertyRecords::TextArea1);
}

Ref<rt::BevelButton> BevelButton1(Window* self) {
  return ControlNamed<rt::BevelButton>(self, "BevelButton1", rt::BevelButton::__Lookup());
}
Ref<rt::Listbox> Listbox1(Window* self) {
  return ControlNamed<rt::Listbox>(self, "Listbox1", rt::Listbox::__Lookup());
}
Ref<rt::Label> Label4(Window* self) {
  return ControlNamed<rt::Label>(self, "Label4", rt::Label::__Lookup());
}
Ref<rt::TextArea> TextArea1(Window* self) {
  return ControlNamed<rt::TextArea>(self, "TextArea1", rt::TextArea::__Lookup());
}

}  // namespace Window1
}  // namespace quorvane
