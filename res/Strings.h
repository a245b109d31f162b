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

// The save-file dialog: description|pattern pairs, ended by an empty pair.
inline constexpr std::u16string_view SaveFilter =
    u"テキストファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*||";
inline constexpr std::u16string_view SaveDefaultSuffix = u"txt";
inline constexpr std::u16string_view SaveInitialName = u"*.txt";

// Asked before an existing file is replaced; %1 is its path.
inline constexpr std::u16string_view OverwriteQuestion = u"%1 は既に存在します。\n上書きしますか?";
inline constexpr std::u16string_view OverwriteCaption = u"名前を付けて保存の確認";

} // namespace bitexa
