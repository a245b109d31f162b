#pragma once

#include <string>

namespace bitexa {

// The passes of the Japanese rules before the line-break passes, in the order they apply. Each
// rewrites the whole text in one scan from left to right, so its time grows with the length of
// the text alone. A line starts at the first character and behind every line break (see
// LineStart.h).

// A line feed behind every run of 。！？ in any mix, together with the 」 that follow the run.
void BreakAfterSentenceMarks(std::wstring& text);

// A bracketed item at a line start, from an opening ( （ ＜ 〔 to the nearest closing ) ） ＞ 〕
// with at least one character between them, gets a line feed before and after it. The item may
// run over line breaks; a line start whose bracket is never closed is left alone.
void SetBracketedItemsApart(std::wstring& text);

// The run of spaces and ideographic spaces that starts a line gets a line feed behind it ...
void BreakAfterIndentation(std::wstring& text);

// ... and every run of them at a line start is deleted.
void DropIndentation(std::wstring& text);

} // namespace bitexa
