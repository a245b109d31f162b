#include "text/rules/EnglishRules.h"

#include "text/rules/EnglishPasses.h"
#include "text/rules/EnglishSentenceEnds.h"
#include "text/rules/LineBreakPasses.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace bitexa {

namespace {

// Character classes come from ICU's Unicode data, which needs no installed locale and no change
// to the process-wide one. On Linux a wchar_t holds a whole code point.
template <typename Predicate> bool AllOf(const std::wstring& s, Predicate predicate) {
    return std::all_of(s.begin(), s.end(),
                       [&](wchar_t c) { return predicate(static_cast<UChar32>(c)) != 0; });
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
