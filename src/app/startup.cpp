#include "app/startup.h"

#include <exception>

#include "app/app.h"
#include "app/delegates.h"
#include "filetypes/file_types1.h"
#include "menus/main_menu_bar.h"
#include "platform/core/errors.h"
#include "platform/framework.h"
#include "platform/ui/application.h"
#include "platform/ui/event_loop.h"
#include "window/window1.h"

namespace quorvane {

using rt::Ref;

namespace {

const rt::StaticRoutine kInitializers[] = {
    {"App.__ctblinit", &App::__ctblinit},
    {"FileTypes1.pAudioAiff.__Init", [] { FileTypes1::pAudioAiff.__Init(); }},
    {"FileTypes1.pAudioMp3.__Init", [] { FileTypes1::pAudioMp3.__Init(); }},
    {"FileTypes1.pAudioMp4.__Init", [] { FileTypes1::pAudioMp4.__Init(); }},
    {"FileTypes1.pAudioWav.__Init", [] { FileTypes1::pAudioWav.__Init(); }},
    {"FileTypes1.pAudioXM4a.__Init", [] { FileTypes1::pAudioXM4a.__Init(); }},
    {"FileTypes1.pAudioXM4a1.__Init", [] { FileTypes1::pAudioXM4a1.__Init(); }},
    {"MainMenuBar._implicitInstance.__Init", [] { MainMenuBar::_implicitInstance.__Init(); }},
    {"MainMenuBar.__ctblinit", &MainMenuBar::__ctblinit},
    {"Window1.__ctblinit", &Window1::__ctblinit},
};

const rt::StaticRoutine kFinalizers[] = {
    {"FileTypes1.pAudioAiff.__Exit", [] { FileTypes1::pAudioAiff.__Exit(); }},
    {"FileTypes1.pAudioMp3.__Exit", [] { FileTypes1::pAudioMp3.__Exit(); }},
    {"FileTypes1.pAudioMp4.__Exit", [] { FileTypes1::pAudioMp4.__Exit(); }},
    {"FileTypes1.pAudioWav.__Exit", [] { FileTypes1::pAudioWav.__Exit(); }},
    {"FileTypes1.pAudioXM4a.__Exit", [] { FileTypes1::pAudioXM4a.__Exit(); }},
    {"FileTypes1.pAudioXM4a1.__Exit", [] { FileTypes1::pAudioXM4a1.__Exit(); }},
    {"MainMenuBar._implicitInstance.__Exit", [] { MainMenuBar::_implicitInstance.__Exit(); }},
};

// Hands the framework the plain pointer of a delegate over routine; the delegate goes at once.
template <class Invoker, class Routine>
Ref<rt::Delegate> DelegateOver(Invoker invoker, Routine routine, const char* signature) {
  return rt::RuntimeCreateDelegate(rt::EraseFn(invoker), rt::EraseFn(routine), nullptr, signature,
                                   0);
}

using HelperInvoker = Ref<rt::Object> (*)(rt::Delegate*, rt::PtrFunction, void*);
using PlainInvoker = void (*)(rt::Delegate*);
using PtrInvoker = void (*)(rt::Delegate*, void*);

}  // namespace

std::span<const rt::StaticRoutine> StaticInitializers() { return kInitializers; }
std::span<const rt::StaticRoutine> StaticFinalizers() { return kFinalizers; }

int32_t main() {
  rt::RuntimeInit();
  rt::RuntimePerformInitializers(kInitializers);
  _Main();
  rt::RuntimePerformFinalizers(kFinalizers);
  const int32_t status = rt::RuntimeExit();
  return status;
}

void _Main() {
  Ref<rt::Delegate> lateStartup;
  bool failed = false;
  Ref<rt::Object> error;
  try {
    {
      Ref<rt::Delegate> helper =
          DelegateOver(static_cast<HelperInvoker>(&Delegate::Invoke),
                       &_CallFunctionWithExceptionHandling, "( Ptr, Ptr ) as Object");
      rt::_RuntimeSetExceptionHelper(
          reinterpret_cast<rt::ExceptionHelper>(helper->FunctionPointer()));
    }
    rt::_RuntimeSetFrameworkVersion(kFrameworkVersion);
    _EarlyStartup();
    lateStartup = DelegateOver(static_cast<PlainInvoker>(&Delegate::Invoke), &_LateStartup, "(  )");
    rt::_RunFrameworkInitialization(reinterpret_cast<void (*)()>(lateStartup->FunctionPointer()));
    lateStartup.reset();
    rt::_RuntimeRun();
  } catch (...) {
    failed = true;  // even for a nil error
    error = rt::CaughtError();
  }
  // The one catch-all: the error is reported once, outside the handler (an error the report
  // raises is not caught again), and the program ends in order.
  lateStartup.reset();
  if (failed) rt::_UnhandledException(error.get());
}

void _EarlyStartup() {
  rt::Application::_SetSupportsHiDPI(true);
  rt::_RuntimeInitExternalClasses();
  _InitPluginEntrypoints();
  _InitFileTypes();
  _NewAppInstance();
  _ApplicationAddMenuHandlers();
}

void _InitFileTypes() { FileTypes1::_Initialize(); }

void _NewAppInstance() {
  Ref<rt::Object> made = rt::RuntimeNewObject(App::__Lookup());
  Ref<rt::Application> app(static_cast<rt::Application*>(made.get()));
  made.reset();
  rt::Invoke(App::slot::Constructor, app);
  {
    Ref<rt::MenuBar> bar = MainMenuBar::MainMenuBar();
    rt::Application::SetMenuBar(app.get(), bar.get());
  }
  rt::_RuntimeRegisterAppObject(app.get());
}

void _ApplicationAddMenuHandlers() {}

void _LateStartup() { _MakeDefaultView(); }

void _MakeDefaultView() { Ref<rt::Window> w = Window1::Window1(); }

Ref<rt::Object> _CallFunctionWithExceptionHandling(rt::PtrFunction function, void* argument) {
  Ref<rt::Delegate> call =
      DelegateOver(static_cast<PtrInvoker>(&Delegate::Invoke), function, "( Ptr )");
  try {
    reinterpret_cast<PtrInvoker>(call->Invoker())(call.get(), argument);
  } catch (const rt::RaisedError& e) {
    if (e.Error() && e.Error()->IsA(rt::RuntimeException::__Lookup())) return e.Error();
    throw;
  }
  return nullptr;
}

}  // namespace quorvane
