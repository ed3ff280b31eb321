#include "window/property_records.h"

#include <limits>

namespace quorvane::PropertyRecords {

namespace {

using namespace rt::record;

constexpr int32_t kNoIndex = std::numeric_limits<int32_t>::min();

// Entries in stored order. Keys keep the records' own letter case ("MacProcID",
// "Multiline", "Scrollbar..."); the property tables match them regardless of case.

constexpr Entry kWindow1[] = {
    Int("Width", 600),
    Int("Height", 400),
    Int("MinWidth", 64),
    Int("MinHeight", 64),
    Int("MaxWidth", 32000),
    Int("MaxHeight", 32000),
    Int("Frame", 0),
    Text("Title", "Quorvane"),
    Bool("CloseButton", true),
    Bool("Resizeable", true),
    Bool("MaximizeButton", true),
    Bool("MinimizeButton", true),
    Bool("FullScreenButton", false),
    Bool("Composite", false),
    Int("MacProcID", 0),
    Int("Placement", 0),
    Bool("Visible", true),
    Bool("LiveResize", true),
    Bool("FullScreen", false),
    Bool("HasBackColor", false),
    Colour("BackColor", 0xff, 0xff, 0xff, 0x00),
    Bool("MenuBarVisible", true),
};

constexpr Entry kBevelButton1[] = {
    Text("Name", "BevelButton1"),
    Int("Index", kNoIndex),
    Int("Left", 40),
    Int("Top", 34),
    Int("Width", 178),
    Int("Height", 22),
    Bool("LockLeft", true),
    Bool("LockTop", true),
    Bool("LockRight", false),
    Bool("LockBottom", false),
    Int("TabPanelIndex", 0),
    Int("TabIndex", 0),
    Bool("TabStop", true),
    Text("InitialParent", ""),
    Bool("Visible", true),
    Text("HelpTag", "Required"),
    Bool("AutoDeactivate", true),
    Bool("Enabled", true),
    Text("Caption", "Select Music Folder"),
    Int("CaptionAlign", 3),
    Int("CaptionPlacement", 1),
    Int("CaptionDelta", 0),
    Int("IconAlign", 0),
    Int("IconDX", 0),
    Int("IconDY", 0),
    Int("Bevel", 0),
    Int("HasMenu", 0),
    Bool("HasBackColor", false),
    Colour("BackColor", 0x00, 0x00, 0x00, 0x00),
    Colour("TextColor", 0x00, 0x00, 0x00, 0x00),
    Bool("Value", false),
    Int("MenuValue", 0),
    Int("ButtonType", 0),
    Bool("AcceptFocus", false),
    Text("TextFont", "System"),
    Single("TextSize", 0.0f),
    Enum("TextUnit", 0),
    Bool("Bold", false),
    Bool("Italic", false),
    Bool("Underline", false),
};

constexpr Entry kListbox1[] = {
    Text("Name", "Listbox1"),
    Int("Index", kNoIndex),
    Int("Left", 40),
    Int("Top", 84),
    Int("Width", 178),
    Int("Height", 282),
    Bool("LockLeft", true),
    Bool("LockTop", true),
    Bool("LockRight", false),
    Bool("LockBottom", true),
    Int("TabPanelIndex", 0),
    Int("TabIndex", 1),
    Bool("TabStop", true),
    Bool("Visible", true),
    Text("HelpTag", "All videos from this list will be used."),
    Bool("AutoDeactivate", true),
    Bool("Enabled", true),
    Bool("Border", true),
    Int("ColumnCount", 1),
    Text("ColumnWidths", ""),
    Bool("HasHeading", false),
    Bool("UseFocusRing", true),
    Text("InitialValue", ""),
    Int("HeadingIndex", -1),
    Bool("ScrollbarHorizontal", false),
    Bool("ScrollBarVertical", true),
    Int("GridLinesHorizontal", 0),
    Int("GridLinesVertical", 0),
    Int("DefaultRowHeight", -1),
    Bool("ShowDropIndicator", false),
    Int("_ScrollWidth", -1),
    Int("_ScrollOffset", 0),
    Text("TextFont", "System"),
    Single("TextSize", 0.0f),
    Enum("TextUnit", 0),
    Bool("Bold", false),
    Bool("Italic", false),
    Bool("Underline", false),
    Bool("Hierarchical", false),
    Bool("EnableDrag", false),
    Bool("EnableDragReorder", false),
    Bool("RequiresSelection", false),
    Int("SelectionType", 0),
    Bool("ColumnsResizable", false),
    Bool("AutoHideScrollbars", true),
    Text("DataSource", ""),
    Text("DataField", ""),
    Text("InitialParent", ""),
};

constexpr Entry kLabel4[] = {
    Text("Name", "Label4"),
    Int("Index", kNoIndex),
    Int("Left", 40),
    Int("Top", 64),
    Int("Width", 100),
    Int("Height", 20),
    Bool("LockLeft", true),
    Bool("LockTop", true),
    Bool("LockRight", false),
    Bool("LockBottom", false),
    Int("TabPanelIndex", 0),
    Int("TabIndex", 2),
    Bool("TabStop", true),
    Text("Text", "All from this list"),
    Int("TextAlign", 0),
    Colour("TextColor", 0x00, 0x00, 0x00, 0x00),
    Bool("Multiline", false),
    Bool("Enabled", true),
    Bool("Visible", true),
    Bool("Selectable", false),
    Bool("Transparent", false),
    Text("HelpTag", ""),
    Bool("AutoDeactivate", true),
    Text("TextFont", "System"),
    Single("TextSize", 0.0f),
    Enum("TextUnit", 0),
    Bool("Bold", false),
    Bool("Italic", false),
    Bool("Underline", false),
    Text("DataSource", ""),
    Text("DataField", ""),
    Text("InitialParent", ""),
};

constexpr Entry kTextArea1[] = {
    Text("Name", "TextArea1"),
    Int("Index", kNoIndex),
    Int("Left", 246),
    Int("Top", 34),
    Int("Width", 326),
    Int("Height", 332),
    Bool("LockLeft", true),
    Bool("LockTop", true),
    Bool("LockRight", true),
    Bool("LockBottom", true),
    Int("TabPanelIndex", 0),
    Int("TabIndex", 3),
    Bool("TabStop", true),
    Bool("Border", true),
    Bool("Multiline", true),
    Bool("ScrollbarHorizontal", false),
    Bool("ScrollbarVertical", true),
    Bool("Styled", true),
    Bool("UseFocusRing", true),
    Colour("TextColor", 0x00, 0x00, 0x00, 0x00),
    Colour("BackColor", 0xff, 0xff, 0xff, 0x00),
    Bool("Enabled", true),
    Text("Format", ""),
    Bool("Visible", true),
    Text("HelpTag", ""),
    Bool("AutoDeactivate", true),
    Bool("HideSelection", true),
    Double("LineHeight", 0.0),
    Double("LineSpacing", 1.0),
    Text("TextFont", "System"),
    Single("TextSize", 0.0f),
    Enum("TextUnit", 0),
    Bool("Bold", false),
    Bool("Italic", false),
    Bool("Underline", false),
    Text("Text", ""),
    Text("Mask", ""),
    Bool("ReadOnly", false),
    Int("LimitText", 0),
    Bool("AcceptTabs", false),
    Int("Alignment", 0),
    Bool("AutomaticallyCheckSpelling", true),
    Text("DataSource", ""),
    Text("DataField", ""),
};

static_assert(std::size(kWindow1) == 22);
static_assert(std::size(kBevelButton1) == 40 && EncodedSize(kBevelButton1) == 525);
static_assert(std::size(kListbox1) == 48 && EncodedSize(kListbox1) == 728);
static_assert(std::size(kLabel4) == 32 && EncodedSize(kLabel4) == 396);
static_assert(std::size(kTextArea1) == 44 && EncodedSize(kTextArea1) == 560);

constexpr auto kWindow1Bytes = Encode<kWindow1>();
constexpr auto kBevelButton1Bytes = Encode<kBevelButton1>();
constexpr auto kListbox1Bytes = Encode<kListbox1>();
constexpr auto kLabel4Bytes = Encode<kLabel4>();
constexpr auto kTextArea1Bytes = Encode<kTextArea1>();

}  // namespace

constinit const rt::PropertyRecord Window1 = kWindow1Bytes;
constinit const rt::PropertyRecord BevelButton1 = kBevelButton1Bytes;
constinit const rt::PropertyRecord Listbox1 = kListbox1Bytes;
constinit const rt::PropertyRecord Label4 = kLabel4Bytes;
constinit const rt::PropertyRecord TextArea1 = kTextArea1Bytes;

}  // namespace quorvane::PropertyRecords
