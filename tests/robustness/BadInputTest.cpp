// What users feed the program: broken encodings, odd files, odd places to write. Each case states
// what comes out: the list, the message, the bytes left on disk.

#include "AlignCommand.h"
#include "align/AnchoredAligner.h"
#include "run/IniFile.h"
#include "run/ResultFile.h"
#include "run/RunCommand.h"
#include "run/Settings.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "text/TextLoader.h"
#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <set>
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

TEST(BadInput, EscapesAndCharactersOnceMisreadGiveTheirText) {
    const struct {
        const char* what;
        std::string bytes;
        int mode;
        SentenceList expected;
    } cases[] = {
        // The JIS X 0208-1990 announcer gives nothing, so the label after it stays a label.
        {"ESC & @ before ESC $ B",
         "\x1B&@\x1B$B!J#1!K\x1B(B\n\x1B$B$\"!#\x1B(B",
         1,
         {L"", L"", L"\uFF08\uFF11\uFF09", L"", L"\u3042\u3002"}},
        // A JIS X 0212 kanji is one character, not "0!" whose "!" ends a sentence.
        {"JIS X 0212 in English text",
         "See \x1B$(D0!\x1B(B Next one\x1B$B\x1B(B",
         2,
         {L"", L"See \u4E02 Next one"}},
        {"an empty cell of JIS X 0212", "a\x1B$(D~~\x1B(B!b\x1B$B\x1B(B", 0, {L"", L"a\uFFFD!b"}},
        // Beyond U+FFFF a character is two UTF-16 units, neither a capital nor a digit: the
        // stops between them end sentences.
        {"a mathematical capital before a stop",
         "\xF0\x9D\x90\x80.M",
         2,
         {L"", L"\U0001D400.", L"M"}},
        {"mathematical digits around a full-width stop",
         "\xF0\x9D\x9F\x8F\xEF\xBC\x8E\xF0\x9D\x9F\x8F",
         2,
         {L"", L"\U0001D7CF\uFF0E", L"\U0001D7CF"}},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const Loaded loaded = Load(dir.Write("in.txt", c.bytes), c.mode);
        EXPECT_EQ(loaded.list, c.expected) << c.what;
        EXPECT_TRUE(loaded.messages.empty()) << c.what;
    }
}

// Sections that number their paragraphs afresh, 30,000 labels a side: every label is matched
// with its counterpart in the same section, whatever lies between them.
TEST(BadInput, LabelsThatRestartInEverySectionAreMatchedSectionBySection) {
    std::vector<std::wstring> source{L"s"};
    std::vector<std::wstring> target{L"t"};
    std::vector<std::size_t> sourceLabels;
    std::vector<std::size_t> targetLabels;
    for (int section = 0; section < 6000; ++section) {
        for (int paragraph = 1; paragraph <= 5; ++paragraph) {
            sourceLabels.push_back(source.size());
            source.push_back(L"(" + std::to_wstring(paragraph) + L")");
            source.insert(source.end(), 1 + (section + paragraph) % 3, L"s");
            targetLabels.push_back(target.size());
            target.push_back(L"(" + std::to_wstring(paragraph) + L")");
            target.insert(target.end(), 1 + section % 2, L"t");
        }
    }
    CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
    aligner.MatchAnchors(source, target);
    sourceLabels.push_back(source.size());
    targetLabels.push_back(target.size());
    EXPECT_EQ(aligner.sourceAnchors, sourceLabels);
    EXPECT_EQ(aligner.targetAnchors, targetLabels);
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

TEST_F(SmallDisk, AFullDiskKeepsTheOldBytesOfAFileWithOtherNames) {
    // A file with two names is written in place, after the whole result went to a temporary
    // file: when that fails, not a byte of the old file has changed.
    const std::string old = "\xFF\xFE" + std::string("o\0l\0d\0", 6);
    dir.Write("result.txt", old);
    ASSERT_EQ(link(dir.Native("result.txt").c_str(), dir.Native("other.txt").c_str()), 0);
    const Status written = WriteResultFile(dir.Wide("result.txt"), std::wstring(100000, L'x'));
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.reason, L"No space left on device");
    EXPECT_EQ(dir.Read("result.txt"), old);
    EXPECT_EQ(dir.Read("other.txt"), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
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
                                     false, ChildLimits{192u << 20});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "エラー: メモリが足りないため、処理を中止しました。\n");
    EXPECT_FALSE(fs::exists(dir.Path() / "out.txt"));
}

// A file that fails part-way through reading is no empty file: nothing is aligned and nothing
// written, the old result file stays.
void ExpectReadErrorStopsTheRun(const TempDir& dir, const std::string& source) {
    dir.Write("t.txt", "a\n");
    dir.Write("out.txt", "previous");
    const std::string message =
        "エラー: " + source + " を読み込めませんでした。\nInput/output error\n";
    for (const std::string& arguments :
         {"-o " + dir.Native("out.txt") + " " + source + " " + dir.Native("t.txt"),
          "--segments " + source}) {
        const Outcome outcome = RunAlign(dir, arguments, false);
        EXPECT_EQ(outcome.status, 2) << arguments;
        EXPECT_EQ(outcome.out, "") << arguments;
        EXPECT_EQ(outcome.err, message) << arguments;
        EXPECT_EQ(dir.Read("out.txt"), "previous") << arguments;
    }
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string());
    }
    names.erase("mnt");
    names.erase("disk.img");
    names.erase("mem.txt");
    EXPECT_EQ(names, (std::set<std::string>{"out.txt", "stderr", "stdout", "t.txt"}));
}

TEST(BadInputCommandLine, AFileThatFailsToReadStopsTheRun) {
    // The process's own memory, read from address 0: the read fails with EIO.
    TempDir dir;
    fs::create_symlink("/proc/self/mem", dir.Path() / "mem.txt");
    ExpectReadErrorStopsTheRun(dir, dir.Native("mem.txt"));
}

// A disk image whose file has lost its indirect block: the first 12 KiB read, then every read
// fails with EIO, as on a failing disk.
class DamagedDisk : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "needs root to mount a disk image";
        }
        std::string text;
        for (int line = 0; line < 2000; ++line) {
            text += "line " + std::to_string(line) + " of the text.\n";
        }
        dir.Write("big.txt", text);
        const std::string image = dir.Native("disk.img");
        const std::string make = "cd " + dir.Native("") + " && truncate -s 1M disk.img" +
                                 " && mkfs.ext2 -q -F -b 1024 disk.img" +
                                 " && debugfs -w -R 'write big.txt big.txt' disk.img" +
                                 " && debugfs -w -R 'sif big.txt block[IND] 5000000' disk.img";
        if (std::system((make + " >/dev/null 2>&1").c_str()) != 0) {
            GTEST_SKIP() << "needs mkfs.ext2 and debugfs (e2fsprogs) to make a disk image";
        }
        fs::remove(dir.Path() / "big.txt");
        fs::create_directory(dir.Path() / "mnt");
        if (std::system(("mount -o loop,ro " + image + " " + dir.Native("mnt") + " >/dev/null 2>&1")
                            .c_str()) != 0) {
            GTEST_SKIP() << "no loop device to mount the disk image";
        }
        mounted = true;
    }
    void TearDown() override {
        if (mounted) {
            umount(dir.Native("mnt").c_str());
        }
    }
    TempDir dir;
    bool mounted = false;
};

TEST_F(DamagedDisk, AReadErrorPartWayThroughAFileStopsTheRun) {
    const std::string source = dir.Native("mnt/big.txt");
    // The file does read at first.
    const int fd = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::vector<char> buffer(64 * 1024);
    EXPECT_EQ(read(fd, buffer.data(), buffer.size()), 12288);
    EXPECT_EQ(read(fd, buffer.data(), buffer.size()), -1);
    EXPECT_EQ(errno, EIO);
    close(fd);
    ExpectReadErrorStopsTheRun(dir, source);
}

TEST(BadInputCommandLine, TabsInsideSegmentsBecomeSpacesInTheRowsAndAreCounted) {
    TempDir dir;
    dir.Write("s.txt", "alpha\tbeta.\nsecond\tline\n");
    dir.Write("t.txt", "\t\u4E00\u3002\n\u4E8C\n");
    const std::string sides = "-s none -t none " + dir.Native("s.txt") + " " + dir.Native("t.txt");
    const std::string rows = "\t\nalpha beta.\t \u4E00\u3002\nsecond line\t\u4E8C\n";
    const std::string note = "エラー: セルの中のタブ 3 個を空白にして書き出しました。\n";

    Outcome outcome = RunAlign(dir, sides, false);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, rows);
    EXPECT_EQ(outcome.err, note);

    outcome = RunAlign(dir, "-o " + dir.Native("out.txt") + " " + sides, false);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, note);
    std::string expected("\xFF\xFE", 2);
    for (char16_t unit : NarrowToUtf16(FromUtf8(rows))) {
        expected += static_cast<char>(unit & 0xFF);
        expected += static_cast<char>(unit >> 8);
    }
    EXPECT_EQ(dir.Read("out.txt"), expected);

    // The segments themselves keep their tabs.
    outcome = RunAlign(dir, "--segments " + dir.Native("s.txt"), false);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "alpha\tbeta.\nsecond\tline\n");
}

TEST(BadInputCommandLine, ASixtyFourKilobyteStackIsEnough) {
    if (UnderAddressSanitizer()) {
        GTEST_SKIP() << "the address sanitizer's frames need a larger stack";
    }
    TempDir dir;
    const std::string samples =
        std::string(BITEXA_SAMPLES_DIR) + "/en.txt " + BITEXA_SAMPLES_DIR + "/ja.txt";
    ASSERT_EQ(RunAlign(dir, "-o " + dir.Native("expected.txt") + " " + samples, false).status, 0);
    ChildLimits limits;
    limits.stack = 64 * 1024; // ulimit -s 64
    const Outcome outcome =
        RunAlign(dir, "-o " + dir.Native("out.txt") + " " + samples, false, limits);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(dir.Read("out.txt"), dir.Read("expected.txt"));
}

TEST(BadInputCommandLine, OptionValuesThatMeanNothingRunNothing) {
    TempDir dir;
    dir.Write("s.txt", "a\n");
    dir.Write("t.txt", "a\n");
    const std::string sides = " " + dir.Native("s.txt") + " " + dir.Native("t.txt");
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"--slider +-3" + sides, "slider position '+-3' is not a whole number from -9 to 9"},
        {"--output=" + sides, "option '--output' needs a file name"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunAlign(dir, c.arguments, false);
        EXPECT_EQ(outcome.status, 2) << c.arguments;
        EXPECT_EQ(outcome.out, "") << c.arguments;
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n')), "bitexa-align: " + c.message);
        EXPECT_NE(outcome.err.find("usage: bitexa-align"), std::string::npos);
    }
}

} // namespace
} // namespace bitexa
