#include "run/Settings.h"
#include "run/IniFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace bitexa {

// Printed by GoogleTest when a comparison of whole inputs fails.
static void PrintTo(const RunInputs& inputs, std::ostream* out) {
    *out << "{" << PathToNative(inputs.sourcePath) << ", " << inputs.sourceMode << ", "
         << PathToNative(inputs.targetPath) << ", " << inputs.targetMode << ", "
         << inputs.sliderPosition << ", "
         << (inputs.model == AlignModel::Lexical ? "lexical" : "length") << "}";
}

static bool operator==(const RunInputs& a, const RunInputs& b) {
    return a.sourcePath == b.sourcePath && a.sourceMode == b.sourceMode &&
           a.targetPath == b.targetPath && a.targetMode == b.targetMode &&
           a.sliderPosition == b.sliderPosition && a.model == b.model;
}

namespace {

namespace fs = std::filesystem;

const RunInputs Defaults{L"", 2, L"", 1, -5};

// What the program writes into a folder that has no settings file yet.
constexpr const char* DefaultFile = "[path]\n"
                                    "source0=\n"
                                    "target0=\n"
                                    "\n"
                                    "[split]\n"
                                    "source=2\n"
                                    "target=1\n"
                                    "\n"
                                    "[sensitivity]\n"
                                    "value=-5\n";

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsFilePath, ReplacesTheExtensionOfTheLastComponent) {
    const struct {
        std::wstring program;
        std::wstring settings;
    } cases[] = {
        {L"/opt/bitexa/Bitexa.exe", L"/opt/bitexa/Bitexa.ini"},
        {L"/usr/local/bin/bitexa", L"/usr/local/bin/bitexa.ini"},
        {L"/home/u/build.d/bitexa", L"/home/u/build.d/bitexa.ini"}, // a dot in a folder only
        {L"/home/u/my.copy.bin", L"/home/u/my.copy.ini"},           // only the last dot
        {L"/tools/テキスト整列.app", L"/tools/テキスト整列.ini"},
        {L"bitexa", L"bitexa.ini"},
        {L"./bitexa.x", L"./bitexa.ini"},
        {L"/a/trailingdot.", L"/a/trailingdot.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsFilePath(c.program), c.settings) << PathToNative(c.program);
    }
}

TEST(FallbackSettingsFilePath, UsesTheUsersConfigurationFolder) {
    const struct {
        std::wstring xdg;
        std::wstring home;
        std::wstring expected;
    } cases[] = {
        {L"/home/u/cfg", L"/home/u", L"/home/u/cfg/bitexa/bitexa.ini"},
        {L"/home/u/cfg/", L"/home/u", L"/home/u/cfg/bitexa/bitexa.ini"},
        {L"", L"/home/u", L"/home/u/.config/bitexa/bitexa.ini"},
        {L"", L"/home/u/", L"/home/u/.config/bitexa/bitexa.ini"},
        {L"relative/cfg", L"/home/u", L"/home/u/.config/bitexa/bitexa.ini"}, // invalid, ignored
        {L"/", L"/home/u", L"/bitexa/bitexa.ini"},
        {L"", L"", L""},
        {L"relative", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FallbackSettingsFilePath(L"/usr/bin/bitexa.ini", c.xdg, c.home), c.expected)
            << PathToNative(c.xdg) << " | " << PathToNative(c.home);
    }
}

TEST(SettingsFileLocation, StaysBesideAProgramInAWritableFolder) {
    TempDir dir;
    ScopedEnv xdg("XDG_CONFIG_HOME", "/should/not/be/used");
    EXPECT_EQ(SettingsFileLocation(dir.Wide("bitexa")), dir.Wide("bitexa.ini"));
}

TEST(SettingsFileLocation, FallsBackWhenTheProgramsFolderCannotBeWritten) {
    // A folder that does not exist cannot be written, whoever runs the test.
    TempDir config;
    ScopedEnv xdg("XDG_CONFIG_HOME", config.Native("cfg").c_str());
    EXPECT_EQ(SettingsFileLocation(L"/nonexistent-bitexa-folder/bin/bitexa"),
              config.Wide("cfg/bitexa/bitexa.ini"));

    ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", config.Native("home").c_str());
    EXPECT_EQ(SettingsFileLocation(L"/nonexistent-bitexa-folder/bin/bitexa"),
              config.Wide("home/.config/bitexa/bitexa.ini"));
}

TEST(LoadSettings, ReadsTheKeysWithTheirDefaults) {
    const std::wstring longPath(MaxStoredPathLength + 10, L'p');
    // A character above U+FFFF counts two units and is not cut in half at the limit.
    const std::wstring wideAtLimit = std::wstring(MaxStoredPathLength - 1, L'q') + L"\U00020BB7";
    const struct {
        const char* name;
        std::optional<std::string> file; // nothing: no file at all
        RunInputs expected;
    } cases[] = {
        {"no file", std::nullopt, Defaults},
        {"empty file", "", Defaults},
        {"all five",
         "[path]\nsource0=/d/en.txt\ntarget0=/d/日本語.txt\n[split]\nsource=0\ntarget=0\n"
         "[sensitivity]\nvalue=3\n",
         {L"/d/en.txt", 0, L"/d/日本語.txt", 0, 3}},
        {"only some keys", "[split]\ntarget=2\n", {L"", 2, L"", 2, -5}},
        {"an empty path is a value", "[path]\nsource0=\n", Defaults},
        {"out of range kept as stored",
         "[split]\nsource=7\ntarget=-3\n[sensitivity]\nvalue=-12\n",
         {L"", 7, L"", -3, -12}},
        {"sign and trailing text",
         "[split]\nsource=+1\ntarget=2abc\n[sensitivity]\nvalue=-4.5\n",
         {L"", 1, L"", 2, -4}},
        {"not a number reads as 0",
         "[split]\nsource=abc\ntarget=\n[sensitivity]\nvalue=--1\n",
         {L"", 0, L"", 0, 0}},
        {"blanks around",
         "[path]\n  source0 = /d/a.txt  \n[sensitivity]\nvalue =\t-7\n",
         {L"/d/a.txt", 2, L"", 1, -7}},
        {"quotes keep blanks",
         "[path]\nsource0=\" /d/a.txt \"\ntarget0='x'\n",
         {L" /d/a.txt ", 2, L"x", 1, -5}},
        {"letter case of names",
         "[PATH]\nSource0=/d/a.txt\n[Sensitivity]\nVALUE=1\n",
         {L"/d/a.txt", 2, L"", 1, 1}},
        {"windows line ends and mark",
         "\xEF\xBB\xBF[path]\r\nsource0=/d/a.txt\r\n",
         {L"/d/a.txt", 2, L"", 1, -5}},
        {"first of two keys", "[split]\nsource=1\nsource=0\n", {L"", 1, L"", 1, -5}},
        {"first of two sections", "[split]\nsource=0\n[split]\ntarget=0\n", {L"", 0, L"", 1, -5}},
        {"keys of other sections ignored",
         "value=1\n[other]\nsource0=/x.txt\nvalue=2\n; value=3\n[sensitivity]\n;value=4\n",
         Defaults},
        {"the lexical model",
         "[model]\nvalue=lexical\n",
         {L"", 2, L"", 1, -5, AlignModel::Lexical}},
        {"any other model is the length model", "[model]\nvalue=Lexical\n[model]\nvalue=lexical\n",
         Defaults},
        {"beyond int",
         "[split]\nsource=99999999999\ntarget=-99999999999\n",
         {L"", INT_MAX, L"", INT_MIN, -5}},
        {"long path cut",
         "[path]\nsource0=" + PathToNative(longPath) + "\n",
         {longPath.substr(0, MaxStoredPathLength), 2, L"", 1, -5}},
        {"pair at the limit",
         "[path]\nsource0=" + PathToNative(wideAtLimit) + "\n",
         {wideAtLimit.substr(0, MaxStoredPathLength - 1), 2, L"", 1, -5}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.file) {
            dir.Write("bitexa.ini", *c.file);
        }
        EXPECT_EQ(LoadSettings(dir.Wide("bitexa.ini")), c.expected) << c.name;
    }
}

TEST(SaveSettings, WritesTheKeysAndKeepsEverythingElse) {
    const struct {
        const char* name;
        std::optional<std::string> before;
        RunInputs inputs;
        std::string after;
    } cases[] = {
        {"new file", std::nullopt, Defaults, DefaultFile},
        {"new file, values",
         std::nullopt,
         {L"/d/en.txt", 0, L"/d/日本語.txt", -1, 9},
         "[path]\nsource0=/d/en.txt\ntarget0=/d/日本語.txt\n\n[split]\nsource=0\ntarget=-1\n\n"
         "[sensitivity]\nvalue=9\n"},
        {"updated in place, extra sections and comments kept",
         "; written by hand\n[extra]\nkey=1\n\n[sensitivity]\nvalue=3 ; slider\nother=x\n"
         "[split]\ntarget=0\nsource=0\n[path]\nsource0=/old.txt\ntarget0=/old2.txt\n[tail]\nz=9",
         {L"/new.txt", 2, L"", 1, -9},
         "; written by hand\n[extra]\nkey=1\n\n[sensitivity]\nvalue=-9\nother=x\n"
         "[split]\ntarget=1\nsource=2\n[path]\nsource0=/new.txt\ntarget0=\n[tail]\nz=9\n"},
        {"missing keys after the last key of their section",
         "[path]\nsource0=/a.txt\n; note\n\n[split]\n", Defaults,
         "[path]\nsource0=\ntarget0=\n; note\n\n[split]\nsource=2\ntarget=1\n\n"
         "[sensitivity]\nvalue=-5\n"},
        {"spelling of keys and blanks before = kept",
         "[Path]\nSOURCE0 = /a.txt\n",
         {L"/b.txt", 2, L"", 1, -5},
         "[Path]\nSOURCE0 = /b.txt\ntarget0=\n\n[split]\nsource=2\ntarget=1\n\n"
         "[sensitivity]\nvalue=-5\n"},
        {"windows line ends and mark kept", "\xEF\xBB\xBF[split]\r\nsource=1\r\n", Defaults,
         "\xEF\xBB\xBF[split]\r\nsource=2\r\ntarget=1\r\n\r\n[path]\r\nsource0=\r\ntarget0=\r\n"
         "\r\n[sensitivity]\r\nvalue=-5\r\n"},
        {"blanks at the ends of a path are quoted",
         std::nullopt,
         {L" /a b.txt ", 2, L"'q'", 1, -5},
         "[path]\nsource0=\" /a b.txt \"\ntarget0=\"'q'\"\n\n[split]\nsource=2\ntarget=1\n\n"
         "[sensitivity]\nvalue=-5\n"},
        {"the lexical model, after the other keys",
         std::nullopt,
         {L"", 2, L"", 1, -5, AlignModel::Lexical},
         std::string(DefaultFile) + "\n[model]\nvalue=lexical\n"},
        {"back to the length model where the file names one", "[model]\nvalue=lexical\n", Defaults,
         "[model]\nvalue=length\n\n[path]\nsource0=\ntarget0=\n\n[split]\nsource=2\ntarget=1\n\n"
         "[sensitivity]\nvalue=-5\n"},
        {"a line break cannot add a line",
         std::nullopt,
         {L"/a.txt\n[split]\nsource=0", 2, L"", 1, -5},
         "[path]\nsource0=/a.txt\ntarget0=\n\n[split]\nsource=2\ntarget=1\n\n"
         "[sensitivity]\nvalue=-5\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.before) {
            dir.Write("bitexa.ini", *c.before);
        }
        ASSERT_TRUE(SaveSettings(dir.Wide("bitexa.ini"), c.inputs).ok()) << c.name;
        EXPECT_EQ(dir.Read("bitexa.ini"), c.after) << c.name;
    }
}

TEST(SaveSettings, WhatIsWrittenReadsBackTheSame) {
    const RunInputs cases[] = {
        Defaults,
        {L"/データ/原文.txt", 1, L"/data/target file.TXT", 0, 0},
        {L"/a=b;c[1].txt", -1, L"\"quoted\"", 7, -12},
        {L"  ", 2, L"/x\U00020BB7.txt", 1, 9},
        {std::wstring(MaxStoredPathLength, L'z'), 0, L"", 0, INT_MIN},
        {L"/a.txt", 2, L"/b.txt", 1, -4, AlignModel::Lexical},
    };
    for (const auto& inputs : cases) {
        TempDir dir;
        ASSERT_TRUE(SaveSettings(dir.Wide("bitexa.ini"), inputs).ok());
        EXPECT_EQ(LoadSettings(dir.Wide("bitexa.ini")), inputs);
        // A second save of the same values changes nothing.
        const std::string first = dir.Read("bitexa.ini");
        ASSERT_TRUE(SaveSettings(dir.Wide("bitexa.ini"), inputs).ok());
        EXPECT_EQ(dir.Read("bitexa.ini"), first);
    }
}

TEST(SaveSettings, CreatesTheConfigurationFolder) {
    TempDir dir;
    ASSERT_TRUE(SaveSettings(dir.Wide("cfg/bitexa/bitexa.ini"), Defaults).ok());
    EXPECT_EQ(dir.Read("cfg/bitexa/bitexa.ini"), DefaultFile);
}

TEST(SaveSettings, FailsWithoutHarm) {
    TempDir dir;
    dir.Write("file", "not a folder");
    EXPECT_FALSE(SaveSettings(dir.Wide("file/bitexa.ini"), Defaults).ok());
    EXPECT_EQ(dir.Read("file"), "not a folder");

    fs::create_directory(dir.Path() / "folder.ini");
    EXPECT_FALSE(SaveSettings(dir.Wide("folder.ini"), Defaults).ok());
    EXPECT_TRUE(fs::is_directory(dir.Path() / "folder.ini"));

    // A settings path naming a pipe is not replaced by a plain file.
    ASSERT_EQ(::mkfifo(dir.Native("pipe.ini").c_str(), 0600), 0);
    EXPECT_FALSE(SaveSettings(dir.Wide("pipe.ini"), Defaults).ok());
    EXPECT_TRUE(fs::is_fifo(dir.Path() / "pipe.ini"));

    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 3);
}

TEST(SaveSettings, FollowsALinkAndKeepsPermissions) {
    TempDir dir;
    dir.Write("real.ini", "[extra]\nk=v\n");
    ::chmod(dir.Native("real.ini").c_str(), 0640);
    fs::create_symlink("real.ini", dir.Path() / "bitexa.ini");

    ASSERT_TRUE(SaveSettings(dir.Wide("bitexa.ini"), Defaults).ok());
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "bitexa.ini"));
    EXPECT_EQ(dir.Read("real.ini"), std::string("[extra]\nk=v\n\n") + DefaultFile);
    struct stat status {};
    ASSERT_EQ(::stat(dir.Native("real.ini").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(ParseProfileInt, ReadsLikeThePlatformReader) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0", 0},
        {"2", 2},
        {"-5", -5},
        {"+9", 9},
        {"007", 7},
        {" 12", 12},
        {"\t-3x", -3},
        {"3 4", 3},
        {"", 0},
        {"-", 0},
        {"x1", 0},
        {"0x10", 0},
        {"- 1", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseProfileInt(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(IniFile, RewritesLineEndsOnceAndThenKeepsEveryByte) {
    const struct {
        const char* what;
        std::string bytes;
        std::string rewritten;
    } cases[] = {
        {"LF lines with stray CRs", "a=1\n[s]\r\r\nk=v\r\n", "a=1\n[s]\r\r\nk=v\r\n"},
        {"CR LF lines", "a=1\r\n[s]\r\nk=v\r\n", "a=1\r\n[s]\r\nk=v\r\n"},
        {"an LF line among CR LF lines", "a=1\r\nb=2\nc=3", "a=1\r\nb=2\r\nc=3\r\n"},
    };
    for (const auto& c : cases) {
        IniFile once;
        once.Parse(c.bytes);
        EXPECT_EQ(once.Serialize(), c.rewritten) << c.what;
        IniFile twice;
        twice.Parse(once.Serialize());
        EXPECT_EQ(twice.Serialize(), c.rewritten) << c.what;
    }
    // A stray CR is a blank to the reader.
    IniFile file;
    file.Parse("[s]\nk=v\r\r\n");
    EXPECT_EQ(file.Get("s", "k"), std::optional<std::string>("v"));
}

} // namespace
} // namespace bitexa
