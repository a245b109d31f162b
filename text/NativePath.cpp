#include "text/NativePath.h"

#include "text/Utf16.h"

#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>

namespace bitexa {

namespace {

// An undecodable byte b (always 0x80..0xFF: ASCII is always valid) travels as U+DC00 + b. Valid
// UTF-8 never decodes to a surrogate, so these units cannot be confused with a real character.
constexpr char32_t EscapeBase = 0xDC00;
constexpr char32_t FirstEscape = 0xDC80;
constexpr char32_t LastEscape = 0xDCFF;
constexpr UChar32 ReplacementCharacter = 0xFFFD;

} // namespace

std::wstring PathFromNative(std::string_view bytes) {
    std::wstring path;
    path.reserve(bytes.size());
    const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t length = bytes.size();
    std::size_t i = 0;
    while (i < length) {
        const std::size_t start = i;
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c >= 0) {
            path.push_back(static_cast<wchar_t>(c));
        } else {
            // Every byte of the rejected sequence is carried on its own, so the way back gives
            // exactly these bytes again.
            for (std::size_t k = start; k < i; ++k) {
                path.push_back(static_cast<wchar_t>(EscapeBase + s[k]));
            }
        }
    }
    return path;
}

std::string PathToNative(std::wstring_view path) {
    std::string bytes;
    bytes.reserve(path.size());
    for (const wchar_t w : path) {
        const auto value = static_cast<std::int64_t>(w);
        if (value >= FirstEscape && value <= LastEscape) {
            bytes.push_back(static_cast<char>(value - EscapeBase));
            continue;
        }
        // Other surrogates and values outside Unicode name no file a system could give us; they
        // become U+FFFD, which then simply is not found.
        const UChar32 c = (value < 0 || value > 0x10FFFF || U_IS_SURROGATE(value))
                              ? ReplacementCharacter
                              : static_cast<UChar32>(value);
        AppendUtf8(bytes, static_cast<char32_t>(c));
    }
    return bytes;
}

} // namespace bitexa
