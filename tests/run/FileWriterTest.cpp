#include "run/FileWriter.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace bitexa {
namespace {

namespace fs = std::filesystem;

Status Write(const std::wstring& path, const std::string& bytes) {
    return WriteFile(path, [&bytes](ByteSink& sink) { return sink.Write(bytes); });
}

TEST(WriteFile, ReplacesAnExistingFileWholeAndKeepsItsPermissions) {
    TempDir dir;
    dir.Write("old.txt", std::string(1000, 'x'));
    ASSERT_EQ(chmod(dir.Native("old.txt").c_str(), 0640), 0);
    ASSERT_TRUE(Write(dir.Wide("old.txt"), "a").ok());
    EXPECT_EQ(dir.Read("old.txt"), "a");
    EXPECT_EQ(fs::status(dir.Native("old.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteFile, FollowsASymbolicLinkToTheFileItNames) {
    TempDir dir;
    dir.Write("real.txt", "old");
    fs::create_symlink("real.txt", dir.Path() / "link.txt");
    ASSERT_TRUE(Write(dir.Wide("link.txt"), "b").ok());
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.txt"));
    EXPECT_EQ(dir.Read("real.txt"), "b");

    // A dangling link creates the file it names.
    fs::create_symlink("new.txt", dir.Path() / "dangling.txt");
    ASSERT_TRUE(Write(dir.Wide("dangling.txt"), "c").ok());
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.txt"));
    EXPECT_EQ(dir.Read("new.txt"), "c");
}

TEST(WriteFile, OpensAPathWithJapaneseCharacters) {
    TempDir dir;
    ASSERT_TRUE(Write(dir.Wide("結果.txt"), "z").ok());
    EXPECT_EQ(dir.Read("結果.txt"), "z");
}

TEST(WriteFile, ReportsWhatItCannotWriteAndLeavesWhatWasThere) {
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
        const Status result = Write(c.path, "text");
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.reason.empty());
    }
    EXPECT_TRUE(fs::is_directory(dir.Path() / "folder.txt"));
    EXPECT_TRUE(fs::is_empty(dir.Path() / "folder.txt"));
}

TEST(WriteFile, WritesADeviceInPlaceAndReportsAFullOne) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    const Status full = Write(L"/dev/full", "text");
    EXPECT_FALSE(full.ok());
    EXPECT_FALSE(full.reason.empty());
    EXPECT_TRUE(fs::is_character_file("/dev/full"));

    EXPECT_TRUE(Write(L"/dev/null", "text").ok());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(WriteFile, AContentThatThrowsLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    dir.Write("old.txt", "old");
    EXPECT_THROW(WriteFile(dir.Wide("old.txt"),
                           [](ByteSink& sink) -> bool {
                               sink.Write("half");
                               throw std::bad_alloc();
                           }),
                 std::bad_alloc);
    EXPECT_EQ(dir.Read("old.txt"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(WriteFile, ANewFileGetsThePermissionsOfTheUmask) {
    TempDir dir;
    const mode_t previous = ::umask(027);
    const Status written = Write(dir.Wide("new.txt"), "x");
    ::umask(previous);
    ASSERT_TRUE(written.ok());
    struct stat status {};
    ASSERT_EQ(::stat(dir.Native("new.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

} // namespace
} // namespace bitexa
