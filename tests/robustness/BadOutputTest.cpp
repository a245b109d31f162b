// Odd places to write a result: an input, the program's own descriptors, another user's file, a
// file with other names, a FIFO nobody reads, a run ended by a signal or a size limit. Each case
// states what comes out and the bytes of every file left on disk.

#include "AlignCommand.h"
#include "run/FileWriter.h"
#include "run/ResultFile.h"
#include "run/Settings.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <tuple>

namespace bitexa {
namespace {

namespace fs = std::filesystem;

// The two sides that every run here aligns, cut into lines: one row after the leading one.
const char* const Source = "One.\n";
const char* const Target = "一。\n";
const std::wstring ResultText = L"\t\nOne.\t一。\n";

std::string ResultBytes(const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    for (char16_t unit : NarrowToUtf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::set<std::string> Names(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// The files of a run: s.txt, t.txt and what the case adds.
void WriteSides(const TempDir& dir) {
    dir.Write("s.txt", Source);
    dir.Write("t.txt", Target);
}

const std::string Sides = "-s none -t none s.txt t.txt";

TEST(BadOutputCommandLine, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsReadOrWritten) {
    const struct {
        const char* command;
        const char* output;
        const char* input; // the input named in the message
    } cases[] = {
        // A name refused as a source (not ".txt") is still the user's file.
        {"{} -o notes.md notes.md t.txt", "notes.md", "notes.md"},
        {"{} -o s.txt s.txt t.txt", "s.txt", "s.txt"},
        {"{} -o link.txt s.txt t.txt", "link.txt", "t.txt"}, // a symbolic link to the target
        {"{} -o hard.txt s.txt t.txt", "hard.txt", "s.txt"}, // another name of the source
        // Standard output is the source, opened by the shell.
        {"{} -o /dev/stdout s.txt t.txt >>s.txt", "/dev/stdout", "s.txt"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteSides(dir);
        dir.Write("notes.md", "# notes\n");
        fs::create_symlink("t.txt", dir.Path() / "link.txt");
        fs::create_hard_link(dir.Path() / "s.txt", dir.Path() / "hard.txt");

        const Outcome outcome = RunShell(dir, "cd " + dir.Native("") + " && " + c.command, false);
        EXPECT_EQ(outcome.status, 2) << c.command;
        EXPECT_EQ(outcome.out, "") << c.command;
        EXPECT_EQ(outcome.err, std::string("bitexa-align: ") + c.output +
                                   ": the output is the input file " + c.input + "\n")
            << c.command;
        EXPECT_EQ(dir.Read("s.txt"), Source) << c.command;
        EXPECT_EQ(dir.Read("t.txt"), Target) << c.command;
        EXPECT_EQ(dir.Read("notes.md"), "# notes\n") << c.command;
        EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.txt")) << c.command;
        EXPECT_EQ(Names(dir), (std::set<std::string>{"hard.txt", "link.txt", "notes.md", "s.txt",
                                                     "stderr", "stdout", "t.txt"}))
            << c.command;
    }
}

TEST(BadOutputCommandLine, AnOutputThatNamesOneOfItsOwnDescriptorsIsWrittenThroughIt) {
    // Appended to the log as the shell opened it, never replaced; through a pipe as well.
    const char* const commands[] = {
        "({} -o /dev/stdout "
        "-s none -t none s.txt t.txt; echo $? >code) >>log.txt",
        "({} -o - -s none -t none s.txt t.txt; echo $? >code) >>log.txt",
        "({} -o /dev/fd/3 -s none -t none s.txt t.txt; echo $? >code) 3>>log.txt",
        "({} -o /proc/self/fd/3 -s none -t none s.txt t.txt; echo $? >code) 3>>log.txt",
        "({} -o /dev/stdout -s none -t none s.txt t.txt; echo $? >code) | cat >>log.txt",
    };
    for (const char* command : commands) {
        TempDir dir;
        WriteSides(dir);
        dir.Write("log.txt", "log\n");
        const ino_t inode = StatOf(dir.Native("log.txt")).st_ino;

        const Outcome outcome = RunShell(dir, "cd " + dir.Native("") + " && " + command, false);
        EXPECT_EQ(dir.Read("code"), "0\n") << command;
        EXPECT_EQ(outcome.err, "") << command;
        EXPECT_EQ(dir.Read("log.txt"), "log\n" + ResultBytes(ResultText)) << command;
        EXPECT_EQ(StatOf(dir.Native("log.txt")).st_ino, inode) << command;
        EXPECT_EQ(Names(dir),
                  (std::set<std::string>{"code", "log.txt", "s.txt", "stderr", "stdout", "t.txt"}))
            << command;
    }
}

// An ACL as the system stores it: the owner may read and write, user 1000 and the group may
// read, others nothing.
std::string AclBytes() {
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int k = 0; k < size; ++k) {
            bytes += static_cast<char>((value >> (8 * k)) & 0xFF);
        }
    };
    put(2, 4); // version
    const std::uint32_t none = 0xFFFFFFFF;
    for (const auto& [tag, permissions, id] :
         {std::tuple{0x01u, 6u, none}, std::tuple{0x02u, 4u, 1000u}, std::tuple{0x04u, 4u, none},
          std::tuple{0x10u, 4u, none}, std::tuple{0x20u, 0u, none}}) {
        put(tag, 2);
        put(permissions, 2);
        put(id, 4);
    }
    return bytes;
}

std::string Attribute(const std::string& path, const char* name) {
    std::string value(4096, '\0');
    const ssize_t n = ::getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return value;
}

TEST(BadOutput, AReplacedFileKeepsItsOwnerGroupPermissionsAndAttributes) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file to another user";
    }
    const struct {
        const char* what;
        std::function<Status(const std::wstring&)> write;
    } cases[] = {
        {"result file", [](const std::wstring& path) { return WriteResultFile(path, L"new"); }},
        {"settings file", [](const std::wstring& path) { return SaveSettings(path, RunInputs{}); }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.Native("file.txt");
        dir.Write("file.txt", "old");
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        const std::string acl = AclBytes();
        if (::setxattr(path.c_str(), "user.origin", "mail", 4, 0) != 0 ||
            ::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
            GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
        }
        const std::string storedAcl = Attribute(path, "system.posix_acl_access");

        ASSERT_TRUE(c.write(dir.Wide("file.txt")).ok()) << c.what;
        const struct stat after = StatOf(path);
        EXPECT_EQ(after.st_uid, 65534u) << c.what;
        EXPECT_EQ(after.st_gid, 65534u) << c.what;
        EXPECT_EQ(after.st_mode & 07777, 0640u) << c.what;
        EXPECT_EQ(Attribute(path, "user.origin"), "mail") << c.what;
        EXPECT_EQ(Attribute(path, "system.posix_acl_access"), storedAcl) << c.what;
        EXPECT_NE(dir.Read("file.txt"), "old") << c.what;
        EXPECT_EQ(Names(dir), std::set<std::string>{"file.txt"}) << c.what;
    }
}

TEST(BadOutput, AFileWithOtherNamesStaysOneFileWithTheNewContent) {
    TempDir dir;
    dir.Write("result.txt", "old result");
    fs::create_hard_link(dir.Path() / "result.txt", dir.Path() / "copy.txt");
    const ino_t inode = StatOf(dir.Native("result.txt")).st_ino;

    ASSERT_TRUE(WriteResultFile(dir.Wide("result.txt"), L"new").ok());
    EXPECT_EQ(dir.Read("result.txt"), ResultBytes(L"new"));
    EXPECT_EQ(dir.Read("copy.txt"), ResultBytes(L"new"));
    EXPECT_EQ(StatOf(dir.Native("result.txt")).st_ino, inode);
    EXPECT_EQ(StatOf(dir.Native("result.txt")).st_nlink, 2u);
    EXPECT_EQ(Names(dir), (std::set<std::string>{"copy.txt", "result.txt"}));
}

TEST(BadOutput, AnotherUsersFileThatOneMayWriteKeepsItsOwner) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to act as two users";
    }
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Native("").c_str(), 0777), 0);
    dir.Write("shared.txt", "root's words");
    ASSERT_EQ(::chmod(dir.Native("shared.txt").c_str(), 0666), 0);
    const ino_t inode = StatOf(dir.Native("shared.txt")).st_ino;
    const std::wstring path = dir.Wide("shared.txt");
    // The unprivileged user cannot give a new file to root: the old one is written in place.
    const std::string outcome =
        RunInChild([&path] { return WriteResultFile(path, L"new").ok() ? "ok" : "failed"; }, true);
    EXPECT_EQ(outcome, "ok");
    const struct stat after = StatOf(dir.Native("shared.txt"));
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_ino, inode);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(dir.Read("shared.txt"), ResultBytes(L"new"));
    EXPECT_EQ(Names(dir), std::set<std::string>{"shared.txt"});
}

// How a child ended: the signal that ended it, or 0 when it returned.
int SignalThatEnded(const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST(BadOutput, ASignalPartWayThroughASaveRemovesTheTemporaryFileAndEndsTheProgram) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        dir.Write("result.txt", "old");
        const std::wstring path = dir.Wide("result.txt");
        const int ended = SignalThatEnded([&path, signal] {
            WriteFile(path, [signal](ByteSink& sink) {
                sink.Write(std::string(1 << 20, 'x'));
                std::raise(signal); // as the user's Ctrl-C, kill or a closed terminal
                return sink.Write("more");
            });
        });
        EXPECT_EQ(ended, signal);
        EXPECT_EQ(dir.Read("result.txt"), "old") << signal;
        EXPECT_EQ(Names(dir), std::set<std::string>{"result.txt"}) << signal;
    }
}

TEST(BadOutput, AFileSizeLimitFailsTheSaveAndLeavesNoTemporaryFile) {
    TempDir dir;
    dir.Write("result.txt", "old");
    const std::wstring path = dir.Wide("result.txt");
    // The default action of SIGXFSZ, as a program that does not know of it has.
    const std::string outcome = RunInChild(
        [&path] {
            std::signal(SIGXFSZ, SIG_DFL);
            const struct rlimit limit { 1000, 1000 };
            setrlimit(RLIMIT_FSIZE, &limit);
            const Status written = WriteResultFile(path, std::wstring(100000, L'x'));
            return ToUtf8(written.ok() ? L"ok" : written.reason);
        },
        false);
    EXPECT_EQ(outcome, "File too large");
    EXPECT_EQ(dir.Read("result.txt"), "old");
    EXPECT_EQ(Names(dir), std::set<std::string>{"result.txt"});
}

TEST(BadOutputCommandLine, AFileSizeLimitIsAFailedSave) {
    TempDir dir;
    WriteSides(dir);
    std::string longSource;
    for (int k = 0; k < 200; ++k) {
        longSource += "Line " + std::to_string(k) + ".\n";
    }
    dir.Write("s.txt", longSource);
    dir.Write("out.txt", "old");
    // ulimit -f: the result (several kilobytes) cannot be written whole.
    ChildLimits limits;
    limits.fileSize = 1000;
    const Outcome outcome =
        RunShell(dir, "cd " + dir.Native("") + " && {} -o out.txt " + Sides, false, limits);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "エラー: out.txt に保存できませんでした。\nFile too large\n");
    EXPECT_EQ(dir.Read("out.txt"), "old");
    EXPECT_EQ(Names(dir), (std::set<std::string>{"out.txt", "s.txt", "stderr", "stdout", "t.txt"}));
}

TEST(BadOutputCommandLine, AFifoThatNobodyReadsFailsTheSaveAtOnce) {
    TempDir dir;
    WriteSides(dir);
    ASSERT_EQ(mkfifo(dir.Native("ff.txt").c_str(), 0600), 0);
    const std::string run = "cd " + dir.Native("") + " && timeout 60 {} -o ff.txt " + Sides;
    Outcome outcome = RunShell(dir, run, false);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err,
              "エラー: ff.txt に保存できませんでした。\nno program is reading from the FIFO\n");
    EXPECT_TRUE(fs::is_fifo(dir.Path() / "ff.txt"));
    EXPECT_EQ(Names(dir), (std::set<std::string>{"ff.txt", "s.txt", "stderr", "stdout", "t.txt"}));

    // With a reader, the result goes through it.
    const int reader = ::open(dir.Native("ff.txt").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    outcome = RunShell(dir, run, false);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    std::string got(4096, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    got.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    ::close(reader);
    EXPECT_EQ(got, ResultBytes(ResultText));
}

} // namespace
} // namespace bitexa
