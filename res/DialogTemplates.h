#pragma once

#include "res/DialogTemplate.h"

namespace bitexa {

// Ids of the three windows.
inline constexpr int MainDialogId = 102;
inline constexpr int TextDialogId = 129;
inline constexpr int AlignViewId = 130;

// Control ids; they are also the widgets' object names.
namespace ControlIds {
// main dialog
constexpr int Start = 1004;
constexpr int ShowSourceText = 1007;
constexpr int ShowTargetText = 1008;
constexpr int Sensitivity = 1012;
constexpr int SourceSplit = 1013;
constexpr int TargetSplit = 1014;
constexpr int SourcePath = 1015;
constexpr int TargetPath = 1016;
constexpr int Save = 1017;
constexpr int LexicalModel = 1018;
// text window
constexpr int TextEdit = 1015;
// alignment view
constexpr int AlignList = 1016;
} // namespace ControlIds

const DialogTemplate& MainDialogTemplate();
const DialogTemplate& TextDialogTemplate();
const DialogTemplate& AlignViewTemplate();

} // namespace bitexa
