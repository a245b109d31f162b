#pragma once

#include <array>
#include <string_view>

namespace bitexa {

// The window program's own texts. The messages of loading and saving belong to the run and to
// the result file and stay with them.

// Entries of the split-mode boxes; an entry's index is its split mode.
inline constexpr std::array<std::u16string_view, 3> SplitModeNames{u"文切りなし", u"日本語",
                                                                   u"English"};

// Titles of the two text windows.
inline constexpr std::u16string_view SourceTitle = u"Source";
inline constexpr std::u16string_view TargetTitle = u"Target";

// Headings of the alignment view's columns; the first column is present but never shown.
inline constexpr std::array<std::u16string_view, 3> AlignColumnHeadings{u"", u"Source", u"Target"};

// The file dialogs: description|pattern pairs, ended by an empty pair. The path fields' picker
// offers the text files the program reads; Save adds the formats it can write, the result file
// first and chosen at the start.
inline constexpr std::u16string_view OpenFilter =
    u"テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*||";
inline constexpr std::u16string_view SaveFilter =
    u"テキストファイル (*.txt)|*.txt|TSV (*.tsv)|*.tsv|TMX (*.tmx)|*.tmx|すべてのファイル "
    u"(*.*)|*.*||";
inline constexpr std::u16string_view SaveDefaultSuffix = u"txt";
inline constexpr std::u16string_view SaveInitialName = u"*.txt";

// Asked before a TMX file is written for a side cut into lines only, whose language the split
// mode does not tell; %1 is "Source" or "Target". The answer is a language tag such as en or ja.
inline constexpr std::u16string_view LanguageQuestion =
    u"%1 の言語を入力してください (例: en, ja, en-GB):";
inline constexpr std::u16string_view LanguageCaption = u"TMX の言語";
inline constexpr std::u16string_view NotALanguageMessage = u"%1 は言語タグではありません。";
// Told after a save that left something out (a TMX file keeps only rows with both sides).
inline constexpr std::u16string_view SavedWithNoticeCaption = u"保存";

// Asked before an existing file is replaced; %1 is its path.
inline constexpr std::u16string_view OverwriteQuestion = u"%1 は既に存在します。\n上書きしますか?";
inline constexpr std::u16string_view OverwriteCaption = u"名前を付けて保存の確認";

// The path fields' file picker: an entry of their context menu, also reached with Ctrl+O.
inline constexpr std::u16string_view BrowseAction = u"参照(&B)...";

// Asked before a run replaces rows that the user corrected and did not save.
inline constexpr std::u16string_view DiscardCorrectionsQuestion =
    u"行の修正が保存されていません。\n修正を破棄して新しく対応付けますか?";
inline constexpr std::u16string_view DiscardCorrectionsCaption = u"修正の破棄の確認";

// The progress window of a run that takes a while.
inline constexpr std::u16string_view ProgressTitle = u"Bitexa";
inline constexpr std::u16string_view ProgressLabel = u"文を対応付けています...";
inline constexpr std::u16string_view ProgressCancellingLabel = u"中止しています...";
inline constexpr std::u16string_view ProgressCancelButton = u"中止";

// The alignment view's status line: source segments, target segments, rows, doubtful rows.
inline constexpr std::u16string_view AlignStatus =
    u"Source: %1 segments   Target: %2 segments   %3 rows   %4 doubtful";

// A row's tooltip: what made it (one of RowKindNames, by RowKind) and its cost.
inline constexpr std::array<std::u16string_view, 7> RowKindNames{
    u"0-1 (target alone)", u"1-0 (source alone)", u"1-1", u"1-2", u"2-1", u"2-2", u"anchor pair"};
inline constexpr std::u16string_view RowTip = u"%1, cost %2";
// The same for a bead that took blank lines (empty segments) along.
inline constexpr std::u16string_view RowWithBlankLinesTip = u"%1 with blank lines, cost %2";
inline constexpr std::u16string_view CorrectedRowTip = u"corrected by hand";

// The alignment view's commands, in its context menu.
inline constexpr std::u16string_view UndoCommand = u"&Undo";
inline constexpr std::u16string_view RedoCommand = u"&Redo";
inline constexpr std::u16string_view MergeCommand = u"&Merge into Row Below";
inline constexpr std::u16string_view SplitCommand = u"&Split Row before Last Segment";
inline constexpr std::u16string_view SplitAtCommand = u"Split Row &at";
// An entry of the split menu: the boundary's number and the start of the segment after it.
inline constexpr std::u16string_view SplitAtEntry = u"Before Segment %1: %2";
inline constexpr std::u16string_view MoveUpCommand = u"Move First Segment &Up";
inline constexpr std::u16string_view MoveDownCommand = u"Move Last Segment &Down";
inline constexpr std::u16string_view EditCommand = u"&Edit Cell";
inline constexpr std::u16string_view InsertRowCommand = u"&Insert Empty Row";
inline constexpr std::u16string_view DeleteRowCommand = u"De&lete Empty Row";
inline constexpr std::u16string_view CopyCommand = u"&Copy Rows";
inline constexpr std::u16string_view NextDoubtCommand = u"&Next Doubtful Row";
inline constexpr std::u16string_view PreviousDoubtCommand = u"&Previous Doubtful Row";

} // namespace bitexa
