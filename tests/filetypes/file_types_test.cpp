#include <gtest/gtest.h>

#include <algorithm>

#include "app/startup.h"
#include "filetypes/file_types1.h"
#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/files/file_type.h"
#include "platform/ui/event_loop.h"
#include "support/harness.h"

namespace {

namespace FT = quorvane::FileTypes1;
using rt::FileType;
using rt::Ref;
using Lines = std::vector<std::string>;

const Lines kRegistrations = {
    "RuntimeRegisterFileType audio/mp3|TVOD|Mp3 |.mp3;.swa|public.mp3",
    "RuntimeRegisterFileType audio/mp4|TVOD|mpg4|.mp4|",
    "RuntimeRegisterFileType audio/aiff|TVOD|AIFF|.aiff;.aif;.aifc;.cdda|",
    "RuntimeRegisterFileType audio/wav|TVOD|.WAV|.wav;.bwf|com.microsoft.waveform-audio",
    "RuntimeRegisterFileType audio/x-m4a|hook|M4A |.m4a|public.mpeg-4-audio",
    "RuntimeRegisterFileType audio/x-m4a|hook|M4A |.m4a|public.mpeg-4-audio",
};
const Lines kWithdrawals = {
    "RuntimeDeregisterFileType audio/aiff",  "RuntimeDeregisterFileType audio/mp3",
    "RuntimeDeregisterFileType audio/mp4",   "RuntimeDeregisterFileType audio/wav",
    "RuntimeDeregisterFileType audio/x-m4a", "RuntimeDeregisterFileType audio/x-m4a",
};

// The registry's lines of the log, in order.
Lines RegistryCalls(const Lines& log) {
  Lines out;
  for (const std::string& line : log)
    if (line.starts_with("RuntimeRegisterFileType ") ||
        line.starts_with("RuntimeDeregisterFileType "))
      out.push_back(line);
  return out;
}

std::vector<rt::StaticRef<FileType>*> Statics() {
  return {&FT::pAudioMp3, &FT::pAudioMp4,  &FT::pAudioAiff,
          &FT::pAudioWav, &FT::pAudioXM4a, &FT::pAudioXM4a1};
}

// Logs the framework's calls for the test's length; leaves the statics and faults clean.
class FileTypesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    liveBefore = rt::LiveObjectCount();
    rt::SetCallLog(&log);
  }
  void TearDown() override {
    rt::ClearFaults();
    RunFinalizers();
    rt::SetCallLog(nullptr);
    EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore) << "every file type is released";
  }
  // The program's finalisers, in the program's order.
  static void RunFinalizers() { rt::RuntimePerformFinalizers(quorvane::StaticFinalizers()); }
  // A new, unregistered type, held by the test only.
  static Ref<FileType> NewType(const char* name, const char* extensions) {
    Ref<rt::Object> made = rt::RuntimeNewObject(FileType::__Lookup());
    Ref<FileType> t(static_cast<FileType*>(made.get()));
    FileType::SetName(t.get(), name);
    FileType::SetExtensions(t.get(), extensions);
    return t;
  }

  Lines log;
  long liveBefore = 0;
};

TEST_F(FileTypesTest, InitializeRegistersTheSixTypesAndTheFinalizersWithdrawThemInOrder) {
  FT::_Initialize();
  EXPECT_EQ(RegistryCalls(log), kRegistrations);
  ASSERT_EQ(rt::RuntimeRegisteredFileTypes().size(), 6u);
  for (rt::StaticRef<FileType>* s : Statics()) {
    ASSERT_TRUE(*s);
    EXPECT_TRUE((*s)->Registered());
    EXPECT_EQ((*s)->RefCount(), 1) << "the static holds the only reference";
    EXPECT_TRUE(FileType::GetImported(s->get()));
    EXPECT_TRUE(FileType::GetMimeType(s->get()).IsEmpty());
    EXPECT_TRUE(FileType::GetConformsTo(s->get()).IsEmpty());
  }
  EXPECT_NE(FT::pAudioXM4a, FT::pAudioXM4a1) << "two distinct objects";

  log.clear();
  RunFinalizers();
  EXPECT_EQ(RegistryCalls(log), kWithdrawals);
  for (rt::StaticRef<FileType>* s : Statics()) EXPECT_FALSE(*s);
}

TEST_F(FileTypesTest, AllIsTheFixedFilterTextWhetherOrNotTheTypesExist) {
  const std::string expected = "audio/mp3;audio/mp4;audio/aiff;audio/wav;audio/x-m4a;audio/x-m4a;";
  EXPECT_EQ(FT::All().Std(), expected);
  EXPECT_EQ(FT::All().Length(), 65u);
  FT::_Initialize();
  log.clear();
  EXPECT_EQ(FT::All().Std(), expected);
  EXPECT_TRUE(RegistryCalls(log).empty()) << "All registers nothing";
  RunFinalizers();
  EXPECT_EQ(FT::All().Std(), expected);
}

TEST_F(FileTypesTest, TheFilterTextNamesTheRegisteredExtensionsOnceEach) {
  EXPECT_TRUE(rt::RuntimeFileTypeExtensions(FT::All()).empty()) << "nothing registered yet";
  FT::_Initialize();
  const std::vector<std::string> all = {".mp3",  ".swa",  ".mp4", ".aiff", ".aif",
                                        ".aifc", ".cdda", ".wav", ".bwf",  ".m4a"};
  EXPECT_EQ(rt::RuntimeFileTypeExtensions(FT::All()), all);
  EXPECT_EQ(rt::RuntimeFileTypeExtensions("audio/mp3;audio/mp4;"),
            (std::vector<std::string>{".mp3", ".swa", ".mp4"}));
  EXPECT_EQ(rt::RuntimeFileTypeExtensions("audio/wav; audio/nope;;audio/mp4"),
            (std::vector<std::string>{".wav", ".bwf", ".mp4"}));
  EXPECT_TRUE(rt::RuntimeFileTypeExtensions("").empty());
  // A withdrawn type no longer filters.
  FileType::SetExtensions(FT::pAudioWav.get(), ".wav");
  EXPECT_TRUE(rt::RuntimeFileTypeExtensions("audio/wav;").empty());
}

TEST_F(FileTypesTest, TwoTypesUnderOneNameBothStandAndEachWithdrawalRemovesOne) {
  Ref<FileType> a = NewType("x/same", ".a");
  Ref<FileType> b = NewType("x/same", "b");  // the registry gives it its dot
  FileType::Operator_Convert(a.get());
  FileType::Operator_Convert(b.get());
  EXPECT_EQ(rt::RuntimeFileTypeExtensions("x/same;"), (std::vector<std::string>{".a", ".b"}));
  a.reset();
  ASSERT_EQ(rt::RuntimeRegisteredFileTypes().size(), 1u);
  b.reset();
  EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
  rt::RuntimeDeregisterFileType("x/same");  // nothing stands: nothing happens
}

// Each setter of a registered type withdraws it by its current Name; the next conversion
// registers it again with the fields as they are then.
TEST_F(FileTypesTest, StoringAnyFieldWithdrawsAndTheNextConversionRegistersAgain) {
  struct Case {
    const char* field;
    void (*store)(FileType*);
    const char* registeredAgain;
  };
  const Case cases[] = {
      {"Name", [](FileType* t) { FileType::SetName(t, "t/renamed"); },
       "RuntimeRegisterFileType t/renamed|||.t|"},
      {"Extensions", [](FileType* t) { FileType::SetExtensions(t, ".u"); },
       "RuntimeRegisterFileType t/x|||.u|"},
      {"MacType", [](FileType* t) { FileType::SetMacType(t, "TYP "); },
       "RuntimeRegisterFileType t/x||TYP |.t|"},
      {"MacCreator", [](FileType* t) { FileType::SetMacCreator(t, "CRE8"); },
       "RuntimeRegisterFileType t/x|CRE8||.t|"},
      {"UTI", [](FileType* t) { FileType::SetUTI(t, "public.t"); },
       "RuntimeRegisterFileType t/x|||.t|public.t"},
      // Stored only: never handed to the registry.
      {"MimeType", [](FileType* t) { FileType::SetMimeType(t, "mime/secret"); },
       "RuntimeRegisterFileType t/x|||.t|"},
      {"ConformsTo", [](FileType* t) { FileType::SetConformsTo(t, "public.secret"); },
       "RuntimeRegisterFileType t/x|||.t|"},
      {"Imported", [](FileType* t) { FileType::SetImported(t, true); },
       "RuntimeRegisterFileType t/x|||.t|"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    Ref<FileType> t = NewType("t/x", ".t");
    EXPECT_EQ(FileType::Operator_Convert(t.get()).Std(), "t/x");
    log.clear();
    EXPECT_EQ(FileType::Operator_Convert(t.get()).Std(), "t/x");
    EXPECT_TRUE(RegistryCalls(log).empty()) << "a registered type is not registered twice";

    c.store(t.get());
    EXPECT_FALSE(t->Registered());
    EXPECT_EQ(RegistryCalls(log), Lines{"RuntimeDeregisterFileType t/x"});
    EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
    c.store(t.get());  // not registered now: withdraws nothing
    EXPECT_EQ(RegistryCalls(log).size(), 1u);

    log.clear();
    FileType::Operator_Convert(t.get());
    EXPECT_EQ(RegistryCalls(log), Lines{c.registeredAgain});
    t.reset();  // destroying a registered type withdraws it
    EXPECT_EQ(RegistryCalls(log).size(), 2u);
    EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
  }
}

TEST_F(FileTypesTest, GettersGiveTheStoredValuesAndIconIsNil) {
  Ref<FileType> t = NewType("t/x", ".t");
  FileType::SetMacType(t.get(), "Mp3 ");
  FileType::SetMacCreator(t.get(), "TVOD");
  FileType::SetUTI(t.get(), "public.t");
  FileType::SetMimeType(t.get(), "mime/t");
  FileType::SetConformsTo(t.get(), "public.audio");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetName, t).Std(), "t/x");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetExtensions, t).Std(), ".t");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetMacType, t).Std(), "Mp3 ");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetMacCreator, t).Std(), "TVOD");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetUTI, t).Std(), "public.t");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetMimeType, t).Std(), "mime/t");
  EXPECT_EQ(rt::Invoke(FileType::slot::GetConformsTo, t).Std(), "public.audio");
  EXPECT_FALSE(rt::Invoke(FileType::slot::GetImported, t));
  EXPECT_FALSE(rt::Invoke(FileType::slot::Icon, t));
  ASSERT_EQ(FileType::__Lookup()->vtable.size(), 23u);
  for (rt::AnyFn fn : FileType::__Lookup()->vtable) EXPECT_NE(fn, nullptr);
  EXPECT_EQ(FileType::__Lookup()->super, nullptr);
}

TEST_F(FileTypesTest, AddingRegistersBothSidesAndJoinsTheNames) {
  Ref<FileType> a = NewType("a/x", ".a");
  Ref<FileType> b = NewType("b/x", ".b");
  EXPECT_EQ(FileType::Operator_Add(a.get(), b.get()).Std(), "a/x;b/x");
  EXPECT_EQ(RegistryCalls(log),
            (Lines{"RuntimeRegisterFileType a/x|||.a|", "RuntimeRegisterFileType b/x|||.b|"}));
  EXPECT_EQ(FileType::Operator_Add(a.get(), rt::String(";c/x;")).Std(), "a/x;c/x;");
  EXPECT_EQ(FileType::Operator_AddRight(a.get(), rt::String("z/x;;")).Std(), "z/x;a/x");
  EXPECT_EQ(FileType::Operator_AddRight(a.get(), b.get()).Std(), "b/x;a/x");
  EXPECT_EQ(RegistryCalls(log).size(), 2u) << "already registered";
  EXPECT_THROW(FileType::Operator_Add(a.get(), static_cast<FileType*>(nullptr)), rt::RaisedError);
  EXPECT_THROW(FileType::Operator_Convert(nullptr), rt::RaisedError);
}

// An error part-way through leaves what was done as it is; the finalisers then release only
// the objects that exist and withdraw only the types that stand.
TEST_F(FileTypesTest, AnErrorInTheMiddleLeavesTheStatesSoFarAndTheFinalizersReleaseThem) {
  struct Case {
    const char* operation;
    int nth;
    int filled;      // statics holding an object after the error
    int registered;  // of those, the ones registered
    Lines withdrawals;
  };
  const Case cases[] = {
      {"RuntimeRegisterFileType",
       3,
       3,
       2,
       {"RuntimeDeregisterFileType audio/mp3", "RuntimeDeregisterFileType audio/mp4"}},
      {"RuntimeNewObject FileType",
       4,
       3,
       3,
       {"RuntimeDeregisterFileType audio/aiff", "RuntimeDeregisterFileType audio/mp3",
        "RuntimeDeregisterFileType audio/mp4"}},
      {"RuntimeNewObject FileType", 1, 0, 0, {}},
      {"RuntimeRegisterFileType", 6, 6, 5, Lines(kWithdrawals.begin(), kWithdrawals.end() - 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.operation) + " #" + std::to_string(c.nth));
    rt::InjectFault(c.operation, c.nth);
    EXPECT_THROW(FT::_Initialize(), rt::RaisedError);
    int i = 0;
    for (rt::StaticRef<FileType>* s : Statics()) {
      EXPECT_EQ(static_cast<bool>(*s), i < c.filled) << i;
      if (*s) {
        EXPECT_EQ((*s)->Registered(), i < c.registered) << i;
      }
      ++i;
    }
    EXPECT_EQ(rt::RuntimeRegisteredFileTypes().size(), static_cast<size_t>(c.registered));
    log.clear();
    RunFinalizers();
    EXPECT_EQ(RegistryCalls(log), c.withdrawals);
    for (rt::StaticRef<FileType>* s : Statics()) EXPECT_FALSE(*s);
    EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
    EXPECT_EQ(rt::LiveObjectCount(), liveBefore);
    rt::ClearFaults();
  }
}

// ---- in the running program ----

TEST(FileTypesInTheProgram, RegisteredBeforeTheApplicationAndWithdrawnByTheirFinalizers) {
  qtest::ScriptedPrompter prompter;
  qtest::RunResult run = qtest::RunProgram();
  EXPECT_EQ(RegistryCalls(run.log).size(), 12u);
  const int app = qtest::IndexOf(run.log, "_RuntimeRegisterAppObject");
  ASSERT_GE(app, 0);
  int last = -1;
  for (const std::string& line : kRegistrations) {
    auto at = std::find(run.log.begin() + std::max(last + 1, 0), run.log.end(), line);
    ASSERT_NE(at, run.log.end()) << line;
    last = static_cast<int>(at - run.log.begin());
  }
  EXPECT_LT(last, app) << "registered before the application object exists";
  // Each finaliser's withdrawal comes right after it, in the finalisers' order.
  const char* exits[] = {"Aiff", "Mp3", "Mp4", "Wav", "XM4a", "XM4a1"};
  for (int i = 0; i < 6; ++i) {
    const int at =
        qtest::IndexOf(run.log, std::string("exit FileTypes1.pAudio") + exits[i] + ".__Exit");
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, static_cast<int>(run.log.size()));
    EXPECT_EQ(run.log[at + 1], kWithdrawals[i]);
  }
  EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
}

TEST(FileTypesInTheProgram, AFailedRegistrationEndsTheStartUpAndReleasesWhatWasMade) {
  qtest::ScriptedPrompter prompter;
  const long liveBefore = rt::LiveObjectCount();
  bool loopRan = false;
  rt::InjectFault("RuntimeRegisterFileType", 3);
  qtest::RunResult run = qtest::RunProgram([&] { loopRan = true; });
  rt::ClearFaults();
  EXPECT_FALSE(loopRan);
  ASSERT_EQ(prompter.unhandledErrors.size(), 1u);
  EXPECT_NE(prompter.unhandledErrors[0].find("injected fault in RuntimeRegisterFileType"),
            std::string::npos);
  EXPECT_EQ(qtest::IndexOf(run.log, "_RuntimeRegisterAppObject"), -1) << "no application object";
  EXPECT_EQ(qtest::IndexOf(run.log, "_RuntimeRun"), -1);
  EXPECT_EQ(RegistryCalls(run.log),
            (Lines{kRegistrations[0], kRegistrations[1], kRegistrations[2],
                   "RuntimeDeregisterFileType audio/mp3", "RuntimeDeregisterFileType audio/mp4"}));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(rt::LiveObjectCount(), liveBefore);
}

TEST(FileTypesInTheProgram, TheRegistryIsEmptiedWhenTheFrameworkShutsDown) {
  qtest::ScriptedPrompter prompter;
  qtest::RunResult run = qtest::RunProgram([] {
    // Entered straight into the registry: no object will ever withdraw it.
    rt::RuntimeRegisterFileType("x/stray", "", "", ".stray", "");
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(rt::RuntimeRegisteredFileTypes().empty());
  EXPECT_TRUE(rt::RuntimeFileTypeExtensions("x/stray;").empty());
}

}  // namespace
