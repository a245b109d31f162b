#pragma once

#include <string>

namespace bitexa {

// Rewrites the text so that every English sentence stands on a line of its own: broken lines are
// joined, sentence ends get a line feed (numbers, initials and abbreviations excepted), page
// number lines go, and at most one blank line remains between lines.
void SplitEnglish(std::wstring& text);

// True when every character is a digit, an upper-case or a lower-case letter (Unicode
// classification); true for the empty string.
bool IsAllDigits(const std::wstring& s);
bool IsAllUpper(const std::wstring& s);
bool IsAllLower(const std::wstring& s);

} // namespace bitexa
