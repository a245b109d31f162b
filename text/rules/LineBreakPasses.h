#pragma once

#include <string>

namespace bitexa {

// The line-break passes that the Japanese and the English rules share. Both work in place and
// never lengthen the text.

// Every CR LF becomes LF; a lone CR stays.
void UnifyLineEnds(std::wstring& text);

// Every run of two or more line feeds becomes exactly two: at most one empty line remains
// between two lines.
void LimitEmptyLines(std::wstring& text);

} // namespace bitexa
