#include "text/EncodingDetector.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

struct DetectCase {
    const char* what;
    std::string bytes;
    int codePage;
    std::size_t skip;
};

TEST(DetectCodePage, ChoosesTheCodePageAndTheBytesToSkip) {
    using namespace CodePages;
    const DetectCase cases[] = {
        {"UTF-16LE mark",
         std::string("\xFF\xFE"
                     "A\0",
                     4),
         Utf16Le, 2},
        {"UTF-16LE mark alone", "\xFF\xFE", Utf16Le, 2},
        {"UTF-32LE mark counts as UTF-16LE", std::string("\xFF\xFE\0\0", 4), Utf16Le, 2},
        {"UTF-16BE mark", std::string("\xFE\xFF\0A", 4), Utf16Be, 2},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "A",
         Utf8, 3},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", Utf8, 3},
        {"ASCII only", "plain text\r\n", UsAscii, 0},
        {"nothing at all", "", UsAscii, 0},
        {"JIS X 0208 escape", "abc\x1B$BF|K\\\x1B(B", Iso2022Jp, 0},
        {"escape, then a high byte", "\x1B$B\x93\xFA", Iso2022Jp, 0},
        {"high byte before the escape", "\x93\xFA\x1B$B", ShiftJis, 0},
        {"escape cut by the end", "abc\x1B$", UsAscii, 0},
        {"unknown escape", "\x1B(Z", UsAscii, 0},
        {"Shift_JIS: S=4 E=0 U=0", "\x93\xFA\x96\x7B", ShiftJis, 0},
        {"EUC-JP: E=4 S=2 U=0", "\xC6\xFC\xCB\xDC", EucJp, 0},
        {"UTF-8: U=6 S=4 E=0", "\xE6\x97\xA5\xE6\x9C\xAC", Utf8, 0},
        {"every scan invalid", "\x80\x80\x80\x80", Utf8, 0},
        {"every scan invalid though E leads", "\xC6\xFC\xCB\xDC\x80\x80\x80\x80", Utf8, 0},
        {"an invalid scan's count still wins",
         "\xC6\xFC\xCB\xDC\xA1"
         "AA",
         EucJp, 0},
        {"tie E=U=2 (UTF-8 e-acute)", "caf\xC3\xA9", Utf8, 0},
        {"tie S=E=2 above U=0", "\xEF\xBB", Utf8, 0},
        {"tie of three at 0", "\xFF", Utf8, 0},
    };
    for (const DetectCase& c : cases) {
        const CodePageChoice choice = DetectCodePage(Bytes(c.bytes), c.bytes.size());
        EXPECT_EQ(choice.codePage, c.codePage) << c.what;
        EXPECT_EQ(choice.skip, c.skip) << c.what;
    }
}

struct EscapeCase {
    std::string bytes;
    bool found;
};

TEST(HasJisEscape, FindsWholeDesignationsInSevenBitText) {
    const EscapeCase cases[] = {
        {"\x1B(B", true},
        {"\x1B(J", true},
        {"\x1B(I", true},
        {"\x1B$@", true},
        {"\x1B$B", true},
        {"\x1B$(D", true},
        {"\x1B&@\x1B$B", true},
        {"text \x1B$B more", true},
        {"\x1B\x1B$B", true}, // the second ESC starts the sequence
        {"\x1B$B\xFF", true}, // what follows the escape does not matter
        {"", false},
        {"plain", false},
        {"\x1B(", false}, // cut by the end of the buffer
        {"\x1B$(", false},
        {"\x1B&@\x1B$", false},
        {"\x1B&@", false},
        {"\x1B(Z\x1B$A", false}, // not designations we know
        {"\x80\x1B$B", false},   // an 8-bit byte stops the search
        {"a\xA4\xA2\x1B(B", false},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(HasJisEscape(Bytes(c.bytes), c.bytes.size()), c.found)
            << testing::PrintToString(c.bytes);
    }
}

struct ScanCase {
    std::string bytes;
    bool valid;
    std::size_t count;
};

void ExpectScans(ScanResult (*scan)(const unsigned char*, std::size_t),
                 std::initializer_list<ScanCase> cases) {
    for (const ScanCase& c : cases) {
        const ScanResult result = scan(Bytes(c.bytes), c.bytes.size());
        EXPECT_EQ(result.valid, c.valid) << testing::PrintToString(c.bytes);
        EXPECT_EQ(result.count, c.count) << testing::PrintToString(c.bytes);
    }
}

TEST(HasJisEscape, LooksAtEveryByteOfALongBuffer) {
    // The buffer is looked at eight bytes at a time: a designation, a stray ESC and a high byte
    // at every place of a word, in buffers of every length around a few words.
    for (std::size_t size = 0; size <= 40; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            std::string text(size, 'a');
            const std::string designation = "\x1B$B";
            text.replace(at, designation.size(), designation);
            text.resize(size);
            const bool whole = at + designation.size() <= size;
            EXPECT_EQ(HasJisEscape(Bytes(text), text.size()), whole) << size << " " << at;

            std::string high(size, 'a');
            high[at] = '\xE6';
            high += designation;
            EXPECT_FALSE(HasJisEscape(Bytes(high), high.size())) << size << " " << at;
            const int highPage = DetectCodePage(Bytes(high), high.size()).codePage;
            EXPECT_TRUE(highPage != CodePages::UsAscii && highPage != CodePages::Iso2022Jp);

            std::string stray(size, 'a');
            stray[at] = '\x1B';
            EXPECT_FALSE(HasJisEscape(Bytes(stray), stray.size())) << size << " " << at;
            EXPECT_EQ(DetectCodePage(Bytes(stray), stray.size()).codePage, CodePages::UsAscii);
        }
    }
}

TEST(ScanShiftJis, CountsDoubleByteCharacters) {
    ExpectScans(ScanShiftJis, {
                                  {"", true, 0},
                                  {"\x93\xFA\x96\x7B", true, 4},
                                  {"\x81\x40\x9F\xFC\xE0\x80\xFC\x7E", true, 8}, // range ends
                                  {"\xB1\xB2\xDF", true, 0}, // single-byte katakana
                                  {"A\x93", true, 0},        // a lead byte standing last
                                  {"\x93\xFA\xA0"
                                   "A",
                                   false, 2},
                                  {"\xFD\x40", false, 0},
                                  {"\x81\x7F", false, 0},
                                  {"\x81\xFD", false, 0},
                                  {"\x81\x39", false, 0},
                              });
}

TEST(ScanEucJp, CountsTwoAndThreeByteCharacters) {
    ExpectScans(ScanEucJp, {
                               {"", true, 0},
                               {"\xC6\xFC\xCB\xDC", true, 4},
                               {"\xA1\xFF", true, 2},
                               {"\x8E\xB1", true, 2}, // half-width katakana
                               {"\x8F\xB0\xA1"
                                "A",
                                true, 3},              // JIS X 0212
                               {"\xA1", true, 0},      // a lead byte standing last
                               {"\xA1\x41", false, 0}, // the last two bytes, no pair
                               {"\x8F\xA1", false, 0},
                               {"\xA1\xA1\xA1\x41", false, 2},
                               {"\x8F\xA1\xFF", false, 0},
                               {"\x80\x41\x41", false, 0},
                               {"\x93\xFA\x96\x7B", false, 0},
                           });
}

TEST(ScanUtf8, CountsSequencesAndPassesStrayBytesOver) {
    ExpectScans(ScanUtf8, {
                              {"", true, 0},
                              {"\xE6\x97\xA5\xE6\x9C\xAC", true, 6},
                              {"caf\xC3\xA9", true, 2},
                              {"\xF0\x9F\x98\x80", true, 4},
                              {"\xE6\x97\xA5"
                               "A",
                               true, 3},
                              {"\xE3\x81", true, 0}, // the last two bytes: passed over
                              {"\x80"
                               "A",
                               true, 0},
                              {"\x80\x80"
                               "AAAA",
                               true, 0},
                              {"\x80\x80\x80", false, 0},     // exactly three bytes left
                              {"\x80\x80\x80\x80", false, 0}, // ... once the first is passed over
                              {"\xE3\x81"
                               "A",
                               false, 0},
                              {"\xF0\x9F\x98", false, 0},
                              {"\xC3\xA9\x80\x80\x80", false, 2},
                              {"\x93\xFA\x96\x7B", false, 0},
                          });
}

} // namespace
} // namespace bitexa
