#include "ui/ResultFile.h"

#include "tests/app/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace bitexa {
namespace {

namespace fs = std::filesystem;

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
        const WriteResult result = WriteResultFile(dir.Wide("out.txt"), c.text);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(dir.Read("out.txt"), c.bytes);
    }
}

TEST(WriteResultFile, WritesALongTextWhole) {
    std::wstring text;
    for (int i = 0; i < 50000; ++i) {
        text += L"行\t" + std::to_wstring(i) + L"\n";
    }
    TempDir dir;
    ASSERT_TRUE(WriteResultFile(dir.Wide("long.txt"), text).ok);
    const std::string bytes = dir.Read("long.txt");
    ASSERT_EQ(bytes.size(), 2 + 2 * text.size());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), Bytes({0x0A, 0x00}));
}

TEST(WriteResultFile, ReplacesAnExistingFileWholeAndKeepsItsPermissions) {
    TempDir dir;
    dir.Write("old.txt", std::string(1000, 'x'));
    ASSERT_EQ(chmod(dir.Native("old.txt").c_str(), 0640), 0);
    ASSERT_TRUE(WriteResultFile(dir.Wide("old.txt"), L"a").ok);
    EXPECT_EQ(dir.Read("old.txt"), Bytes({0xFF, 0xFE, 'a', 0}));
    EXPECT_EQ(fs::status(dir.Native("old.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteResultFile, FollowsASymbolicLinkToTheFileItNames) {
    TempDir dir;
    dir.Write("real.txt", "old");
    fs::create_symlink("real.txt", dir.Path() / "link.txt");
    ASSERT_TRUE(WriteResultFile(dir.Wide("link.txt"), L"b").ok);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.txt"));
    EXPECT_EQ(dir.Read("real.txt"), Bytes({0xFF, 0xFE, 'b', 0}));

    // A dangling link creates the file it names.
    fs::create_symlink("new.txt", dir.Path() / "dangling.txt");
    ASSERT_TRUE(WriteResultFile(dir.Wide("dangling.txt"), L"c").ok);
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.txt"));
    EXPECT_EQ(dir.Read("new.txt"), Bytes({0xFF, 0xFE, 'c', 0}));
}

TEST(WriteResultFile, OpensAPathWithJapaneseCharacters) {
    TempDir dir;
    ASSERT_TRUE(WriteResultFile(dir.Wide("結果.txt"), L"z").ok);
    EXPECT_EQ(dir.Read("結果.txt"), Bytes({0xFF, 0xFE, 'z', 0}));
}

TEST(WriteResultFile, ReportsWhatItCannotWriteAndLeavesWhatWasThere) {
    TempDir dir;
    fs::create_directory(dir.Path() / "folder.txt");
    const struct {
        std::wstring path;
    } cases[] = {
        {dir.Wide("missing/out.txt")},
        {dir.Wide("folder.txt")},
        {L""},
    };
    for (const auto& c : cases) {
        const WriteResult result = WriteResultFile(c.path, L"text");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.reason.empty());
    }
    EXPECT_TRUE(fs::is_directory(dir.Path() / "folder.txt"));
    EXPECT_TRUE(fs::is_empty(dir.Path() / "folder.txt"));
}

TEST(WriteResultFile, WritesADeviceInPlaceAndReportsAFullOne) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    const WriteResult full = WriteResultFile(L"/dev/full", L"text");
    EXPECT_FALSE(full.ok);
    EXPECT_FALSE(full.reason.empty());
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    EXPECT_TRUE(WriteResultFile(L"/dev/null", L"text").ok);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(SaveFailedMessage, NamesThePathAndTheReason) {
    const std::wstring message = SaveFailedMessage(L"/tmp/x.txt", L"No space left on device");
    EXPECT_NE(message.find(L"/tmp/x.txt"), std::wstring::npos);
    EXPECT_NE(message.find(L"No space left on device"), std::wstring::npos);
}

} // namespace
} // namespace bitexa
