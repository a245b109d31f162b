#pragma once

#include "text/Report.h"
#include "text/SentenceList.h"
#include "text/SplitMode.h"
#include "text/Status.h"

#include <string>

namespace bitexa {

// The message for a file name whose extension is not ".txt"; %s stands for the path.
inline constexpr const wchar_t* UnreadableFormatMessage =
    L"%s は読み込み可能なフォーマットでないので読み込めませんでした。";
inline constexpr const wchar_t* ErrorCaption = L"エラー";

// Whether the last path component ends in ".txt", letter case ignored.
bool HasTxtExtension(const std::wstring& path);

// The message for a refused file name, with the path put in literally.
std::wstring RefusedNameMessage(const std::wstring& path);

// The message for a file that could not be opened, read or decoded: its path and the reason.
std::wstring UnreadableFileMessage(const Status& status);

// Reads and decodes a file into `text` (emptied first). On failure the text is empty and the
// status says why; an empty file is a success with an empty text.
Status ReadTextFile(const std::wstring& path, std::wstring& text);

// Loads one side: an empty path leaves the list as it is (and succeeds); otherwise the list is
// replaced by the segments of the file, or only by the leading empty entry when the name is
// refused (RefusedName) or the file cannot be read or decoded (the status of the read).
Status LoadSide(const std::wstring& path, SplitMode mode, SentenceList& list);

// LoadSide for a split-mode box's index (see SplitModeFromIndex) that tells the user, through
// report, of a refused name and of a file that cannot be read: either makes a side without
// segments, and the user must not take that for an empty file.
Status LoadSentenceList(const std::wstring& path, int mode, SentenceList& list,
                        const Report& report);

// What LoadSentenceList tells the user of a side's status, for a side loaded by LoadSide.
void ReportLoadStatus(const Status& status, const Report& report);

} // namespace bitexa
