#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace bitexa {

// The abbreviations after which a period does not end a sentence, in their stored order. The
// table holds some entries twice; it is only ever searched for a whole, case-sensitive match.
extern const std::array<std::wstring_view, 295> EnglishAbbreviations;

// The length of the longest entry: a longer word is never an abbreviation, so a caller may stop
// collecting a word one character beyond it.
inline constexpr std::size_t LongestEnglishAbbreviation = 10;

bool IsEnglishAbbreviation(std::wstring_view word);

} // namespace bitexa
