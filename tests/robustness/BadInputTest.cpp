// What users feed the program: broken encodings, odd files, odd places to write. Each case states
// what comes out: the list, the message, the bytes left on disk.

#include "run/IniFile.h"
#include "run/ResultFile.h"
#include "run/RunCommand.h"
#include "run/Settings.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "text/TextLoader.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace bitexa {
namespace {

namespace fs = std::filesystem;

struct Loaded {
    SentenceList list;
    std::vector<std::wstring> messages;
};

Loaded Load(const std::wstring& path, int mode) {
    Loaded out;
    LoadSentenceList(path, mode, out.list, [&out](const std::wstring& text, const std::wstring&) {
        out.messages.push_back(text);
    });
    return out;
}

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(BadInput, BrokenEncodingsGiveTheReadablePartAndNoMessage) {
    const struct {
        const char* what;
        std::string bytes;
        SentenceList expected;
    } cases[] = {
        {"NUL bytes stay in their line",
         std::string("a\0b\r\nc", 6),
         {L"", std::wstring(L"a\0b", 3), L"c"}},
        {"odd-length UTF-16", Bytes({0xFF, 0xFE, 'A', 0, 'B'}), {L"", L"A\uFFFD"}},
        {"lone high surrogate", Bytes({0xFF, 0xFE, 0x00, 0xD8, 'A', 0}), {L"", L"\uFFFDA"}},
        {"lone low surrogate at the end",
         Bytes({0xFF, 0xFE, 'A', 0, 0x00, 0xDC}),
         {L"", L"A\uFFFD"}},
        {"big-endian with a cut unit",
         Bytes({0xFE, 0xFF, 0, 'A', 0, '\n', 0}),
         {L"", L"A", L"\uFFFD"}},
        {"UTF-8 cut inside a character",
         Bytes({'c', 'a', 'f', 0xC3, 0xA9, 0xC3}),
         {L"", L"caf\u00E9\uFFFD"}},
        {"a UTF-16 mark alone", Bytes({0xFF, 0xFE}), {L""}},
        {"a UTF-8 mark alone", Bytes({0xEF, 0xBB, 0xBF}), {L""}},
        {"invalid UTF-8 only", Bytes({0x80, 0x80, 0x80, 0x80}), {L"", L"\uFFFD\uFFFD\uFFFD\uFFFD"}},
        {"line breaks only", "\r\r\n\n", {L"", L"", L"", L""}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const Loaded loaded = Load(dir.Write("in.txt", c.bytes), 0);
        EXPECT_EQ(loaded.list, c.expected) << c.what;
        EXPECT_TRUE(loaded.messages.empty()) << c.what;
    }
}

TEST(BadInput, RandomBinaryLoadsInEveryModeWithoutAMessage) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(1, 4096);
    TempDir dir;
    for (int round = 0; round < 150; ++round) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& b : bytes) {
            b = static_cast<char>(byte(random));
        }
        const std::wstring path = dir.Write("random.txt", bytes);
        for (int mode : {0, 1, 2}) {
            const Loaded loaded = Load(path, mode);
            ASSERT_FALSE(loaded.list.empty());
            EXPECT_EQ(loaded.list.front(), L"");
            EXPECT_TRUE(loaded.messages.empty());
            std::size_t units = 0;
            for (const std::wstring& segment : loaded.list) {
                EXPECT_EQ(segment.find_first_of(L"\r\n"), std::wstring::npos);
                units += segment.size();
            }
            // Every decoder gives at most one character per byte.
            EXPECT_LE(units, bytes.size()) << "round " << round << " mode " << mode;
        }
    }
}

TEST(BadInput, AFiftyMegabyteSingleLineIsReadWhole) {
    TempDir dir;
    const std::size_t size = 50u << 20;
    const std::wstring path = dir.Write("long.txt", std::string(size, 'a'));
    for (int mode : {0, 1, 2}) {
        const Loaded loaded = Load(path, mode);
        ASSERT_EQ(loaded.list.size(), 2u) << mode;
        EXPECT_EQ(loaded.list[1].size(), size);
        EXPECT_EQ(loaded.list[1].find_first_not_of(L'a'), std::wstring::npos);
    }
}

TEST(BadInput, NamesThatAreNoFilesGiveAnEmptySideAtOnce) {
    TempDir dir;
    fs::create_directory(dir.Path() / "folder.txt");
    fs::create_symlink("/dev/zero", dir.Path() / "zero.txt");
    ASSERT_EQ(mkfifo(dir.Native("fifo.txt").c_str(), 0600), 0);
    std::vector<std::pair<std::string, std::wstring>> names = {
        {"folder.txt", L"Is a directory"},
        {"zero.txt", L"not a regular file"},
        {"fifo.txt", L"not a regular file"},
        {"missing.txt", L"No such file or directory"},
    };
    if (geteuid() == 0 &&
        mknod(dir.Native("device.txt").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0) {
        // the same device as /dev/zero, under our own name
        names.emplace_back("device.txt", L"not a regular file");
    }
    for (const auto& [name, reason] : names) {
        const Loaded loaded = Load(dir.Wide(name), 2);
        EXPECT_EQ(loaded.list, SentenceList{L""}) << name;
        EXPECT_EQ(
            loaded.messages,
            std::vector<std::wstring>{dir.Wide(name) + L" を読み込めませんでした。\n" + reason})
            << name;
    }
}

TEST(BadInput, AFileWithoutReadPermissionGivesAnEmptySide) {
    TempDir dir;
    dir.Write("secret.txt", "words\n");
    ASSERT_EQ(chmod(dir.Native("secret.txt").c_str(), 0000), 0);
    const std::wstring path = dir.Wide("secret.txt");
    const std::string outcome = RunInChild(
        [&path] {
            const Loaded loaded = Load(path, 0);
            return std::to_string(loaded.list.size()) + "/" +
                   std::to_string(loaded.list.front().size()) + "/" +
                   std::to_string(loaded.messages.size());
        },
        true);
    EXPECT_EQ(outcome, "1/0/1"); // one message: the path and "Permission denied"
}

// Settings files that were never written by us.
TEST(BadSettings, BinaryHugeAndUnclosedFilesReadAsDefaultsWhereTheyMakeNoSense) {
    TempDir dir;
    std::string binary(4096, '\0');
    std::mt19937 random(7);
    for (char& b : binary) {
        b = static_cast<char>(random() % 256);
        if (b == '[' || b == '=') {
            b = 'x'; // no section headers or keys by chance
        }
    }
    std::string huge;
    while (huge.size() < (30u << 20)) {
        huge += "; a comment line that somebody's tool wrote many times over\n";
    }
    huge += "[split]\nsource=0\n";

    const struct {
        const char* what;
        std::string bytes;
        RunInputs expected;
        bool foreignContentFirst; // no section of ours in it: what we write goes after it
    } cases[] = {
        {"binary", binary, RunInputs{}, true},
        {"huge, with the key at its end", huge, RunInputs{L"", 0, L"", 1, -5}, true},
        // A header without its closing bracket still names its section, as the platform's
        // reader takes it.
        {"a section header without its bracket", "[path\nsource0=a.txt\n[split\ntarget=0\n",
         RunInputs{L"a.txt", 2, L"", 0, -5}, false},
        {"a header that never ends", "[sensitivity", RunInputs{}, false},
    };
    for (const auto& c : cases) {
        const std::wstring path = dir.Write("bitexa.ini", c.bytes);
        const RunInputs read = LoadSettings(path);
        EXPECT_EQ(read.sourcePath, c.expected.sourcePath) << c.what;
        EXPECT_EQ(read.sourceMode, c.expected.sourceMode) << c.what;
        EXPECT_EQ(read.targetPath, c.expected.targetPath) << c.what;
        EXPECT_EQ(read.targetMode, c.expected.targetMode) << c.what;
        EXPECT_EQ(read.sliderPosition, c.expected.sliderPosition) << c.what;

        // Writing keeps the foreign content in front and reads back what was written.
        const RunInputs written{L"/x/en.txt", 0, L"/x/ja.txt", 2, 3};
        ASSERT_TRUE(SaveSettings(path, written).ok()) << c.what;
        const std::string after = dir.Read("bitexa.ini");
        if (c.foreignContentFirst) {
            EXPECT_EQ(after.substr(0, c.bytes.size()), c.bytes) << c.what;
        }
        const RunInputs again = LoadSettings(path);
        EXPECT_EQ(again.sourcePath, written.sourcePath) << c.what;
        EXPECT_EQ(again.targetMode, written.targetMode) << c.what;
        EXPECT_EQ(again.sliderPosition, written.sliderPosition) << c.what;
    }
}

TEST(BadSettings, AFolderThatCannotBeWrittenLeavesTheOldFile) {
    TempDir dir;
    fs::create_directory(dir.Path() / "locked");
    const std::string old = "[path]\nsource0=/old.txt\n";
    dir.Write("locked/bitexa.ini", old);
    ASSERT_EQ(chmod(dir.Native("locked").c_str(), 0555), 0);
    const std::wstring path = dir.Wide("locked/bitexa.ini");
    const std::string saved = RunInChild(
        [&path] {
            return SaveSettings(path, RunInputs{L"/new.txt", 2, L"", 1, -5}).ok() ? "yes" : "no";
        },
        true);
    EXPECT_EQ(saved, "no");
    EXPECT_EQ(dir.Read("locked/bitexa.ini"), old);

    // A settings path under a regular file cannot be made at all.
    dir.Write("plain", "x");
    EXPECT_FALSE(SaveSettings(dir.Wide("plain/bitexa.ini"), RunInputs{}).ok());
    EXPECT_EQ(dir.Read("plain"), "x");
}

// Result files where writing fails half-way or not at all: the user hears of it, and the file
// that was there stays as it was.
class SmallDisk : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0 || mount("tmpfs", dir.Native("").c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "needs root to mount a small file system";
        }
        mounted = true;
    }
    void TearDown() override {
        if (mounted) {
            umount(dir.Native("").c_str());
        }
    }
    TempDir dir;
    bool mounted = false;
};

TEST_F(SmallDisk, AFullDiskKeepsThePreviousResultFile) {
    const std::string old = "\xFF\xFE" + std::string("o\0l\0d\0", 6);
    dir.Write("result.txt", old);
    const std::wstring bigText(100000, L'x'); // 200 kB, far more than the disk holds
    const Status written = WriteResultFile(dir.Wide("result.txt"), bigText);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.reason, L"No space left on device");
    EXPECT_EQ(dir.Read("result.txt"), old);
    // Nothing half-written is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    // What fits is written whole.
    EXPECT_TRUE(WriteResultFile(dir.Wide("result.txt"), L"ok\n").ok());
    EXPECT_EQ(dir.Read("result.txt"), "\xFF\xFE" + std::string("o\0k\0\n\0", 6));
}

TEST(BadOutput, AFolderWithoutWritePermissionKeepsThePreviousResultFile) {
    TempDir dir;
    fs::create_directory(dir.Path() / "locked");
    dir.Write("locked/result.txt", "previous");
    ASSERT_EQ(chmod(dir.Native("locked").c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir.Native("locked/result.txt").c_str(), 0666), 0);
    const std::wstring path = dir.Wide("locked/result.txt");
    const std::string outcome = RunInChild(
        [&path] {
            const Status written = WriteResultFile(path, L"new");
            return std::string(written.ok() ? "ok" : "failed: ") +
                   std::string(written.reason.begin(), written.reason.end());
        },
        true);
    EXPECT_EQ(outcome, "failed: Permission denied");
    EXPECT_EQ(dir.Read("locked/result.txt"), "previous");
}

// The command line as a script meets these cases.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// The program as an unprivileged user can start it: the build folder may lie in a folder only
// its owner may enter (root's home, a mktemp -d folder), so such a user runs a copy beside the
// test's own files.
std::string ProgramFor(const TempDir& dir, bool asNobody) {
    if (!asNobody) {
        return BITEXA_ALIGN_EXE;
    }
    const std::string copy = dir.Native("bitexa-align");
    fs::copy_file(BITEXA_ALIGN_EXE, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return copy;
}

Outcome RunAlign(const TempDir& dir, const std::string& arguments, bool asNobody,
                 rlim_t addressSpace = RLIM_INFINITY) {
    const std::string command = ProgramFor(dir, asNobody) + " " + arguments + " >" +
                                dir.Native("stdout") + " 2>" + dir.Native("stderr");
    const std::string status = RunInChild(
        [&command, addressSpace] {
            if (addressSpace != RLIM_INFINITY) {
                const struct rlimit limit { addressSpace, addressSpace };
                setrlimit(RLIMIT_AS, &limit);
            }
            const int raw = std::system(command.c_str());
            return std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1);
        },
        asNobody);
    return {status.empty() ? -1 : std::stoi(status), dir.Read("stdout"), dir.Read("stderr")};
}

TEST(BadInputCommandLine, AnUnreadableSourceStopsTheRunWithItsPath) {
    TempDir dir;
    dir.Write("secret.txt", "a\n");
    dir.Write("open.txt", "a\n");
    ASSERT_EQ(chmod(dir.Native("secret.txt").c_str(), 0000), 0);
    ASSERT_EQ(chmod(dir.Native("").c_str(), 0777), 0); // so that the unprivileged child may log
    const Outcome outcome =
        RunAlign(dir, dir.Native("secret.txt") + " " + dir.Native("open.txt"), true);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "bitexa-align: " + dir.Native("secret.txt") + ": Permission denied\n");
}

TEST(BadInputCommandLine, AnOutputInALockedFolderIsReportedAndTheOldFileStays) {
    TempDir dir;
    dir.Write("s.txt", "a\n");
    dir.Write("t.txt", "a\n");
    fs::create_directory(dir.Path() / "locked");
    dir.Write("locked/out.txt", "previous");
    ASSERT_EQ(chmod(dir.Native("locked").c_str(), 0555), 0);
    ASSERT_EQ(chmod(dir.Native("locked/out.txt").c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir.Native("").c_str(), 0777), 0); // so that the unprivileged child may log
    const Outcome outcome = RunAlign(dir,
                                     "-o " + dir.Native("locked/out.txt") + " " +
                                         dir.Native("s.txt") + " " + dir.Native("t.txt"),
                                     true);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "エラー: " + dir.Native("locked/out.txt") +
                               " に保存できませんでした。\nPermission denied\n");
    EXPECT_EQ(dir.Read("locked/out.txt"), "previous");
}

TEST(BadInputCommandLine, ARunThatCannotGetMemoryEndsWithAMessage) {
    if (UnderAddressSanitizer()) {
        GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
    }
    // Two texts of 100,000 lines without a shared label form one stretch whose path needs about
    // 150 MB, taken before the long pass; the process may have 192 MB, which its texts and the
    // libraries already use much of.
    TempDir dir;
    std::string source;
    std::string target;
    for (int i = 0; i < 100000; ++i) {
        source += "line " + std::to_string(i) + " of the source text\n";
        target += "line " + std::to_string(i) + "\n";
    }
    dir.Write("s.txt", source);
    dir.Write("t.txt", target);
    const Outcome outcome = RunAlign(dir,
                                     "-s none -t none -o " + dir.Native("out.txt") + " " +
                                         dir.Native("s.txt") + " " + dir.Native("t.txt"),
                                     false, 192u << 20);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "エラー: メモリが足りないため、処理を中止しました。\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "out.txt"));
}

} // namespace
} // namespace bitexa
