// The five property records against their contents written out by hand: every entry's key,
// type and value in stored order, and what applying the record leaves on a real control.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/core/property_setter.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"
#include "support/harness.h"
#include "window/property_records.h"

namespace {

using rt::PropertyValue;
namespace records = quorvane::PropertyRecords;

struct Expected {
  const char* key;
  PropertyValue value;  // its alternative is the property's type
};

PropertyValue I(int64_t v) { return static_cast<int32_t>(v); }
PropertyValue B(bool v) { return v; }
PropertyValue S(const char* v) { return rt::String(v); }
PropertyValue C(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return rt::Color{a, b, c, d}; }
PropertyValue F4(float v) { return v; }
PropertyValue F8(double v) { return v; }
PropertyValue U(uint8_t v) { return static_cast<rt::FontUnits>(v); }

const Expected kWindow1[] = {
    {"Width", I(600)},
    {"Height", I(400)},
    {"MinWidth", I(64)},
    {"MinHeight", I(64)},
    {"MaxWidth", I(32000)},
    {"MaxHeight", I(32000)},
    {"Frame", I(0)},
    {"Title", S("Quorvane")},
    {"CloseButton", B(true)},
    {"Resizeable", B(true)},
    {"MaximizeButton", B(true)},
    {"MinimizeButton", B(true)},
    {"FullScreenButton", B(false)},
    {"Composite", B(false)},
    {"MacProcID", I(0)},
    {"Placement", I(0)},
    {"Visible", B(true)},
    {"LiveResize", B(true)},
    {"FullScreen", B(false)},
    {"HasBackColor", B(false)},
    {"BackColor", C(0xff, 0xff, 0xff, 0x00)},
    {"MenuBarVisible", B(true)},
};
const Expected kBevelButton1[] = {
    {"Name", S("BevelButton1")},
    {"Index", I(-2147483648)},
    {"Left", I(40)},
    {"Top", I(34)},
    {"Width", I(178)},
    {"Height", I(22)},
    {"LockLeft", B(true)},
    {"LockTop", B(true)},
    {"LockRight", B(false)},
    {"LockBottom", B(false)},
    {"TabPanelIndex", I(0)},
    {"TabIndex", I(0)},
    {"TabStop", B(true)},
    {"InitialParent", S("")},
    {"Visible", B(true)},
    {"HelpTag", S("Required")},
    {"AutoDeactivate", B(true)},
    {"Enabled", B(true)},
    {"Caption", S("Select Music Folder")},
    {"CaptionAlign", I(3)},
    {"CaptionPlacement", I(1)},
    {"CaptionDelta", I(0)},
    {"IconAlign", I(0)},
    {"IconDX", I(0)},
    {"IconDY", I(0)},
    {"Bevel", I(0)},
    {"HasMenu", I(0)},
    {"HasBackColor", B(false)},
    {"BackColor", C(0x00, 0x00, 0x00, 0x00)},
    {"TextColor", C(0x00, 0x00, 0x00, 0x00)},
    {"Value", B(false)},
    {"MenuValue", I(0)},
    {"ButtonType", I(0)},
    {"AcceptFocus", B(false)},
    {"TextFont", S("System")},
    {"TextSize", F4(0.0f)},
    {"TextUnit", U(0)},
    {"Bold", B(false)},
    {"Italic", B(false)},
    {"Underline", B(false)},
};
const Expected kListbox1[] = {
    {"Name", S("Listbox1")},
    {"Index", I(-2147483648)},
    {"Left", I(40)},
    {"Top", I(84)},
    {"Width", I(178)},
    {"Height", I(282)},
    {"LockLeft", B(true)},
    {"LockTop", B(true)},
    {"LockRight", B(false)},
    {"LockBottom", B(true)},
    {"TabPanelIndex", I(0)},
    {"TabIndex", I(1)},
    {"TabStop", B(true)},
    {"Visible", B(true)},
    {"HelpTag", S("All videos from this list will be used.")},
    {"AutoDeactivate", B(true)},
    {"Enabled", B(true)},
    {"Border", B(true)},
    {"ColumnCount", I(1)},
    {"ColumnWidths", S("")},
    {"HasHeading", B(false)},
    {"UseFocusRing", B(true)},
    {"InitialValue", S("")},
    {"HeadingIndex", I(-1)},
    {"ScrollbarHorizontal", B(false)},
    {"ScrollBarVertical", B(true)},
    {"GridLinesHorizontal", I(0)},
    {"GridLinesVertical", I(0)},
    {"DefaultRowHeight", I(-1)},
    {"ShowDropIndicator", B(false)},
    {"_ScrollWidth", I(-1)},
    {"_ScrollOffset", I(0)},
    {"TextFont", S("System")},
    {"TextSize", F4(0.0f)},
    {"TextUnit", U(0)},
    {"Bold", B(false)},
    {"Italic", B(false)},
    {"Underline", B(false)},
    {"Hierarchical", B(false)},
    {"EnableDrag", B(false)},
    {"EnableDragReorder", B(false)},
    {"RequiresSelection", B(false)},
    {"SelectionType", I(0)},
    {"ColumnsResizable", B(false)},
    {"AutoHideScrollbars", B(true)},
    {"DataSource", S("")},
    {"DataField", S("")},
    {"InitialParent", S("")},
};
const Expected kLabel4[] = {
    {"Name", S("Label4")},
    {"Index", I(-2147483648)},
    {"Left", I(40)},
    {"Top", I(64)},
    {"Width", I(100)},
    {"Height", I(20)},
    {"LockLeft", B(true)},
    {"LockTop", B(true)},
    {"LockRight", B(false)},
    {"LockBottom", B(false)},
    {"TabPanelIndex", I(0)},
    {"TabIndex", I(2)},
    {"TabStop", B(true)},
    {"Text", S("All from this list")},
    {"TextAlign", I(0)},
    {"TextColor", C(0x00, 0x00, 0x00, 0x00)},
    {"Multiline", B(false)},
    {"Enabled", B(true)},
    {"Visible", B(true)},
    {"Selectable", B(false)},
    {"Transparent", B(false)},
    {"HelpTag", S("")},
    {"AutoDeactivate", B(true)},
    {"TextFont", S("System")},
    {"TextSize", F4(0.0f)},
    {"TextUnit", U(0)},
    {"Bold", B(false)},
    {"Italic", B(false)},
    {"Underline", B(false)},
    {"DataSource", S("")},
    {"DataField", S("")},
    {"InitialParent", S("")},
};
const Expected kTextArea1[] = {
    {"Name", S("TextArea1")},
    {"Index", I(-2147483648)},
    {"Left", I(246)},
    {"Top", I(34)},
    {"Width", I(326)},
    {"Height", I(332)},
    {"LockLeft", B(true)},
    {"LockTop", B(true)},
    {"LockRight", B(true)},
    {"LockBottom", B(true)},
    {"TabPanelIndex", I(0)},
    {"TabIndex", I(3)},
    {"TabStop", B(true)},
    {"Border", B(true)},
    {"Multiline", B(true)},
    {"ScrollbarHorizontal", B(false)},
    {"ScrollbarVertical", B(true)},
    {"Styled", B(true)},
    {"UseFocusRing", B(true)},
    {"TextColor", C(0x00, 0x00, 0x00, 0x00)},
    {"BackColor", C(0xff, 0xff, 0xff, 0x00)},
    {"Enabled", B(true)},
    {"Format", S("")},
    {"Visible", B(true)},
    {"HelpTag", S("")},
    {"AutoDeactivate", B(true)},
    {"HideSelection", B(true)},
    {"LineHeight", F8(0.0)},
    {"LineSpacing", F8(1.0)},
    {"TextFont", S("System")},
    {"TextSize", F4(0.0f)},
    {"TextUnit", U(0)},
    {"Bold", B(false)},
    {"Italic", B(false)},
    {"Underline", B(false)},
    {"Text", S("")},
    {"Mask", S("")},
    {"ReadOnly", B(false)},
    {"LimitText", I(0)},
    {"AcceptTabs", B(false)},
    {"Alignment", I(0)},
    {"AutomaticallyCheckSpelling", B(true)},
    {"DataSource", S("")},
    {"DataField", S("")},
};

struct Record {
  const char* name;
  rt::ClassTable* (*cls)();
  rt::PropertyRecord record;
  std::span<const Expected> entries;
};

const Record kRecords[] = {
    {"Window1", &rt::Window::__Lookup, records::Window1, kWindow1},
    {"BevelButton1", &rt::BevelButton::__Lookup, records::BevelButton1, kBevelButton1},
    {"Listbox1", &rt::Listbox::__Lookup, records::Listbox1, kListbox1},
    {"Label4", &rt::Label::__Lookup, records::Label4, kLabel4},
    {"TextArea1", &rt::TextArea::__Lookup, records::TextArea1, kTextArea1},
};

TEST(RecordContents, EachRecordHoldsItsEntriesInOrderWithTheirTypesAndValues) {
  for (const Record& r : kRecords) {
    SCOPED_TRACE(r.name);
    rt::RecordReader reader(r.cls(), r.record);
    size_t n = 0;
    for (; !reader.AtEnd() && n < r.entries.size(); ++n) {
      const rt::RecordEntry e = reader.Next();
      const Expected& want = r.entries[n];
      EXPECT_EQ(e.key, want.key) << "entry " << n;
      EXPECT_EQ(e.value.index(), want.value.index()) << want.key << ": another type";
      EXPECT_EQ(qtest::ShowValue(e.value), qtest::ShowValue(want.value)) << want.key;
    }
    EXPECT_EQ(n, r.entries.size());
    EXPECT_TRUE(reader.AtEnd()) << "more entries than written out";
  }
}

TEST(RecordContents, ApplyingEachRecordLeavesItsValuesOnTheControl) {
  qtest::EnsureQtApplication();
  for (const Record& r : kRecords) {
    SCOPED_TRACE(r.name);
    rt::Ref<rt::Object> target = rt::RuntimeNewObject(r.cls());
    rt::_SetProperties(target.get(), r.record);
    for (const Expected& want : r.entries)
      EXPECT_EQ(qtest::ShowValue(rt::GetProperty(target.get(), want.key)),
                qtest::ShowValue(want.value))
          << want.key;
  }
}

}  // namespace
