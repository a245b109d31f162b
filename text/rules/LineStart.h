#pragma once

#include <cstddef>
#include <string_view>

namespace bitexa {

// The characters after which a new line starts for the rules that look at line starts: line
// feed, carriage return, form feed, next line (U+0085), line separator (U+2028) and paragraph
// separator (U+2029).
inline bool IsLineBreakCharacter(wchar_t c) {
    return c == L'\n' || c == L'\r' || c == L'\f' || c == L'\u0085' || c == L'\u2028' ||
           c == L'\u2029';
}

// Whether a line starts at `c`, the character behind `before`. A CR LF pair is one line break,
// so no line starts on its LF.
inline bool StartsLineAfter(wchar_t before, wchar_t c) {
    return IsLineBreakCharacter(before) && !(before == L'\r' && c == L'\n');
}

// Whether a line starts at index `i` (< size) of the text: at its first character or behind a
// line break.
inline bool StartsLine(std::wstring_view text, std::size_t i) {
    return i == 0 || StartsLineAfter(text[i - 1], text[i]);
}

} // namespace bitexa
