#pragma once

#include "text/SentenceList.h"

#include <string>
#include <vector>

namespace bitexa {

// A segment that is nothing but a bracketed label such as (1), （ａ）, (iv), or a run of hyphens:
// the regular expression (default Perl syntax, case-sensitive, no collation) that makes an anchor.
inline constexpr const wchar_t* AnchorPatternText =
    L"^([\\(（][a-zａ-ｚA-ZＡ-Ｚ0-9０-９\\.．]+[\\)）]|\\-+)$";

// Folds full-width letters, digits and punctuation of a label to ASCII, and letters to lower case,
// so that the same label written either way gives the same key on both sides.
wchar_t FoldAnchorChar(wchar_t c);

// One key per segment: the folded segment for an anchor, the side tag ("s" or "t") otherwise.
std::vector<std::wstring> MakeAnchorKeys(const SentenceList& segments, const std::wstring& sideTag);

} // namespace bitexa
