#pragma once

namespace bitexa {

// Character classes of the lexical analysis. A wide character holds a whole code point here.

// Full-width ASCII forms to ASCII and the ideographic space to a space: what a translator types in
// full width on the Japanese side is the same token as on the English side.
constexpr char32_t FoldWidth(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
        return c - 0xFEE0;
    }
    return c == 0x3000 ? U' ' : c;
}

constexpr bool IsAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}
constexpr bool IsAsciiDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
constexpr bool IsWordCharacter(char32_t c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == U'_';
}
constexpr char AsciiLower(char32_t c) {
    return static_cast<char>(c >= U'A' && c <= U'Z' ? c + 32 : c);
}

// The CJK ideographs (with the extension A block) and the iteration mark 々.
constexpr bool IsKanji(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == 0x3005;
}
// Katakana with the prolonged sound mark ー.
constexpr bool IsKatakana(char32_t c) {
    return (c >= 0x30A1 && c <= 0x30FA) || c == 0x30FC;
}
constexpr bool IsHiragana(char32_t c) {
    return c >= 0x3041 && c <= 0x309F;
}
constexpr bool IsJapaneseScript(char32_t c) {
    return IsKanji(c) || IsKatakana(c) || IsHiragana(c);
}

} // namespace bitexa
