#include "text/Utf16.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>

namespace bitexa {

// On Linux a wchar_t holds a whole code point; the crossings below rely on that. A platform with
// 16-bit wide strings would need them rewritten (there, widening is a plain copy).
static_assert(sizeof(wchar_t) == 4, "wide strings are expected to hold code points");

namespace {

constexpr UChar32 ReplacementCharacter = 0xFFFD;

// The code point a wide character stands for; values outside Unicode (wchar_t is signed and
// 32 bits wide) are not characters and read as U+FFFD.
UChar32 CodePointOf(wchar_t c) {
    const auto value = static_cast<std::int64_t>(c);
    return (value < 0 || value > 0x10FFFF) ? ReplacementCharacter : static_cast<UChar32>(value);
}

} // namespace

std::wstring WidenUtf16(std::u16string_view units) {
    std::wstring text;
    text.reserve(units.size());
    const std::size_t length = units.size();
    std::size_t i = 0;
    while (i < length) {
        UChar32 c;
        // A lone surrogate comes out as itself, so it is kept as one unit.
        U16_NEXT(units.data(), i, length, c);
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

std::u16string NarrowToUtf16(std::wstring_view text) {
    std::u16string units;
    units.reserve(text.size());
    for (const wchar_t w : text) {
        const UChar32 c = CodePointOf(w);
        if (U_IS_BMP(c)) {
            // Surrogates included: a lone one goes back out as the single unit it came in as.
            units.push_back(static_cast<char16_t>(c));
        } else {
            units.push_back(U16_LEAD(c));
            units.push_back(U16_TRAIL(c));
        }
    }
    return units;
}

void AppendUtf16Le(std::string& bytes, std::wstring_view text) {
    // Room for the most (two units a character), written in place, then cut to what was used:
    // a result of hundreds of megabytes goes through here in blocks.
    const std::size_t start = bytes.size();
    bytes.resize(start + 4 * text.size());
    char* out = bytes.data() + start;
    const auto put = [&out](char16_t unit) {
        *out++ = static_cast<char>(unit & 0xFF);
        *out++ = static_cast<char>(unit >> 8);
    };
    for (const wchar_t w : text) {
        const UChar32 c = CodePointOf(w);
        if (U_IS_BMP(c)) {
            put(static_cast<char16_t>(c)); // a lone surrogate as the single unit it came in as
        } else {
            put(U16_LEAD(c));
            put(U16_TRAIL(c));
        }
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
}

void AppendUtf8(std::string& bytes, char32_t codePoint) {
    std::uint8_t encoded[U8_MAX_LENGTH];
    std::size_t n = 0;
    U8_APPEND_UNSAFE(encoded, n, static_cast<UChar32>(codePoint));
    bytes.append(reinterpret_cast<const char*>(encoded), n);
}

std::string ToUtf8(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t w : text) {
        UChar32 c = CodePointOf(w);
        if (U_IS_SURROGATE(c)) {
            c = ReplacementCharacter; // UTF-8 has no form for a lone surrogate
        }
        AppendUtf8(bytes, static_cast<char32_t>(c));
    }
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t length = bytes.size();
    std::size_t i = 0;
    while (i < length) {
        UChar32 c;
        // An ill-formed sequence is consumed as its longest valid-looking prefix (at least one
        // byte) and gives one U+FFFD, the usual practice of Unicode decoders.
        U8_NEXT(s, i, length, c);
        text.push_back(static_cast<wchar_t>(c < 0 ? ReplacementCharacter : c));
    }
    return text;
}

} // namespace bitexa
