#include "text/NativePath.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

struct PathCase {
    std::string bytes;
    std::wstring path;
};

TEST(NativePath, CarriesUndecodableBytesAsEscapesBothWays) {
    const PathCase cases[] = {
        {"", L""},
        {"/tmp/plain.txt", L"/tmp/plain.txt"},
        {"/tmp/\xE6\x97\xA5\xE6\x9C\xAC.txt", L"/tmp/日本.txt"},
        {"caf\xE9.txt", L"caf\xDCE9.txt"}, // a Latin-1 name
        {"\xFF\x80", L"\xDCFF\xDC80"},
        {"a\xE3\x81", L"a\xDCE3\xDC81"},         // cut short at the end
        {"\xE3\x81/", L"\xDCE3\xDC81/"},         // cut short by an ASCII byte
        {"\xC0\x80", L"\xDCC0\xDC80"},           // overlong
        {"\xED\xB2\x80", L"\xDCED\xDCB2\xDC80"}, // UTF-8 form of U+DC80 itself
        {"\xF4\x90\x80\x80", L"\xDCF4\xDC90\xDC80\xDC80"},
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(PathFromNative(c.bytes), c.path) << testing::PrintToString(c.bytes);
        EXPECT_EQ(PathToNative(c.path), c.bytes) << testing::PrintToString(c.bytes);
    }
}

TEST(NativePath, EveryOneAndTwoByteNameRoundTrips) {
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        ASSERT_EQ(PathToNative(PathFromNative(one)), one);
        for (int second = 0; second < 256; ++second) {
            const std::string two{static_cast<char>(first), static_cast<char>(second)};
            ASSERT_EQ(PathToNative(PathFromNative(two)), two) << first << ' ' << second;
        }
    }
}

TEST(NativePath, SurrogatesOutsideTheEscapeRangeBecomeReplacementCharacter) {
    const std::wstring path{L'a', wchar_t(0xD800), wchar_t(0xDC7F), wchar_t(0xDD00), L'b'};
    EXPECT_EQ(PathToNative(path), "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                                  "b");
}

} // namespace
} // namespace bitexa
