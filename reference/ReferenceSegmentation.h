#pragma once

#include <string>

namespace bitexa {

// The sentence rules read literally: every pass a regular expression applied to the whole text
// (a replacement, or for the English sentence ends a search loop), as the rules were first
// written. The hand-written passes of text/ are checked against these, and the benchmarks measure
// how far apart the two are.
//
// The regular-expression engine gives up on some inputs (its backtracking grows past its limit).
// These functions then throw the engine's std::runtime_error instead of going on, so that a check
// can tell a completed reading from one that was cut short.

inline constexpr int JapanesePassCount = 6;
inline constexpr int EnglishPassCount = 7;

// One pass, numbered from 1 in the order the rules apply them, on the whole text: the rewritten
// text.
std::wstring ReferenceJapanesePass(int pass, std::wstring text);
std::wstring ReferenceEnglishPass(int pass, std::wstring text);

// All passes in order.
std::wstring ReferenceSplitJapanese(std::wstring text);
std::wstring ReferenceSplitEnglish(std::wstring text);

} // namespace bitexa
