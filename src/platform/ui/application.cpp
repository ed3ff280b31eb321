#include "platform/ui/application.h"

#include <QCoreApplication>
#include <QThread>

#include "platform/core/runtime.h"
#include "platform/core/runtime_state.h"
#include "platform/ui/menu.h"

namespace rt {

namespace {
bool gSupportsHiDPI = false;
}

ClassTable* Application::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<Application>("Application", nullptr, 0, kEventCount, 0);
    c->eventNames = {"Activate", "CancelClose",  "Close",        "Deactivate",        "EnableMenuItems",
                     "NewDocument", "Open", "OpenDocument", "UnhandledException"};
    RuntimeNewVtable(c, kSlotCount);
    SetSlot(c, slot::AddTrayItem, &AddTrayItem);
    SetSlot(c, slot::DoEvents, &DoEvents);
    SetSlot(c, slot::NewDocument, &NewDocument);
    SetSlot(c, slot::OpenDocument, &OpenDocument);
    SetSlot(c, slot::RemoveTrayItem, &RemoveTrayItem);
    SetSlot(c, slot::SleepCurrentThread, &SleepCurrentThread);
    SetSlot(c, slot::YieldToNextThread, &YieldToNextThread);
    SetSlot(c, slot::_AddMenuHandler, &_AddMenuHandler);
    SetSlot(c, slot::_AddPollableObject, &_AddPollableObject);
    SetSlot(c, slot::_DependencyList, &_DependencyList);
    SetSlot(c, slot::_DoSingleEvent, &_DoSingleEvent);
    SetSlot(c, slot::_RemovePollableObject, &_RemovePollableObject);
    SetSlot(c, slot::_x_SetVersionData, &_x_SetVersionData);
    return c;
  }();
  return cls;
}

Application::~Application() = default;

// There is no tray on this platform's framework: the item is refused.
bool Application::AddTrayItem(Application*, Object*) { return false; }
void Application::DoEvents(Application*, int32_t milliseconds) {
  _UITrap();
  QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds < 0 ? 0 : milliseconds);
}
void Application::NewDocument(Application*) {}
void Application::OpenDocument(Application*, FolderItem*) {}
void Application::RemoveTrayItem(Application*, Object*) {}
void Application::SleepCurrentThread(Application*, int32_t milliseconds) {
  QThread::msleep(milliseconds < 0 ? 0 : static_cast<unsigned long>(milliseconds));
}
void Application::YieldToNextThread(Application*) { QThread::yieldCurrentThread(); }
void Application::_AddMenuHandler(Application*, const String&, void*) {}
void Application::_AddPollableObject(Application*, Object*) {}
void Application::_DependencyList(Application*) {}
void Application::_DoSingleEvent(Application*, bool wait) {
  _UITrap();
  QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
}
void Application::_RemovePollableObject(Application*, Object*) {}
void Application::_x_SetVersionData(Application*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                    const String&, const String&, const String&) {}

void Application::SetMenuBar(Application* self, MenuItem* bar) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  LogCall("Application.MenuBar set");
  self->menuBar_ = bar;
}

Ref<MenuItem> Application::GetMenuBar(Application* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  return Ref<MenuItem>(static_cast<MenuItem*>(self->menuBar_.get()));
}

void Application::_SetSupportsHiDPI(bool on) {
  LogCall(std::string("_SetSupportsHiDPI ") + (on ? "True" : "False"));
  gSupportsHiDPI = on;
}
bool Application::SupportsHiDPI() { return gSupportsHiDPI; }

void _RuntimeRegisterAppObject(Application* app) {
  if (!app) RaiseNilObjectException();
  LogCall("_RuntimeRegisterAppObject");
  MaybeFail("_RuntimeRegisterAppObject");
  State().app = app;
  MarkApplicationRegistered(true);
}

Application* RegisteredApplication() { return static_cast<Application*>(State().app.get()); }

}  // namespace rt
