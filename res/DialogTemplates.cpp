#include "res/DialogTemplates.h"

namespace bitexa {

namespace {

using namespace Styles;
constexpr StyleSet ChildVisible = Child | Visible;
constexpr StyleSet PathEdit = ChildVisible | TabStop | Border | EditAutoHScroll;
constexpr StyleSet SplitCombo =
    ChildVisible | TabStop | VerticalScroll | ComboDropDownList | ComboSort;
// The two resizable windows: created hidden, shown by the command that uses them.
constexpr StyleSet SizableWindow = Popup | Caption | SystemMenu | SizingBorder | MinimizeBox |
                                   MaximizeBox | SetFont | FixedSystemFont;

} // namespace

const DialogTemplate& MainDialogTemplate() {
    static const DialogTemplate main{
        MainDialogId,
        u"Bitexa 1.0",
        u"MS UI Gothic",
        9,
        343,
        // One row below the buttons for the choice of the model.
        123,
        Visible | Popup | Caption | SystemMenu | MinimizeBox | MaximizeBox | SetFont,
        ExStyles::AppWindow,
        {
            {ControlIds::Start,
             ControlKind::PushButton,
             u"開始(&E)",
             {33, 85, 50, 14},
             ChildVisible | TabStop},
            {NoControlId, ControlKind::StaticText, u"Source:", {7, 9, 22, 8}, ChildVisible | Group},
            {NoControlId,
             ControlKind::StaticText,
             u"Target:",
             {7, 28, 21, 8},
             ChildVisible | Group},
            {ControlIds::ShowSourceText,
             ControlKind::PushButton,
             u"...",
             {267, 7, 11, 13},
             ChildVisible | TabStop},
            {ControlIds::ShowTargetText,
             ControlKind::PushButton,
             u"...",
             {267, 26, 11, 13},
             ChildVisible | TabStop},
            {ControlIds::Sensitivity,
             ControlKind::Trackbar,
             u"",
             {33, 43, 233, 27},
             ChildVisible | TabStop | TrackAutoTicks | TrackBothSides},
            {ControlIds::SourceSplit, ControlKind::ComboBox, u"", {279, 7, 46, 14}, SplitCombo},
            {ControlIds::TargetSplit, ControlKind::ComboBox, u"", {279, 26, 46, 14}, SplitCombo},
            {NoControlId, ControlKind::StaticText, u"感度:", {7, 53, 16, 8}, ChildVisible | Group},
            {ControlIds::SourcePath,
             ControlKind::Edit,
             u"",
             {33, 7, 233, 12},
             PathEdit,
             ExStyles::AcceptFiles},
            {ControlIds::TargetPath,
             ControlKind::Edit,
             u"",
             {33, 26, 233, 12},
             PathEdit,
             ExStyles::AcceptFiles},
            {NoControlId, ControlKind::StaticText, u"↑1.0", {147, 71, 16, 8}, ChildVisible | Group},
            {ControlIds::Save,
             ControlKind::PushButton,
             u"保存(&S)",
             {87, 85, 50, 14},
             ChildVisible | TabStop},
            {ControlIds::LexicalModel,
             ControlKind::CheckBox,
             u"語彙モデルで対応付ける(&L)",
             {33, 105, 233, 10},
             ChildVisible | TabStop | AutoCheckBox},
        },
    };
    return main;
}

const DialogTemplate& TextDialogTemplate() {
    static const DialogTemplate text{
        TextDialogId,
        u"",
        u"MS Shell Dlg",
        8,
        316,
        185,
        SizableWindow,
        ExStyles::AppWindow,
        {
            {ControlIds::TextEdit,
             ControlKind::Edit,
             u"",
             {0, 0, 316, 185},
             ChildVisible | Border | VerticalScroll | TabStop | EditMultiLine | EditAutoHScroll |
                 EditWantReturn},
        },
    };
    return text;
}

const DialogTemplate& AlignViewTemplate() {
    static const DialogTemplate view{
        AlignViewId,
        u"Alignment View",
        u"MS Shell Dlg",
        8,
        316,
        185,
        SizableWindow,
        0,
        {
            {ControlIds::AlignList,
             ControlKind::ListView,
             u"",
             {0, 0, 315, 185},
             ChildVisible | Border | TabStop | ListReport | ListOwnerData | ListNoSortHeader |
                 ListAlignLeft},
        },
    };
    return view;
}

} // namespace bitexa
