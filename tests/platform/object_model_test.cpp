#include <gtest/gtest.h>

#include <thread>

#include "platform/core/delegate.h"
#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/core/text.h"
#include "platform/core/value.h"
#include "platform/framework.h"
#include "platform/ui/application.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"
#include "support/harness.h"

namespace {

using rt::Ref;

using qtest::RaisedClass;

TEST(ObjectModel, ReferencesCountAndReleaseTheObject) {
  const long before = rt::LiveObjectCount();
  {
    Ref<rt::Object> a = rt::RuntimeNewObject(rt::Delegate::__Lookup());
    EXPECT_EQ(a->RefCount(), 1);
    Ref<rt::Object> b = a;
    EXPECT_EQ(a->RefCount(), 2);
    Ref<rt::Object> c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(a->RefCount(), 2);
    EXPECT_EQ(rt::LiveObjectCount(), before + 1);
  }
  EXPECT_EQ(rt::LiveObjectCount(), before);
}

TEST(ObjectModel, UsingAMemberThroughNilRaisesNilObjectException) {
  Ref<rt::Window> none;
  EXPECT_EQ(RaisedClass([&] { (void)none->Controls(); }), "NilObjectException");
  EXPECT_EQ(RaisedClass([&] { rt::Invoke(rt::Window::slot::Show, none); }), "NilObjectException");
}

TEST(ObjectModel, CheckCastKeepsNilAndRefusesOtherClasses) {
  EXPECT_FALSE(rt::RuntimeCheckCast(nullptr, rt::Window::__Lookup()));
  Ref<rt::Object> d = rt::RuntimeNewObject(rt::Delegate::__Lookup());
  EXPECT_EQ(rt::RuntimeCheckCast(d.get(), rt::Delegate::__Lookup()), d);
  EXPECT_EQ(RaisedClass([&] { rt::RuntimeCheckCast(d.get(), rt::Window::__Lookup()); }),
            "IllegalCastException");
  EXPECT_TRUE(rt::NilObjectException::__Lookup()->IsA(rt::RuntimeException::__Lookup()));
}

TEST(ObjectModel, NewVtableStartsWithTheSuperclassFunctions) {
  rt::ClassTable* sub = rt::RuntimeNewClass(rt::Window::__Lookup(), 0, 0, 0);
  std::vector<rt::AnyFn>& vt = rt::RuntimeNewVtable(sub, rt::Window::kSlotCount + 2);
  ASSERT_EQ(vt.size(), rt::Window::kSlotCount + 2u);
  for (int i = 0; i < rt::Window::kSlotCount; ++i) EXPECT_EQ(vt[i], rt::Window::__Lookup()->vtable[i]);
  EXPECT_EQ(vt[rt::Window::kSlotCount], nullptr);
  EXPECT_EQ(sub->EventCount(), rt::Window::kEventCount);
  EXPECT_EQ(sub->EventName(16), "Layout");
}

TEST(Text, NilReadsEmptyAndAppendingLeavesOtherHoldersAlone) {
  rt::String nil;
  EXPECT_EQ(nil.View(), "");
  EXPECT_EQ((nil + rt::String("x")).View(), "x");

  rt::String base = "ab";
  rt::String grown = base + rt::String("cd");  // extends base's buffer in place
  rt::String other = base + rt::String("XY");  // base is no longer the tip: a copy
  EXPECT_EQ(base.View(), "ab");
  EXPECT_EQ(grown.View(), "abcd");
  EXPECT_EQ(other.View(), "abXY");
  EXPECT_TRUE(grown.SharesBufferWith(base));
  EXPECT_EQ((grown + grown).View(), "abcdabcd");
}

int gCalls = 0;
void CountCall() { ++gCalls; }

TEST(Delegates, FunctionPointerCallsTheRoutineAndOutlivesTheDelegate) {
  rt::AnyFn pointer;
  {
    Ref<rt::Delegate> d = rt::RuntimeCreateDelegate(nullptr, rt::EraseFn(&CountCall), nullptr,
                                                    "(  )", 0);
    pointer = d->FunctionPointer();
  }
  gCalls = 0;
  reinterpret_cast<void (*)()>(pointer)();
  EXPECT_EQ(gCalls, 1);
}

TEST(Delegates, FlagOneDoesNotKeepTheTargetAlive) {
  Ref<rt::Object> target = rt::RuntimeNewObject(rt::Delegate::__Lookup());
  Ref<rt::Delegate> weak = rt::RuntimeCreateDelegate(nullptr, nullptr, target.get(), "", 1);
  Ref<rt::Delegate> strong = rt::RuntimeCreateDelegate(nullptr, nullptr, target.get(), "", 0);
  EXPECT_EQ(target->RefCount(), 2);
  EXPECT_EQ(weak->Target(), target.get());
  EXPECT_EQ(strong->Target(), target.get());
}

TEST(Invokers, CallMembersThroughTheirDescriptionsAndTestNil) {
  const rt::ClassTable* window = rt::Window::__Lookup();
  const rt::MemberDescription* byName = nullptr;
  for (const auto& m : window->members)
    if (m.name == "_ControlByName") byName = &m;
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName->signature, "%o<Object>%s");
  EXPECT_EQ(RaisedClass([&] { rt::CallMember(*byName, nullptr, nullptr); }), "NilObjectException");
  Ref<rt::Object> w = rt::RuntimeNewObject(rt::Window::__Lookup());
  EXPECT_EQ(RaisedClass([&] { rt::CallMember(*byName, w.get(), nullptr); }), "NilObjectException");
  rt::ValueList args{rt::String("nothing")};
  rt::Value found = rt::CallMember(*byName, w.get(), &args);
  EXPECT_FALSE(std::get<Ref<rt::Object>>(found));
}

class MainThreadRule : public ::testing::Test {
 protected:
  void SetUp() override {
    qtest::EnsureQtApplication();
    rt::RuntimeInit();
  }
  void TearDown() override { rt::RuntimeExit(); }
};

TEST_F(MainThreadRule, UserInterfaceCallsOffTheMainThreadRaiseOnceAnAppIsRegistered) {
  Ref<rt::Object> text = rt::RuntimeNewObject(rt::TextArea::__Lookup());
  auto* area = static_cast<rt::TextArea*>(text.get());
  auto offMainThread = [&] {
    std::string raised, message;
    std::thread t([&] {
      try {
        rt::TextEdit::SetText(area, "x");
      } catch (const rt::RaisedError& e) {
        raised = e.Error()->Class()->name;
        message = static_cast<rt::RuntimeException*>(e.Error().get())->Message.Std();
      }
    });
    t.join();
    return std::pair(raised, message);
  };
  EXPECT_EQ(offMainThread().first, "");  // no application yet: nothing to protect

  Ref<rt::Object> app = rt::RuntimeNewObject(rt::Application::__Lookup());
  rt::_RuntimeRegisterAppObject(static_cast<rt::Application*>(app.get()));
  auto [raised, message] = offMainThread();
  EXPECT_EQ(raised, "ThreadAccessingUIException");
  EXPECT_EQ(message,
            "A thread has attempted to manipulate a user interface element. This can only be "
            "done from the application's main thread.");
  EXPECT_NO_THROW(rt::TextEdit::SetText(area, "on the main thread"));
}

TEST_F(MainThreadRule, AnErrorLeavingProgramCodeIsHeldUntilTheLoopRaisesIt) {
  rt::CallProgram([] { rt::RaiseException(rt::NilObjectException::__Lookup()); });
  EXPECT_TRUE(rt::ErrorPending());
  bool ran = false;
  Ref<rt::Object> w = rt::RuntimeNewObject(rt::Window::__Lookup());
  rt::CallProgram([&] { ran = true; });  // the dispatch itself still works...
  EXPECT_TRUE(ran);
  EXPECT_FALSE(rt::RaiseEvent(w.get(), rt::Window::Open));  // ...but no event reaches code
  EXPECT_EQ(RaisedClass([] { rt::_RuntimeRun(); }), "NilObjectException");
}

int gLateStartups = 0;

TEST_F(MainThreadRule, LateStartUpRunsExactlyOnce) {
  gLateStartups = 0;
  rt::_RunFrameworkInitialization([] { ++gLateStartups; });
  rt::_RunFrameworkInitialization([] { ++gLateStartups; });
  EXPECT_EQ(gLateStartups, 1);
}

}  // namespace
