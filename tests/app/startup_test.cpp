#include <gtest/gtest.h>

#include <stdexcept>

#include "app/app.h"
#include "app/startup.h"
#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/core/value.h"
#include "platform/framework.h"
#include "platform/ui/menu.h"
#include "platform/ui/event_loop.h"
#include "support/harness.h"
#include "window/window1.h"

namespace {

using qtest::IndexOf;

// Asserts that the lines appear in the log in this order.
void ExpectInOrder(const std::vector<std::string>& log, const std::vector<std::string>& lines) {
  int last = -1;
  for (const std::string& line : lines) {
    int at = IndexOf(log, line);
    EXPECT_GT(at, last) << "\"" << line << "\" missing or out of order";
    if (at >= 0) last = at;
  }
}

int CountOf(const std::vector<std::string>& log, const std::string& line) {
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

TEST(StartUp, RunsItsStepsInOrderAndEndsInOrder) {
  qtest::ScriptedPrompter prompter;
  int windowsDuringLoop = -1;
  const long liveBefore = rt::LiveObjectCount();
  qtest::RunResult run = qtest::RunProgram([&] {
    windowsDuringLoop = static_cast<int>(rt::RuntimeWindows().size());
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(windowsDuringLoop, 1);
  ExpectInOrder(run.log, {
                             "RuntimeInit",
                             "RuntimePerformInitializers",
                             "init App.__ctblinit",
                             "init FileTypes1.pAudioAiff.__Init",
                             "init MainMenuBar._implicitInstance.__Init",
                             "init MainMenuBar.__ctblinit",
                             "init Window1.__ctblinit",
                             "_RuntimeSetExceptionHelper",
                             "_RuntimeSetFrameworkVersion 2019.r3",
                             "_SetSupportsHiDPI True",
                             "_RuntimeInitExternalClasses",
                             "RuntimeLoadPlugin AppearanceControls.dylib",
                             "RuntimeLoadPlugin Ext_Util_OpenDialog_Plugin_19503.dylib",
                             "RuntimeLoadPlugin Ext_Tools_LibTag_Plugin_19503.dylib",
                             "ResolvePluginClasses",
                             "Application.MenuBar set",
                             "_RuntimeRegisterAppObject",
                             "_RunFrameworkInitialization",
                             "_GetImplicitWindow Window1.Window1",
                             "window made Window1.Window1",
                             "_RuntimeRun",
                             "RuntimePerformFinalizers",
                             "exit FileTypes1.pAudioAiff.__Exit",
                             "exit FileTypes1.pAudioMp3.__Exit",
                             "exit FileTypes1.pAudioMp4.__Exit",
                             "exit FileTypes1.pAudioWav.__Exit",
                             "exit FileTypes1.pAudioXM4a.__Exit",
                             "exit FileTypes1.pAudioXM4a1.__Exit",
                             "exit MainMenuBar._implicitInstance.__Exit",
                             "RuntimeExit",
                         });
  EXPECT_EQ(CountOf(run.log, "window made Window1.Window1"), 1);
  EXPECT_TRUE(prompter.unhandledErrors.empty());
  EXPECT_TRUE(rt::RuntimeWindows().empty());
  EXPECT_EQ(rt::LiveObjectCount(), liveBefore) << "every object the run made is released";
}

TEST(StartUp, AnErrorInEarlyStartUpIsReportedOnceAndTheProgramEndsInOrder) {
  for (const char* failing : {"_RuntimeInitExternalClasses", "_RuntimeRegisterAppObject"}) {
    SCOPED_TRACE(failing);
    qtest::ScriptedPrompter prompter;
    bool loopRan = false;
    rt::InjectFault(failing);
    qtest::RunResult run = qtest::RunProgram([&] { loopRan = true; });
    EXPECT_FALSE(loopRan);
    ASSERT_EQ(prompter.unhandledErrors.size(), 1u);
    EXPECT_NE(prompter.unhandledErrors[0].find("injected fault in"), std::string::npos);
    EXPECT_EQ(IndexOf(run.log, "_RunFrameworkInitialization"), -1);
    EXPECT_EQ(IndexOf(run.log, "_RuntimeRun"), -1);
    ExpectInOrder(run.log, {"RuntimeUnhandledException", "RuntimePerformFinalizers",
                            "exit MainMenuBar._implicitInstance.__Exit", "RuntimeExit"});
    EXPECT_EQ(run.status, 1);
    rt::ClearFaults();
  }
}

// A C++ exception from a start-up step, not only a framework error, reaches the
// unhandled-error routine instead of ending the process in std::terminate.
TEST(StartUp, AnyKindOfErrorFromAStartUpStepIsReportedOnce) {
  struct Case {
    const char* name;
    rt::Object* (*factory)();
    const char* reported;
  };
  const Case cases[] = {
      {"std::runtime_error",
       []() -> rt::Object* { throw std::runtime_error("menu item refused"); },
       "RuntimeException: menu item refused"},
      {"not a std::exception", []() -> rt::Object* { throw 42; }, "RuntimeException: unknown error"},
  };
  rt::ClassTable* items = rt::MenuItem::__Lookup();  // the menu bar's items, made in _NewAppInstance
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qtest::ScriptedPrompter prompter;
    bool loopRan = false;
    const long liveBefore = rt::LiveObjectCount();
    rt::Object* (*const made)() = items->factory;
    items->factory = c.factory;
    qtest::RunResult run = qtest::RunProgram([&] { loopRan = true; });
    items->factory = made;
    EXPECT_FALSE(loopRan);
    ASSERT_EQ(prompter.unhandledErrors.size(), 1u);
    EXPECT_NE(prompter.unhandledErrors[0].find(c.reported), std::string::npos)
        << prompter.unhandledErrors[0];
    EXPECT_EQ(IndexOf(run.log, "Application.MenuBar set"), -1);
    EXPECT_EQ(IndexOf(run.log, "_RuntimeRegisterAppObject"), -1);
    ExpectInOrder(run.log, {"RuntimeUnhandledException",
                            "RuntimePerformFinalizers", "exit FileTypes1.pAudioXM4a1.__Exit",
                            "RuntimeExit"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore) << "what the failed step made is released";
  }
}

TEST(StartUp, AnErrorLeavingAnEventHandlerEndsTheLoopOnce) {
  qtest::ScriptedPrompter prompter;
  qtest::RunResult run = qtest::RunProgram([] {
    rt::CallProgram([] { rt::RaiseException(rt::NilObjectException::__Lookup(), "from a handler"); });
  });
  ASSERT_EQ(prompter.unhandledErrors.size(), 1u);
  EXPECT_NE(prompter.unhandledErrors[0].find("NilObjectException"), std::string::npos);
  EXPECT_EQ(CountOf(run.log, "_RuntimeRun"), 1);
  ExpectInOrder(run.log, {"_RuntimeRun", "_UnhandledException NilObjectException: from a handler",
                          "RuntimePerformFinalizers", "RuntimeExit"});
  EXPECT_EQ(run.status, 1);
}

TEST(StartUp, QuitCarriesItsExitCode) {
  qtest::ScriptedPrompter prompter;
  qtest::RunResult run = qtest::RunProgram([] { rt::Quit(7); });
  EXPECT_EQ(run.status, 7);
  ExpectInOrder(run.log, {"Quit 7", "RuntimePerformFinalizers", "RuntimeExit"});
}

TEST(ExceptionHelper, GivesBackRuntimeExceptionsAndLetsOtherObjectsTravel) {
  auto call = [](void (*fn)(void*)) { return quorvane::_CallFunctionWithExceptionHandling(fn, nullptr); };
  EXPECT_FALSE(call([](void*) {}));
  rt::Ref<rt::Object> e = call([](void*) { rt::RaiseException(rt::NilObjectException::__Lookup()); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->Class()->name, "NilObjectException");
  EXPECT_THROW(call([](void*) { rt::Raise(rt::RuntimeNewObject(rt::Delegate::__Lookup())); }),
               rt::RaisedError);
}

TEST(AppClass, InheritsApplicationUnchangedAndHandlesNoEvent) {
  rt::ClassTable* table = quorvane::App::__Lookup();
  quorvane::App::__ctblinit();
  EXPECT_EQ(quorvane::App::__Lookup(), table);
  EXPECT_EQ(table->name, "App");
  ASSERT_EQ(table->vtable.size(), 14u);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(table->vtable[i], rt::Application::__Lookup()->vtable[i]);
  EXPECT_EQ(table->vtable[13], rt::EraseFn(&quorvane::App::Constructor));
  for (int n = 0; n < table->EventCount(); ++n) EXPECT_EQ(table->HandlerFor(n), nullptr) << n;
}

TEST(Window1Class, TableMatchesItsDescription) {
  namespace W1 = quorvane::Window1;
  rt::ClassTable* table = W1::__Lookup();
  W1::__ctblinit();
  EXPECT_EQ(W1::__Lookup(), table);
  EXPECT_EQ(table->name, "Window1.Window1");
  EXPECT_EQ(table->super, rt::Window::__Lookup());

  ASSERT_EQ(table->vtable.size(), 57u);
  for (int i = 0; i < 36; ++i) EXPECT_EQ(table->vtable[i], rt::Window::__Lookup()->vtable[i]) << i;
  EXPECT_EQ(table->vtable[W1::slot::openvideofolder.index], rt::EraseFn(&W1::openvideofolder));
  EXPECT_EQ(table->vtable[W1::slot::getid3info.index], rt::EraseFn(&W1::getid3info));

  for (int n = 0; n < table->EventCount(); ++n) {
    if (n == rt::Window::CreateControls || n == rt::Window::Layout)
      EXPECT_NE(table->HandlerFor(n), nullptr) << n;
    else
      EXPECT_EQ(table->HandlerFor(n), nullptr) << n;
  }
  EXPECT_EQ(table->HandlerFor(7), rt::HandlerOf<&W1::CreateControls>());
  EXPECT_EQ(table->HandlerFor(16), rt::HandlerOf<&W1::Layout>());

  ASSERT_EQ(table->members.size(), 61u);
  EXPECT_EQ(table->members[0].name, "AcceptFileDrop");
  EXPECT_EQ(table->members[39].name, "__New");
  EXPECT_EQ(table->members[40].name, "Layout");
  EXPECT_EQ(table->members[60].name, "getid3info");
  int hidden = 0, withAttributes = 0;
  for (const rt::MemberDescription& m : table->members) {
    hidden += m.hidden;
    withAttributes += !m.attributes.empty();
  }
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(withAttributes, 1);
  const rt::MemberDescription& cc0 = table->members[42];
  EXPECT_EQ(cc0.name, "_CreateControls0");
  EXPECT_TRUE(cc0.hidden);
  ASSERT_EQ(cc0.attributes.size(), 1u);
  EXPECT_EQ(cc0.attributes[0].name, "Hidden");
  EXPECT_TRUE(cc0.attributes[0].value.IsEmpty());
  EXPECT_EQ(cc0.attributes[0].flag, 0);

  // Slot order is description order without the four entries outside the table.
  int slotted = 0;
  for (const rt::MemberDescription& m : table->members)
    if (m.slot >= 0) {
      EXPECT_EQ(m.slot, slotted++) << m.name;
    }
  EXPECT_EQ(slotted, 57);

  // One invoker per signature: every "%o<MenuItem>%" accessor shares it.
  EXPECT_EQ(table->members[48].signature, "%o<MenuItem>%");
  EXPECT_EQ(table->members[57].signature, "%o<MenuItem>%");
  EXPECT_EQ(table->members[48].invoker, table->members[57].invoker);
  EXPECT_EQ(table->members[58].signature, "%o<QuitMenuItem>%");
  EXPECT_EQ(table->members[47].signature, "%%o<BevelButton>");
  EXPECT_EQ(table->members[60].signature, "%%o<FolderItem>");
}

TEST(Window1Class, InvokersTestTheTargetAndTheArgumentList) {
  const rt::MemberDescription& getid3info = quorvane::Window1::__Lookup()->members[60];
  rt::Ref<rt::Object> w = rt::RuntimeNewObject(quorvane::Window1::__Lookup());
  auto raised = [&](rt::Object* target, const rt::ValueList* args) -> std::string {
    try {
      rt::CallMember(getid3info, target, args);
    } catch (const rt::RaisedError& e) {
      return e.Error()->Class()->name;
    }
    return {};
  };
  EXPECT_EQ(raised(nullptr, nullptr), "NilObjectException");
  EXPECT_EQ(raised(w.get(), nullptr), "NilObjectException");
  rt::ValueList wrongClass{rt::Ref<rt::Object>(w)};
  EXPECT_EQ(raised(w.get(), &wrongClass), "IllegalCastException");
}

TEST(Window1Accessor, MakesOneWindowAndThenFindsIt) {
  qtest::ScriptedPrompter prompter;
  rt::Ref<rt::Window> first, second, held;
  qtest::RunResult run = qtest::RunProgram([&] {
    first = quorvane::Window1::Window1();
    second = quorvane::Window1::Window1();
    held = qtest::MainWindow();
  });
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, held);
  EXPECT_EQ(CountOf(run.log, "window made Window1.Window1"), 1);
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->IsA(quorvane::Window1::__Lookup()));
}

}  // namespace
