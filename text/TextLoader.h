#pragma once

#include "text/Report.h"
#include "text/SentenceList.h"

#include <string>

namespace bitexa {

// The message for a file name whose extension is not ".txt"; %s stands for the path.
inline constexpr const wchar_t* UnreadableFormatMessage =
    L"%s は読み込み可能なフォーマットでないので読み込めませんでした。";
inline constexpr const wchar_t* ErrorCaption = L"エラー";

// Whether the last path component ends in ".txt", letter case ignored.
bool HasTxtExtension(const std::wstring& path);

// Reads and decodes a file; an unreadable or empty file gives an empty text.
void ReadTextFile(const std::wstring& path, std::wstring& text);

// Loads one side: an empty path leaves the list as it is; otherwise the list is replaced by the
// segments of the file (or only the leading empty entry when the name is refused or the file
// gives no text). mode: 1 Japanese rules, 2 English rules, anything else lines only.
void LoadSentenceList(const std::wstring& path, int mode, SentenceList& list, const Report& report);

} // namespace bitexa
