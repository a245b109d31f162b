#pragma once

#include <string>
#include <string_view>

namespace bitexa {

// The program's text is std::wstring; files and the converter speak UTF-16. These are the only
// crossings, so a lone surrogate survives a round trip unchanged.

// UTF-16 code units to a wide string: pairs become one code point, a lone surrogate stays as
// its own unit.
std::wstring WidenUtf16(std::u16string_view units);

// A wide string to UTF-16 code units: a code point above U+FFFF becomes a surrogate pair.
std::u16string NarrowToUtf16(std::wstring_view text);

// Appends the code units of NarrowToUtf16(text) to `bytes`, each low byte first.
void AppendUtf16Le(std::string& bytes, std::wstring_view text);

// Appends the UTF-8 bytes of one Unicode scalar value (not a surrogate, at most U+10FFFF).
void AppendUtf8(std::string& bytes, char32_t codePoint);

// A wide string to UTF-8 for terminals and pipes; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

// UTF-8 to a wide string; an invalid sequence becomes U+FFFD.
std::wstring FromUtf8(std::string_view bytes);

} // namespace bitexa
