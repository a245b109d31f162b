#pragma once

#include <array>
#include <string_view>

namespace bitexa {

// The abbreviations after which a period does not end a sentence, in their stored order. The
// table holds some entries twice; it is only ever searched for a whole, case-sensitive match.
extern const std::array<std::wstring_view, 295> EnglishAbbreviations;

bool IsEnglishAbbreviation(std::wstring_view word);

} // namespace bitexa
