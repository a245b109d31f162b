#include "text/Utf16Converter.h"

#include "text/EncodingDetector.h"
#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

std::u16string Convert(const std::string& bytes, int codePage) {
    std::u16string units;
    ConvertToUtf16(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), codePage,
                   units);
    return units;
}

struct ConvertCase {
    int codePage;
    std::string bytes;
    std::u16string units;
};

TEST(ConvertToUtf16, DecodesEachCodePageWithTheWindowsTables) {
    using namespace CodePages;
    const ConvertCase cases[] = {
        {ShiftJis, "\x81\x60", u"\uFF5E"}, // full-width tilde, not the wave dash
        {ShiftJis, "\x87\x40", u"①"},      // NEC row 13
        {ShiftJis, "\x5C\x7E", u"\\~"},    // ASCII, not yen sign and overline
        {ShiftJis, "\x93\xFA\x96\x7B\xB1", u"日本ｱ"},
        {EucJp, "\xA1\xC1", u"\uFF5E"},
        {EucJp, "\xAD\xA1", u"①"},
        {EucJp, "\xC6\xFC\xCB\xDC\x8E\xB1\x8F\xB0\xA1", u"日本ｱ丂"},
        {Iso2022Jp, "\x1B(I1", u"ｱ"},
        {Iso2022Jp, "a\x1B$B$\"F|\x1B(Bb", u"aあ日b"},
        {Iso2022Jp, "\x1B(J\x5C", u"\u00A5"}, // JIS X 0201 Roman has the yen sign at 5C
        // The JIS X 0208-1990 announcer gives nothing; JIS X 0212 gives its characters.
        {Iso2022Jp, "a\x1B&@\x1B$B#1\x1B(Bb", u"a\uFF11b"},
        {Iso2022Jp, "See \x1B$(D0!\x1B(B Next", u"See \u4E02 Next"},
        {Iso2022Jp, "\x1B$(D\x22\x2F\x1B$B$\"\x1B(B", u"\u02D8\u3042"},
        {UsAscii, "plain\r\n", u"plain\r\n"},
        {Utf16Le, std::string("A\0\x3D\xD8\x00\xDE", 6), u"A\U0001F600"},
        {Utf16Be, std::string("\0A\xD8\x3D\xDE\x00", 6), u"A\U0001F600"},
        {Utf8, "\xE6\x97\xA5\xF0\x9F\x98\x80", u"日\U0001F600"},
        {Utf8, "\xEF\xBB\xBF", u"\uFEFF"}, // a mark is the caller's to skip
    };
    for (const ConvertCase& c : cases) {
        EXPECT_EQ(Convert(c.bytes, c.codePage), c.units)
            << c.codePage << ' ' << testing::PrintToString(c.bytes);
    }
}

TEST(ConvertToUtf16, ReplacesInvalidSequencesWithReplacementCharacter) {
    using namespace CodePages;
    const ConvertCase cases[] = {
        {ShiftJis,
         "a\xA0"
         "b",
         u"a\uFFFDb"},
        {ShiftJis, "a\xFD", u"a\uFFFD"},
        {ShiftJis, "a\x81", u"a\uFFFD"}, // a lead byte cut off by the end
        {EucJp,
         "a\xFF"
         "b",
         u"a\uFFFDb"},
        {Iso2022Jp, "\x1B$Bxy\x1B(Bz", u"\uFFFDz"}, // an empty cell of JIS X 0208
        // An empty cell of JIS X 0212 is one character too, never two ASCII ones.
        {Iso2022Jp, "\x1B$(D~~0!\x1B(Bz", u"\uFFFD\u4E02z"},
        {Iso2022Jp, "\x1B$(D0", u"\uFFFD"}, // half a pair at the end
        {UsAscii, "a\x80", u"a\uFFFD"},
        {Utf8,
         "a\xFF"
         "b\xE3\x81",
         u"a\uFFFDb\uFFFD"},
        {Utf16Le, std::string("A\0B", 3), u"A\uFFFD"},
        {Utf16Le,
         std::string("\0\xD8"
                     "A\0",
                     4),
         u"\uFFFDA"}, // an unpaired surrogate
    };
    for (const ConvertCase& c : cases) {
        EXPECT_EQ(Convert(c.bytes, c.codePage), c.units)
            << c.codePage << ' ' << testing::PrintToString(c.bytes);
    }
}

TEST(ConvertToUtf16, GivesNothingForCodePagesItDoesNotRead) {
    for (const int codePage : {0, -1, 1252, 50221, 54936}) {
        EXPECT_EQ(IcuConverterName(codePage), nullptr) << codePage;
        std::u16string units = u"stale";
        const Status status =
            ConvertToUtf16(reinterpret_cast<const unsigned char*>("text"), 4, codePage, units);
        EXPECT_EQ(status.kind, Status::Kind::CannotDecode) << codePage;
        EXPECT_EQ(units, u"") << codePage;
    }
    EXPECT_EQ(Convert("", CodePages::Utf8), u"");
}

// The converter is fed in pieces of 1 MiB; characters, and ISO-2022-JP's shift state, that
// straddle the seams must decode as if the buffer had been given whole. In both buffers the
// first seam falls inside a character.
TEST(ConvertToUtf16, DecodesLongBuffersAcrossTheSeams) {
    constexpr std::size_t repeats = 1'500'001;
    std::string utf8;
    std::string jis = "\x1B$B";
    std::u16string expected;
    for (std::size_t i = 0; i < repeats; ++i) {
        utf8 += "\xE6\x97\xA5";
        jis += "F|";
        expected += u"日";
    }
    jis += "\x1B(B!";
    EXPECT_EQ(Convert(utf8, CodePages::Utf8), expected);
    EXPECT_EQ(Convert(jis, CodePages::Iso2022Jp), expected + u"!");
}

std::wstring ConvertWhole(const std::string& bytes, int codePage) {
    std::wstring text;
    std::size_t pieces = 0;
    const Status status = ConvertToWide(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        bytes.size(), codePage, [&](std::wstring_view piece) {
                                            EXPECT_FALSE(piece.empty());
                                            text += piece;
                                            ++pieces;
                                        });
    EXPECT_TRUE(status.ok());
    EXPECT_GE(pieces, bytes.size() >> 20); // the text did come in pieces
    return text;
}

// Wide text in pieces is the widened UTF-16 of the whole: surrogate pairs and lone surrogates
// (which the converter replaces) at the seams of the pieces included.
TEST(ConvertToWide, GivesTheWidenedTextOfTheWholeBufferInPieces) {
    // UTF-16 little-endian: the seams fall every 2^19 units. A pair across the first, a lone
    // lead before the second and a lone trail after the third, a pair at the very end.
    constexpr std::size_t seam = std::size_t{1} << 19;
    std::u16string units(3 * seam + 10, u'a');
    units[seam - 1] = 0xD83D;
    units[seam] = 0xDE00;
    units[2 * seam - 1] = 0xD83D;
    units[3 * seam] = 0xDE00;
    units[units.size() - 2] = 0xD83D;
    units.back() = 0xDE00;
    std::string bytes;
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    const std::wstring text = ConvertWhole(bytes, CodePages::Utf16Le);
    EXPECT_TRUE(text == WidenUtf16(Convert(bytes, CodePages::Utf16Le)));
    EXPECT_EQ(text[seam - 1], L'\U0001F600');

    // A lone lead that ends the buffer.
    const std::string cutOff("a\0\x3D\xD8", 4);
    EXPECT_EQ(ConvertWhole(cutOff, CodePages::Utf16Le),
              WidenUtf16(Convert(cutOff, CodePages::Utf16Le)));
    // UTF-8 across the seams, as above.
    std::string utf8;
    for (std::size_t i = 0; i < 700'001; ++i) {
        utf8 += "\xF0\x9F\x98\x80\xE6\x97\xA5";
    }
    EXPECT_TRUE(ConvertWhole(utf8, CodePages::Utf8) == WidenUtf16(Convert(utf8, CodePages::Utf8)));
}

} // namespace
} // namespace bitexa
