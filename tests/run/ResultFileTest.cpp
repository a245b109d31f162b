#include "run/ResultFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(WriteResultFile, WritesTheMarkAndEveryCodeUnitLowByteFirst) {
    const struct {
        std::wstring text;
        std::string bytes;
    } cases[] = {
        {L"", Bytes({0xFF, 0xFE})},
        {L"\t\n", Bytes({0xFF, 0xFE, 0x09, 0x00, 0x0A, 0x00})},
        {L"a\tあ\n", Bytes({0xFF, 0xFE, 'a', 0, 0x09, 0, 0x42, 0x30, 0x0A, 0})},
        // U+20BB7 stands as its surrogate pair D842 DFB7.
        {L"\U00020BB7\t\n", Bytes({0xFF, 0xFE, 0x42, 0xD8, 0xB7, 0xDF, 0x09, 0, 0x0A, 0})},
        // No carriage return is added, none is taken away.
        {L"x\r\n", Bytes({0xFF, 0xFE, 'x', 0, 0x0D, 0, 0x0A, 0})},
    };
    TempDir dir;
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteResultFile(dir.Wide("out.txt"), c.text).ok());
        EXPECT_EQ(dir.Read("out.txt"), c.bytes);
    }
}

TEST(WriteResultFile, WritesALongTextWhole) {
    std::wstring text;
    for (int i = 0; i < 50000; ++i) {
        text += L"行\t" + std::to_wstring(i) + L"\n";
    }
    TempDir dir;
    ASSERT_TRUE(WriteResultFile(dir.Wide("long.txt"), text).ok());
    const std::string bytes = dir.Read("long.txt");
    ASSERT_EQ(bytes.size(), 2 + 2 * text.size());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), Bytes({0x0A, 0x00}));
}

TEST(WriteResultRows, WritesTheBytesOfTheRowsText) {
    const ColumnList source{L"", L"One.", L"", L"Two \U00020BB7 words.", L"a\tb"};
    const ColumnList target{L"", L"一。", L"余り。", L"", L"c"};
    std::wstring text;
    AppendRowText(text, source, target);
    TempDir dir;
    ASSERT_TRUE(WriteResultFile(dir.Wide("text.txt"), text).ok());
    ASSERT_TRUE(WriteResultRows(dir.Wide("rows.txt"), source, target).ok());
    EXPECT_EQ(dir.Read("rows.txt"), dir.Read("text.txt"));

    ASSERT_TRUE(WriteResultRows(dir.Wide("none.txt"), {}, {}).ok());
    EXPECT_EQ(dir.Read("none.txt"), Bytes({0xFF, 0xFE}));
    // A column that falls short gives empty cells.
    ASSERT_TRUE(WriteResultRows(dir.Wide("short.txt"), {L"a", L"b"}, {L"x"}).ok());
    EXPECT_EQ(dir.Read("short.txt"),
              Bytes({0xFF, 0xFE, 'a', 0, 0x09, 0, 'x', 0, 0x0A, 0, 'b', 0, 0x09, 0, 0x0A, 0}));
}

TEST(SaveFailedMessage, NamesThePathAndTheReason) {
    const std::wstring message = SaveFailedMessage(L"/tmp/x.txt", L"No space left on device");
    EXPECT_NE(message.find(L"/tmp/x.txt"), std::wstring::npos);
    EXPECT_NE(message.find(L"No space left on device"), std::wstring::npos);
}

} // namespace
} // namespace bitexa
