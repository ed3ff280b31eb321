// The five property records, read entry by entry, and the mass property setter's handling of
// records that are not well formed.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

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
#include "support/harness.h"
#include "window/property_records.h"

namespace {

using rt::PropertyRecord;
using rt::PropertyValue;
using rt::RecordEntry;
using rt::RecordReader;
namespace records = quorvane::PropertyRecords;

struct KeyAt {
  const char* key;
  size_t offset;
};

// Keys and offsets the records must hold, written out independently of how they are built.
const KeyAt kBevelButton1Layout[] = {
    {"Name", 0},           {"Index", 21},           {"Left", 31},
    {"Top", 40},           {"Width", 48},           {"Height", 58},
    {"LockLeft", 69},      {"LockTop", 79},         {"LockRight", 88},
    {"LockBottom", 99},    {"TabPanelIndex", 111},  {"TabIndex", 129},
    {"TabStop", 142},      {"InitialParent", 151},  {"Visible", 169},
    {"HelpTag", 178},      {"AutoDeactivate", 198}, {"Enabled", 214},
    {"Caption", 223},      {"CaptionAlign", 254},   {"CaptionPlacement", 271},
    {"CaptionDelta", 292}, {"IconAlign", 309},      {"IconDX", 323},
    {"IconDY", 334},       {"Bevel", 345},          {"HasMenu", 355},
    {"HasBackColor", 367}, {"BackColor", 381},      {"TextColor", 395},
    {"Value", 409},        {"MenuValue", 416},      {"ButtonType", 430},
    {"AcceptFocus", 445},  {"TextFont", 458},       {"TextSize", 477},
    {"TextUnit", 490},     {"Bold", 500},           {"Italic", 506},
    {"Underline", 514}};
const KeyAt kListbox1Layout[] = {{"Name", 0},
                                 {"Index", 17},
                                 {"Left", 27},
                                 {"Top", 36},
                                 {"Width", 44},
                                 {"Height", 54},
                                 {"LockLeft", 65},
                                 {"LockTop", 75},
                                 {"LockRight", 84},
                                 {"LockBottom", 95},
                                 {"TabPanelIndex", 107},
                                 {"TabIndex", 125},
                                 {"TabStop", 138},
                                 {"Visible", 147},
                                 {"HelpTag", 156},
                                 {"AutoDeactivate", 207},
                                 {"Enabled", 223},
                                 {"Border", 232},
                                 {"ColumnCount", 240},
                                 {"ColumnWidths", 256},
                                 {"HasHeading", 273},
                                 {"UseFocusRing", 285},
                                 {"InitialValue", 299},
                                 {"HeadingIndex", 316},
                                 {"ScrollbarHorizontal", 333},
                                 {"ScrollBarVertical", 354},
                                 {"GridLinesHorizontal", 373},
                                 {"GridLinesVertical", 397},
                                 {"DefaultRowHeight", 419},
                                 {"ShowDropIndicator", 440},
                                 {"_ScrollWidth", 459},
                                 {"_ScrollOffset", 476},
                                 {"TextFont", 494},
                                 {"TextSize", 513},
                                 {"TextUnit", 526},
                                 {"Bold", 536},
                                 {"Italic", 542},
                                 {"Underline", 550},
                                 {"Hierarchical", 561},
                                 {"EnableDrag", 575},
                                 {"EnableDragReorder", 587},
                                 {"RequiresSelection", 606},
                                 {"SelectionType", 625},
                                 {"ColumnsResizable", 643},
                                 {"AutoHideScrollbars", 661},
                                 {"DataSource", 681},
                                 {"DataField", 696},
                                 {"InitialParent", 710}};
const KeyAt kLabel4Layout[] = {{"Name", 0},        {"Index", 15},           {"Left", 25},
                               {"Top", 34},        {"Width", 42},           {"Height", 52},
                               {"LockLeft", 63},   {"LockTop", 73},         {"LockRight", 82},
                               {"LockBottom", 93}, {"TabPanelIndex", 105},  {"TabIndex", 123},
                               {"TabStop", 136},   {"Text", 145},           {"TextAlign", 172},
                               {"TextColor", 186}, {"Multiline", 200},      {"Enabled", 211},
                               {"Visible", 220},   {"Selectable", 229},     {"Transparent", 241},
                               {"HelpTag", 254},   {"AutoDeactivate", 266}, {"TextFont", 282},
                               {"TextSize", 301},  {"TextUnit", 314},       {"Bold", 324},
                               {"Italic", 330},    {"Underline", 338},      {"DataSource", 349},
                               {"DataField", 364}, {"InitialParent", 378}};
const KeyAt kTextArea1Layout[] = {{"Name", 0},
                                  {"Index", 18},
                                  {"Left", 28},
                                  {"Top", 37},
                                  {"Width", 45},
                                  {"Height", 55},
                                  {"LockLeft", 66},
                                  {"LockTop", 76},
                                  {"LockRight", 85},
                                  {"LockBottom", 96},
                                  {"TabPanelIndex", 108},
                                  {"TabIndex", 126},
                                  {"TabStop", 139},
                                  {"Border", 148},
                                  {"Multiline", 156},
                                  {"ScrollbarHorizontal", 167},
                                  {"ScrollbarVertical", 188},
                                  {"Styled", 207},
                                  {"UseFocusRing", 215},
                                  {"TextColor", 229},
                                  {"BackColor", 243},
                                  {"Enabled", 257},
                                  {"Format", 266},
                                  {"Visible", 277},
                                  {"HelpTag", 286},
                                  {"AutoDeactivate", 298},
                                  {"HideSelection", 314},
                                  {"LineHeight", 329},
                                  {"LineSpacing", 348},
                                  {"TextFont", 368},
                                  {"TextSize", 387},
                                  {"TextUnit", 400},
                                  {"Bold", 410},
                                  {"Italic", 416},
                                  {"Underline", 424},
                                  {"Text", 435},
                                  {"Mask", 444},
                                  {"ReadOnly", 453},
                                  {"LimitText", 463},
                                  {"AcceptTabs", 477},
                                  {"Alignment", 489},
                                  {"AutomaticallyCheckSpelling", 503},
                                  {"DataSource", 531},
                                  {"DataField", 546}};
const char* const kWindow1Keys[] = {"Width",
                                    "Height",
                                    "MinWidth",
                                    "MinHeight",
                                    "MaxWidth",
                                    "MaxHeight",
                                    "Frame",
                                    "Title",
                                    "CloseButton",
                                    "Resizeable",
                                    "MaximizeButton",
                                    "MinimizeButton",
                                    "FullScreenButton",
                                    "Composite",
                                    "MacProcID",
                                    "Placement",
                                    "Visible",
                                    "LiveResize",
                                    "FullScreen",
                                    "HasBackColor",
                                    "BackColor",
                                    "MenuBarVisible"};

std::vector<RecordEntry> ReadAll(const rt::ClassTable* cls, PropertyRecord record) {
  std::vector<RecordEntry> entries;
  for (RecordReader reader(cls, record); !reader.AtEnd();) entries.push_back(reader.Next());
  return entries;
}

const RecordEntry& Find(const std::vector<RecordEntry>& entries, std::string_view key) {
  for (const RecordEntry& e : entries)
    if (e.key == key) return e;
  throw std::runtime_error("no entry " + std::string(key));
}

// The bytes of the entry's value.
std::vector<uint8_t> ValueBytes(PropertyRecord record, const RecordEntry& e) {
  const size_t value = e.offset + e.key.size() + 1;
  return {record.begin() + value, record.begin() + e.offset + e.size};
}

std::string Message(const rt::RaisedError& e) {
  auto* ex = static_cast<rt::RuntimeException*>(e.Error().get());
  return ex->Message.Std();
}

struct ControlRecord {
  const char* name;
  PropertyRecord record;
  rt::ClassTable* (*cls)();
  std::span<const KeyAt> layout;
  size_t bytes;
};

const ControlRecord kControlRecords[] = {
    {"BevelButton1", records::BevelButton1, &rt::BevelButton::__Lookup, kBevelButton1Layout, 525},
    {"Listbox1", records::Listbox1, &rt::Listbox::__Lookup, kListbox1Layout, 728},
    {"Label4", records::Label4, &rt::Label::__Lookup, kLabel4Layout, 396},
    {"TextArea1", records::TextArea1, &rt::TextArea::__Lookup, kTextArea1Layout, 560},
};

TEST(PropertyRecords, ControlRecordsReadToTheirExactEnd) {
  for (const ControlRecord& r : kControlRecords) {
    SCOPED_TRACE(r.name);
    ASSERT_EQ(r.record.size(), r.bytes);
    const std::vector<RecordEntry> entries = ReadAll(r.cls(), r.record);
    ASSERT_EQ(entries.size(), r.layout.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].key, r.layout[i].key) << "entry " << i;
      EXPECT_EQ(entries[i].offset, r.layout[i].offset) << r.layout[i].key;
    }
    EXPECT_EQ(entries.back().offset + entries.back().size, r.bytes);
    EXPECT_EQ(Find(entries, "Name").value, PropertyValue(rt::String(r.name)));
  }
}

TEST(PropertyRecords, WindowRecordEndsAfterMenuBarVisible) {
  const std::vector<RecordEntry> entries = ReadAll(rt::Window::__Lookup(), records::Window1);
  ASSERT_EQ(entries.size(), std::size(kWindow1Keys));
  for (size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(entries[i].key, kWindow1Keys[i]);
  EXPECT_EQ(entries.back().offset + entries.back().size, records::Window1.size());
  EXPECT_EQ(Find(entries, "Title").value, PropertyValue(rt::String("Quorvane")));
  EXPECT_EQ(ValueBytes(records::Window1, Find(entries, "Width")),
            (std::vector<uint8_t>{0x58, 0x02, 0x00, 0x00}));
  EXPECT_EQ(ValueBytes(records::Window1, Find(entries, "MaxHeight")),
            (std::vector<uint8_t>{0x00, 0x7d, 0x00, 0x00}));
  EXPECT_EQ(Find(entries, "BackColor").value, PropertyValue(rt::Color{0xff, 0xff, 0xff, 0x00}));
  // Typed by the table's differently cased name, with its width.
  const RecordEntry& proc = Find(entries, "MacProcID");
  EXPECT_EQ(proc.property->name, "MacProcId");
  EXPECT_EQ(proc.size, std::strlen("MacProcID ") + 4);
}

TEST(PropertyRecords, EdgeValuesDecode) {
  const auto button = ReadAll(rt::BevelButton::__Lookup(), records::BevelButton1);
  const auto list = ReadAll(rt::Listbox::__Lookup(), records::Listbox1);
  const auto label = ReadAll(rt::Label::__Lookup(), records::Label4);
  const auto area = ReadAll(rt::TextArea::__Lookup(), records::TextArea1);

  EXPECT_EQ(Find(button, "Index").value, PropertyValue(int32_t{-2147483647 - 1}));
  EXPECT_EQ(ValueBytes(records::BevelButton1, Find(button, "Index")),
            (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x80}));
  for (const char* key : {"HeadingIndex", "DefaultRowHeight", "_ScrollWidth"}) {
    EXPECT_EQ(Find(list, key).value, PropertyValue(int32_t{-1})) << key;
    EXPECT_EQ(ValueBytes(records::Listbox1, Find(list, key)),
              (std::vector<uint8_t>{0xff, 0xff, 0xff, 0xff}));
  }
  EXPECT_EQ(Find(area, "LineSpacing").value, PropertyValue(1.0));
  EXPECT_EQ(ValueBytes(records::TextArea1, Find(area, "LineSpacing")),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xf0, 0x3f}));
  EXPECT_EQ(Find(area, "LineHeight").value, PropertyValue(0.0));
  EXPECT_EQ(Find(area, "LineHeight").size, std::strlen("LineHeight ") + 8);

  // Texts with blanks are taken whole.
  EXPECT_EQ(Find(button, "Caption").value, PropertyValue(rt::String("Select Music Folder")));
  EXPECT_EQ(Find(list, "HelpTag").value,
            PropertyValue(rt::String("All videos from this list will be used.")));
  EXPECT_EQ(Find(label, "Text").value, PropertyValue(rt::String("All from this list")));

  // An empty text is four zero bytes, and the next key starts right after them.
  for (const auto* entries : {&button, &list, &label, &area})
    for (size_t i = 0; i < entries->size(); ++i) {
      const RecordEntry& e = (*entries)[i];
      if (e.property->type != "s" || e.value != PropertyValue(rt::String())) continue;
      EXPECT_EQ(e.size, e.key.size() + 1 + 4) << e.key;
      if (i + 1 < entries->size()) {
        EXPECT_EQ((*entries)[i + 1].offset, e.offset + e.size);
      }
    }

  // One byte for the differently cased Booleans and the enumeration, four for the single.
  for (const auto& [entries, key, table] : {std::tuple{&label, "Multiline", "MultiLine"},
                                            {&area, "Multiline", "MultiLine"},
                                            {&list, "ScrollbarHorizontal", "ScrollBarHorizontal"},
                                            {&area, "ScrollbarHorizontal", "ScrollBarHorizontal"},
                                            {&area, "ScrollbarVertical", "ScrollBarVertical"}}) {
    const RecordEntry& e = Find(*entries, key);
    EXPECT_EQ(e.property->name, table);
    EXPECT_EQ(e.size, std::strlen(key) + 2);
  }
  for (const auto* entries : {&button, &list, &label, &area}) {
    EXPECT_EQ(Find(*entries, "TextUnit").size, std::strlen("TextUnit ") + 1);
    EXPECT_EQ(Find(*entries, "TextSize").size, std::strlen("TextSize ") + 4);
    EXPECT_EQ(Find(*entries, "TextSize").value, PropertyValue(0.0f));
  }
}

// A record applied to an object leaves every property it names holding the record's value.
TEST(PropertyRecords, ApplyingARecordSetsEveryPropertyItNames) {
  qtest::EnsureQtApplication();
  for (const ControlRecord& r : kControlRecords) {
    SCOPED_TRACE(r.name);
    rt::Ref<rt::Object> control = rt::RuntimeNewObject(r.cls());
    rt::RuntimeMassPropertySetter(control.get(), r.record);
    for (const RecordEntry& e : ReadAll(r.cls(), r.record))
      EXPECT_EQ(rt::GetProperty(control.get(), e.property->name), e.value) << e.key;
  }
  rt::Ref<rt::Object> window = rt::RuntimeNewObject(rt::Window::__Lookup());
  rt::RuntimeMassPropertySetter(window.get(), records::Window1);
  for (const RecordEntry& e : ReadAll(rt::Window::__Lookup(), records::Window1))
    EXPECT_EQ(rt::GetProperty(window.get(), e.key), e.value) << e.key;
}

// ---- malformed records ----

std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

struct Malformed {
  const char* what;
  std::string bytes;
  std::vector<std::string> mentions;  // in the error's message
};

TEST(PropertyRecords, MalformedRecordsRaiseAClearErrorAndSetNothing) {
  using namespace std::string_literals;
  const Malformed cases[] = {
      {"unknown key", "Bogus \x01"s, {"\"Bogus\"", "byte 0", "no property"}},
      {"unknown key after a good entry", "Left \x28\0\0\0Colour \x01"s, {"\"Colour\"", "byte 9"}},
      {"integer cut off", "Left \x28\0"s, {"\"Left\"", "byte 0", "cut off", "2 remain"}},
      {"Boolean with no byte", "Left \x28\0\0\0Visible "s, {"\"Visible\"", "byte 9", "cut off"}},
      {"text count cut off", "HelpTag \x05\0"s, {"\"HelpTag\"", "byte 0", "cut off"}},
      {"text shorter than its count", "HelpTag \x10\0\0\0abc"s, {"\"HelpTag\"", "16 bytes"}},
      {"text count beyond any size", "HelpTag \xff\xff\xff\xff"s, {"\"HelpTag\"", "cut off"}},
      {"no blank", "Left"s, {"\"Left\"", "byte 0", "no blank"}},
      {"no blank after a good entry", "Left \x28\0\0\0Top"s, {"\"Top\"", "byte 9", "no blank"}},
      {"empty key", " \x01"s, {"byte 0", "empty key"}},
      {"key of other bytes", "\xff\x01 \x01"s, {"\\xff\\x01", "byte 0"}},
      {"a blank inside a key", "Lock Left \x01"s, {"\"Lock\"", "byte 0"}},
  };
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.what);
    // Exactly as long as the record: a read past its end is an overflow the sanitizer sees.
    std::vector<uint8_t> record = Bytes(c.bytes);
    record.shrink_to_fit();
    rt::Ref<rt::Object> box = rt::RuntimeNewObject(rt::Listbox::__Lookup());
    try {
      rt::RuntimeMassPropertySetter(box.get(), record);
      ADD_FAILURE() << "no error";
    } catch (const rt::RaisedError& e) {
      EXPECT_TRUE(e.Error()->IsA(rt::RuntimeException::__Lookup()));
      const std::string message = Message(e);
      for (const std::string& m : c.mentions)
        EXPECT_NE(message.find(m), std::string::npos) << message << " lacks " << m;
    }
    // Checked whole before anything is set: the good entry in front was not taken.
    EXPECT_EQ(rt::RectControl::GetLeft(static_cast<rt::RectControl*>(box.get())), 0);
  }
}

TEST(PropertyRecords, KeysMatchTheTablesWhateverTheirLetterCase) {
  using namespace std::string_literals;
  rt::Ref<rt::Object> area = rt::RuntimeNewObject(rt::TextArea::__Lookup());
  rt::RuntimeMassPropertySetter(area.get(), Bytes("MULTILINE \x00scrollbarvertical \x00"s));
  EXPECT_EQ(rt::GetProperty(area.get(), "MultiLine"), PropertyValue(false));
  EXPECT_EQ(rt::GetProperty(area.get(), "ScrollBarVertical"), PropertyValue(false));
  // Inherited tables are searched too, and an exact name wins over a folded one.
  EXPECT_EQ(rt::FindPropertyOf(rt::TextArea::__Lookup(), "automaticallycheckspelling")->name,
            "AutomaticallyCheckSpelling");
  EXPECT_EQ(rt::FindPropertyOf(rt::TextArea::__Lookup(), "name")->name, "Name");
  EXPECT_EQ(rt::FindPropertyOf(rt::TextArea::__Lookup(), "Caption"), nullptr);
}

// ---- setters that refuse a value ----

class Probe : public rt::Object {
 public:
  static rt::ClassTable* __Lookup() {
    static rt::ClassTable* cls = [] {
      rt::ClassTable* c = rt::DefineClass<Probe>("Probe", nullptr, 0, 0, 2);
      rt::AddProperty<&Probe::GetCount, &Probe::SetCount>(c, "Count");
      rt::AddField<&Probe::Label>(c, "Label");
      return c;
    }();
    return cls;
  }
  static int32_t GetCount(Probe* self) { return self->count; }
  static void SetCount(Probe* self, int32_t v) {
    if (v < 0) rt::RaiseException(rt::OutOfBoundsException::__Lookup(), "negative count");
    self->count = v;
  }
  int32_t count = 0;
  rt::String Label;
};

TEST(PropertyRecords, EveryEntryASetterRefusesIsReportedAndTheOthersAreTaken) {
  using namespace std::string_literals;
  rt::Ref<rt::Object> probe = rt::RuntimeNewObject(Probe::__Lookup());
  const std::vector<uint8_t> record = Bytes(
      "Count \xff\xff\xff\xff"  // -1: refused
      "Label \x02\0\0\0ok"
      "Count \xfe\xff\xff\xff"  // -2: refused
      "Count \x07\0\0\0"s);
  try {
    rt::RuntimeMassPropertySetter(probe.get(), record);
    ADD_FAILURE() << "no error";
  } catch (const rt::RaisedError& e) {
    const std::string message = Message(e);
    EXPECT_NE(message.find("2 entries"), std::string::npos) << message;
    EXPECT_NE(message.find("\"Count\" at byte 0: OutOfBoundsException: negative count"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("\"Count\" at byte 22"), std::string::npos) << message;
  }
  EXPECT_EQ(static_cast<Probe*>(probe.get())->Label, rt::String("ok"));
  EXPECT_EQ(static_cast<Probe*>(probe.get())->count, 7);
}

TEST(PropertyRecords, TheThreadRuleTravelsUnchanged) {
  qtest::EnsureQtApplication();
  rt::RuntimeInit();
  rt::MarkApplicationRegistered(true);
  rt::Ref<rt::Object> box = rt::RuntimeNewObject(rt::Listbox::__Lookup());
  std::string raised;
  std::thread([&] {
    try {
      rt::_SetProperties(box.get(), records::Listbox1);
    } catch (const rt::RaisedError& e) {
      raised = e.Error()->Class()->name;
    }
  }).join();
  rt::RuntimeExit();
  EXPECT_EQ(raised, "ThreadAccessingUIException");
}

TEST(PropertyRecords, SettingOnePropertyChecksItsType) {
  rt::Ref<rt::Object> box = rt::RuntimeNewObject(rt::Listbox::__Lookup());
  rt::SetProperty(box.get(), "columncount", int32_t{3});
  EXPECT_EQ(rt::Listbox::GetColumnCount(static_cast<rt::Listbox*>(box.get())), 3);
  EXPECT_THROW(rt::SetProperty(box.get(), "ColumnCount", rt::String("3")), rt::RaisedError);
  EXPECT_THROW(rt::GetProperty(box.get(), "Caption"), rt::RaisedError);
}

}  // namespace
