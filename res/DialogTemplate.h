#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace bitexa {

// A window laid out in dialog units, as the program's dialog resources describe it. The builder
// turns it into widgets; the data stays here so that ids, texts, rectangles and styles can be
// read and checked in one place.

using StyleSet = std::uint32_t;

// Window and control styles, named after the resource styles they stand for. Each has a bit of
// its own: the builder maps them to widget properties.
namespace Styles {
constexpr StyleSet Visible = 1u << 0;            // WS_VISIBLE
constexpr StyleSet Popup = 1u << 1;              // WS_POPUP
constexpr StyleSet Caption = 1u << 2;            // WS_CAPTION
constexpr StyleSet SystemMenu = 1u << 3;         // WS_SYSMENU
constexpr StyleSet SizingBorder = 1u << 4;       // WS_THICKFRAME
constexpr StyleSet MinimizeBox = 1u << 5;        // WS_MINIMIZEBOX
constexpr StyleSet MaximizeBox = 1u << 6;        // WS_MAXIMIZEBOX
constexpr StyleSet SetFont = 1u << 7;            // DS_SETFONT
constexpr StyleSet FixedSystemFont = 1u << 8;    // DS_FIXEDSYS
constexpr StyleSet Child = 1u << 9;              // WS_CHILD
constexpr StyleSet TabStop = 1u << 10;           // WS_TABSTOP
constexpr StyleSet Group = 1u << 11;             // WS_GROUP
constexpr StyleSet Border = 1u << 12;            // WS_BORDER
constexpr StyleSet VerticalScroll = 1u << 13;    // WS_VSCROLL
constexpr StyleSet EditAutoHScroll = 1u << 14;   // ES_AUTOHSCROLL
constexpr StyleSet EditMultiLine = 1u << 15;     // ES_MULTILINE
constexpr StyleSet EditWantReturn = 1u << 16;    // ES_WANTRETURN
constexpr StyleSet ComboDropDownList = 1u << 17; // CBS_DROPDOWNLIST
constexpr StyleSet ComboSort = 1u << 18;         // CBS_SORT
constexpr StyleSet TrackAutoTicks = 1u << 19;    // TBS_AUTOTICKS
constexpr StyleSet TrackBothSides = 1u << 20;    // TBS_BOTH
constexpr StyleSet ListReport = 1u << 21;        // LVS_REPORT
constexpr StyleSet ListOwnerData = 1u << 22;     // LVS_OWNERDATA
constexpr StyleSet ListNoSortHeader = 1u << 23;  // LVS_NOSORTHEADER
constexpr StyleSet ListAlignLeft = 1u << 24;     // LVS_ALIGNLEFT
constexpr StyleSet AutoCheckBox = 1u << 25;      // BS_AUTOCHECKBOX
} // namespace Styles

namespace ExStyles {
constexpr StyleSet AppWindow = 1u << 0;   // WS_EX_APPWINDOW: a task-bar entry of its own
constexpr StyleSet AcceptFiles = 1u << 1; // WS_EX_ACCEPTFILES: files may be dropped on it
} // namespace ExStyles

enum class ControlKind { PushButton, CheckBox, StaticText, Edit, ComboBox, Trackbar, ListView };

// Horizontal units are a quarter of the font's average character width, vertical units an
// eighth of its height.
struct DluRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Controls without an id of their own (labels) have NoControlId.
inline constexpr int NoControlId = -1;

struct ControlTemplate {
    int id = NoControlId;
    ControlKind kind = ControlKind::StaticText;
    std::u16string_view text;
    DluRect rect;
    StyleSet styles = 0;
    StyleSet exStyles = 0;
};

struct DialogTemplate {
    int id = 0;
    std::u16string_view caption;
    std::u16string_view fontName;
    int pointSize = 0;
    int width = 0; // of the client area, in dialog units
    int height = 0;
    StyleSet styles = 0;
    StyleSet exStyles = 0;
    std::vector<ControlTemplate> controls; // in tab order
};

} // namespace bitexa
