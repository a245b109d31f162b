#pragma once

#include <boost/regex.hpp>

#include <string>

namespace bitexa {

// Replaces every match of `pattern` in the whole text by `replacement`, left to right and without
// overlap (Perl-style replacement text: "\1" inserts group 1).
//
// The sentence rules are a chain of such passes over texts of any size. When the engine gives up
// on one pass (a match grows too complex, or its backtracking stack runs out of room), that pass
// alone is dropped: the text stays exactly as it was before it, the function returns false, and
// the caller goes on with its next pass. A side then keeps all of its text, only less finely cut,
// instead of ending the run. A failure to obtain memory is not caught here: it ends the run.
bool ApplyRegexPass(std::wstring& text, const boost::wregex& pattern, const wchar_t* replacement);

// One pass of a fixed chain: the compiled pattern and its replacement text.
struct ReplacePass {
    boost::wregex pattern;
    const wchar_t* replacement;
};

inline bool ApplyRegexPass(std::wstring& text, const ReplacePass& pass) {
    return ApplyRegexPass(text, pass.pattern, pass.replacement);
}

} // namespace bitexa
