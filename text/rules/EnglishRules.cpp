#include "text/rules/EnglishRules.h"

#include "text/rules/EnglishPasses.h"
#include "text/rules/EnglishSentenceEnds.h"
#include "text/rules/LineBreakPasses.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdint>

namespace bitexa {

namespace {

// Character classes come from ICU's Unicode data, which needs no installed locale and no change
// to the process-wide one. The rules read text as UTF-16 code units, as everywhere else in the
// program: a character beyond U+FFFF (a whole code point in a Linux wchar_t) stands for two
// surrogate units, neither of which is a digit or a letter.
template <typename Predicate> bool AllOf(const std::wstring& s, Predicate predicate) {
    return std::all_of(s.begin(), s.end(), [&](wchar_t c) {
        return static_cast<std::uint32_t>(c) <= 0xFFFF && predicate(static_cast<UChar32>(c)) != 0;
    });
}

} // namespace

bool IsAllDigits(const std::wstring& s) {
    return AllOf(s, u_isdigit);
}

bool IsAllUpper(const std::wstring& s) {
    return AllOf(s, u_isupper);
}

bool IsAllLower(const std::wstring& s) {
    return AllOf(s, u_islower);
}

// The passes run in this order, each on the result of the one before; each is one scan over the
// text. The sentence ends are looked for on the text as the line passes left it.
void SplitEnglish(std::wstring& text) {
    UnifyLineEnds(text);
    DropIndentationAfterLineFeeds(text);
    JoinBrokenLines(text);
    SetNumberedLinesApart(text);
    MarkEnglishSentenceEnds(text);
    RemovePageNumberLines(text);
    LimitEmptyLines(text);
}

} // namespace bitexa
