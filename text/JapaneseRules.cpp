#include "text/JapaneseRules.h"

#include "text/RegexPass.h"

#include <array>

namespace bitexa {

namespace {

// The passes run in this order, each on the result of the one before; "^" matches after every
// line break and "." matches line breaks too, which the bracket pass relies on.
const std::array<ReplacePass, 6>& Passes() {
    static const std::array<ReplacePass, 6> passes{{
        // A line feed after a run of 。！？ in any mix, together with the 」 that close it.
        {boost::wregex(L"([\u3002\uFF01\uFF1F]+[\u300D]*)"), L"\\1\n"},
        // A bracketed item at a line start, ( （ ＜ 〔 up to the nearest ) ） ＞ 〕, stands on a
        // line of its own; it may run over line breaks.
        {boost::wregex(L"^([\\(\uFF08\uFF1C\u3014].+?[\\)\uFF09\uFF1E\u3015])"), L"\n\\1\n"},
        // Indentation (ideographic space or space) ends a line of its own ...
        {boost::wregex(L"^([\u3000 ]+)"), L"\\1\n"},
        // ... which then loses its spaces and is left empty: a paragraph break.
        {boost::wregex(L"^[ \u3000]+"), L""},
        {boost::wregex(L"\r\n"), L"\n"},
        // At most one empty line between two lines.
        {boost::wregex(L"\n\n+"), L"\n\n"},
    }};
    return passes;
}

} // namespace

void SplitJapanese(std::wstring& text) {
    for (const ReplacePass& pass : Passes()) {
        ApplyRegexPass(text, pass);
    }
}

} // namespace bitexa
