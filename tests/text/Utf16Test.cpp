#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bitexa {
namespace {

// Each pair reads the same both ways: units widen to the text, the text narrows to the units.
struct WidenCase {
    std::u16string units;
    std::wstring text;
};

const WidenCase WidenCases[] = {
    {u"", L""},
    {u"abc 日本語", L"abc 日本語"},
    {u"\U0001F600", L"\U0001F600"},                                  // pair ↔ one code point
    {u"a\U00020BB7b", L"a\U00020BB7b"},                              // CJK extension B
    {{0xD83D}, {wchar_t(0xD83D)}},                                   // lone lead at the end
    {{0xD83D, u'a'}, {wchar_t(0xD83D), L'a'}},                       // lone lead before a letter
    {{0xDE00, u'a'}, {wchar_t(0xDE00), L'a'}},                       // lone trail
    {{0xDE00, 0xD83D}, {wchar_t(0xDE00), wchar_t(0xD83D)}},          // trail then lead: no pair
    {{0xD83D, 0xD83D, 0xDE00}, {wchar_t(0xD83D), wchar_t(0x1F600)}}, // the second lead pairs
};

TEST(Utf16, WidensPairsAndKeepsLoneSurrogates) {
    for (const WidenCase& c : WidenCases) {
        EXPECT_EQ(WidenUtf16(c.units), c.text) << testing::PrintToString(c.units);
    }
}

TEST(Utf16, NarrowsBackToTheSameUnits) {
    for (const WidenCase& c : WidenCases) {
        EXPECT_EQ(NarrowToUtf16(c.text), c.units) << testing::PrintToString(c.text);
    }
}

TEST(Utf16, NarrowsValuesOutsideUnicodeToReplacementCharacter) {
    const std::wstring text{L'a', wchar_t(0x110000), wchar_t(-1), L'b'};
    EXPECT_EQ(NarrowToUtf16(text), u"a\uFFFD\uFFFDb");
}

TEST(Utf16, AppendsTheNarrowedUnitsLowByteFirst) {
    std::vector<std::wstring> texts{L"a\U0001F600b", {L'x', wchar_t(0x110000), wchar_t(-1)}};
    for (const WidenCase& c : WidenCases) {
        texts.push_back(c.text);
    }
    for (const std::wstring& text : texts) {
        std::string expected = "head";
        for (const char16_t unit : NarrowToUtf16(text)) {
            expected += static_cast<char>(unit & 0xFF);
            expected += static_cast<char>(unit >> 8);
        }
        std::string bytes = "head";
        AppendUtf16Le(bytes, text);
        EXPECT_EQ(bytes, expected) << testing::PrintToString(text);
    }
}

struct Utf8Case {
    std::wstring text;
    std::string bytes;
};

TEST(Utf16, EncodesUtf8WithReplacementForLoneSurrogates) {
    const Utf8Case cases[] = {
        {L"", ""},
        {L"plain", "plain"},
        {L"\u00E9\u07FF\u0800", "\xC3\xA9\xDF\xBF\xE0\xA0\x80"},
        {L"日本", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {L"\U0001F600\U0010FFFF", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
        {{L'a', wchar_t(0xD800), L'b'},
         "a\xEF\xBF\xBD"
         "b"},
        {{wchar_t(0xDCFF)}, "\xEF\xBF\xBD"},
        {{wchar_t(0x110000)}, "\xEF\xBF\xBD"},
    };
    for (const Utf8Case& c : cases) {
        EXPECT_EQ(ToUtf8(c.text), c.bytes) << testing::PrintToString(c.text);
    }
}

TEST(Utf16, DecodesUtf8WithOneReplacementPerIllFormedPiece) {
    const Utf8Case cases[] = {
        {L"", ""},
        {L"\u00E9\u07FF\u0800日本\U0001F600",
         "\xC3\xA9\xDF\xBF\xE0\xA0\x80\xE6\x97\xA5\xE6\x9C\xAC\xF0\x9F\x98\x80"},
        {L"\uFFFD", "\xFF"},
        {L"a\uFFFD", "a\xE3\x81"}, // cut short at the end
        {L"\uFFFDA", "\xE3\x81"
                     "A"},                                 // cut short by an ASCII byte
        {L"\uFFFD\uFFFD", "\xC0\x80"},                     // overlong
        {L"\uFFFD\uFFFD\uFFFD", "\xED\xA0\x80"},           // an encoded surrogate
        {L"\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80"}, // above U+10FFFF
        {L"\uFFFD\uFFFD", "\x80\xBF"},                     // stray continuation bytes
    };
    for (const Utf8Case& c : cases) {
        EXPECT_EQ(FromUtf8(c.bytes), c.text) << testing::PrintToString(c.bytes);
    }
}

} // namespace
} // namespace bitexa
