#include "cli/CommandLine.h"

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace bitexa {
namespace {

using Action = CommandLine::Action;

TEST(ParseCommandLine, ReadsAnAlignment) {
    const struct {
        std::vector<std::string> args;
        int sourceMode, targetMode, slider;
        bool toFile;
    } cases[] = {
        {{"en.txt", "ja.txt"}, 2, 1, -5, false},
        {{"-s", "none", "-t", "english", "en.txt", "ja.txt"}, 0, 2, -5, false},
        {{"--source-mode=1", "--target-mode", "0", "en.txt", "ja.txt"}, 1, 0, -5, false},
        {{"-sjapanese", "-t2", "en.txt", "ja.txt"}, 1, 2, -5, false},
        {{"--slider", "-9", "en.txt", "ja.txt"}, 2, 1, -9, false},
        {{"--slider=9", "en.txt", "ja.txt", "-o", "out.txt"}, 2, 1, 9, true},
        {{"en.txt", "--slider", "+3", "ja.txt", "--output=out.txt"}, 2, 1, 3, true},
        {{"-s", "English", "en.txt", "ja.txt"}, 2, 1, -5, false},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        SCOPED_TRACE(testing::PrintToString(c.args));
        ASSERT_EQ(line.action, Action::Align) << line.error;
        EXPECT_EQ(line.inputs.sourcePath, L"en.txt");
        EXPECT_EQ(line.inputs.targetPath, L"ja.txt");
        EXPECT_EQ(line.inputs.sourceMode, c.sourceMode);
        EXPECT_EQ(line.inputs.targetMode, c.targetMode);
        EXPECT_EQ(line.inputs.sliderPosition, c.slider);
        EXPECT_EQ(line.toFile, c.toFile);
        if (c.toFile) {
            EXPECT_EQ(line.outputPath, L"out.txt");
        }
    }
}

TEST(ParseCommandLine, ReadsTheModelAndAGoldToScoreAgainst) {
    EXPECT_EQ(ParseCommandLine({"a.txt", "b.txt"}).inputs.model, AlignModel::Length);
    EXPECT_EQ(ParseCommandLine({"--model", "lexical", "a.txt", "b.txt"}).inputs.model,
              AlignModel::Lexical);
    EXPECT_EQ(ParseCommandLine({"--model=length", "a.txt", "b.txt"}).inputs.model,
              AlignModel::Length);
    const CommandLine line = ParseCommandLine({"--score", "g.gold", "a.txt", "b.txt"});
    EXPECT_EQ(line.action, Action::Align);
    EXPECT_EQ(line.goldPath, L"g.gold");
}

TEST(ParseCommandLine, ReadsTheThreadCountOrLeavesItToTheCores) {
    EXPECT_EQ(ParseCommandLine({"a.txt", "b.txt"}).threads, 0u);
    EXPECT_EQ(ParseCommandLine({"--threads", "1", "a.txt", "b.txt"}).threads, 1u);
    EXPECT_EQ(ParseCommandLine({"a.txt", "--threads=3", "b.txt"}).threads, 3u);
}

TEST(ParseCommandLine, ReadsASegmentsRequestAndTheOtherActions) {
    CommandLine line = ParseCommandLine({"--segments", "ja.txt", "-m", "japanese"});
    EXPECT_EQ(line.action, Action::Segments);
    EXPECT_EQ(line.segmentsPath, L"ja.txt");
    EXPECT_EQ(line.segmentsMode, 1);

    line = ParseCommandLine({"--segments=a.txt"});
    EXPECT_EQ(line.action, Action::Segments);
    EXPECT_EQ(line.segmentsMode, 0);

    EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"a.txt", "--version"}).action, Action::Version);
    EXPECT_EQ(ParseCommandLine({"--", "-a.txt", "-b.txt"}).inputs.sourcePath, L"-a.txt");
}

TEST(ParseCommandLine, RefusesWhatItCannotRun) {
    const std::vector<std::string> cases[] = {
        {},
        {"one.txt"},
        {"a.txt", "b.txt", "c.txt"},
        {"--frobnicate", "a.txt", "b.txt"},
        {"-x", "a.txt", "b.txt"},
        {"-s", "french", "a.txt", "b.txt"},
        {"-t", "3", "a.txt", "b.txt"},
        {"--slider", "10", "a.txt", "b.txt"},
        {"--slider", "-10", "a.txt", "b.txt"},
        {"--slider", "1.5", "a.txt", "b.txt"},
        {"--slider", "", "a.txt", "b.txt"},
        {"--slider", "+-3", "a.txt", "b.txt"},
        {"--slider=+", "a.txt", "b.txt"},
        {"--slider", "++3", "a.txt", "b.txt"},
        {"--output=", "a.txt", "b.txt"},
        {"-o", "", "a.txt", "b.txt"},
        {"--segments="},
        {"a.txt", "b.txt", "--slider"},
        {"a.txt", "b.txt", "-o"},
        {"--segments", "a.txt", "b.txt"},
        {"--segments", "a.txt", "-s", "none"},
        {"-m", "none", "a.txt", "b.txt"},
        {"--model", "words", "a.txt", "b.txt"},
        {"--model", "Lexical", "a.txt", "b.txt"},
        {"--segments", "a.txt", "--model", "lexical"},
        {"--segments", "a.txt", "--score", "g.gold"},
        {"--threads", "0", "a.txt", "b.txt"},
        {"--threads", "-1", "a.txt", "b.txt"},
        {"--threads=two", "a.txt", "b.txt"},
        {"--threads=", "a.txt", "b.txt"},
        {"--threads", "1.5", "a.txt", "b.txt"},
        {"--segments", "a.txt", "--threads", "2"},
    };
    for (const auto& args : cases) {
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.action, Action::UsageError) << testing::PrintToString(args);
        EXPECT_FALSE(line.error.empty());
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << "one line: " << line.error;
    }
}

// The program run as a user runs it: exit status, standard output and standard error.
struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class BitexaAlign : public testing::Test {
protected:
    TempDir dir;

    Outcome Run(const std::string& arguments) {
        const std::string command = std::string(BITEXA_ALIGN_EXE) + " " + arguments + " >" +
                                    dir.Native("stdout") + " 2>" + dir.Native("stderr");
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.Read("stdout"), dir.Read("stderr")};
    }

    static std::string Sample(const std::string& name) {
        return std::string(BITEXA_SAMPLES_DIR) + "/" + name;
    }
};

TEST_F(BitexaAlign, UsageErrorsExitWithTwoAndShowTheUsage) {
    for (const std::string args : {"", "a.txt", "--slider 12 a.txt b.txt", "--bogus a.txt b.txt"}) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, 2) << args;
        EXPECT_TRUE(outcome.out.empty());
        EXPECT_EQ(outcome.err.rfind("bitexa-align: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find("usage: bitexa-align"), std::string::npos);
    }
}

TEST_F(BitexaAlign, HelpAndVersionGoToStandardOutput) {
    Outcome outcome = Run("--help");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind("usage: bitexa-align", 0), 0u);
    outcome = Run("--version");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind("bitexa-align ", 0), 0u);
}

TEST_F(BitexaAlign, AMissingOrUnreadableFileStopsBeforeAnyOutput) {
    dir.Write("present.txt", "x\n");
    std::filesystem::create_directory(dir.Path() / "folder.txt");
    const std::string present = dir.Native("present.txt");
    const std::string missing = dir.Native("missing.txt");
    const std::string folder = dir.Native("folder.txt");
    const std::string output = dir.Native("out.txt");

    for (const std::string& args :
         {missing + " " + present, present + " " + missing, present + " " + folder,
          "-o " + output + " " + missing + " " + present, "--segments " + missing}) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, 2) << args;
        EXPECT_TRUE(outcome.out.empty()) << args;
        EXPECT_NE(outcome.err.find(args.find(missing) != std::string::npos ? missing : folder),
                  std::string::npos)
            << outcome.err;
        EXPECT_FALSE(std::filesystem::exists(output));
    }
}

TEST_F(BitexaAlign, RefusedNamesAreReportedSourceFirstAndTheRunGoesOn) {
    const std::string source = dir.Native("a.csv");
    const std::string target = dir.Native("b.text");
    dir.Write("a.csv", "x\n");
    dir.Write("b.text", "y\n");
    const Outcome outcome = Run(source + " " + target);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "\t\n");
    const std::string tail = " は読み込み可能なフォーマットでないので読み込めませんでした。\n";
    EXPECT_EQ(outcome.err, "エラー: " + source + tail + "エラー: " + target + tail);
}

TEST_F(BitexaAlign, ReportsAnOutputItCannotWriteAndKeepsTheOldFile) {
    dir.Write("s.txt", "a\n");
    dir.Write("t.txt", "a\n");
    std::filesystem::create_directory(dir.Path() / "out.txt");
    const Outcome outcome =
        Run("-o " + dir.Native("out.txt") + " " + dir.Native("s.txt") + " " + dir.Native("t.txt"));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.rfind("エラー: " + dir.Native("out.txt"), 0), 0u) << outcome.err;
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "out.txt"));
}

TEST_F(BitexaAlign, TheLexicalModelsNotesGoToStandardErrorAndTheRunIsDone) {
    dir.Write("s.txt", "Open the file.\nQuit GIMP.\n");
    dir.Write("t.txt", "ファイルを開く。\nGIMP を終了。\n");
    const ScopedEnv noAnalyser("BITEXA_MECAB_DICTIONARY", "");
    const ScopedEnv noDictionary("BITEXA_EDICT", dir.Native("missing-edict").c_str());
    const Outcome outcome =
        Run("-s none -t none --model lexical " + dir.Native("s.txt") + " " + dir.Native("t.txt"));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "\t\nOpen the file.\tファイルを開く。\nQuit GIMP.\tGIMP を終了。\n");
    EXPECT_EQ(outcome.err.rfind("bitexa-align: 日本語の形態素解析器", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find("\nbitexa-align: 対訳辞書 " + dir.Native("missing-edict")),
              std::string::npos)
        << outcome.err;
}

TEST_F(BitexaAlign, ScoresTheRowsAgainstAGoldAlignment) {
    dir.Write("s.txt", "a\nb\nc\n");
    dir.Write("t.txt", "x\ny\nz\n");
    // The aligner pairs the three lines; the gold leaves the second ones unpaired.
    dir.Write("gold.txt", "1\t1\n2\t\n\t2\n3\t3\n");
    const std::string files = dir.Native("s.txt") + " " + dir.Native("t.txt");
    Outcome outcome = Run("-s none -t none --score " + dir.Native("gold.txt") + " " + files);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "precision 0.6667 recall 0.5000 f1 0.5714 links 2/3/4\n");

    dir.Write("bad.txt", "1\tx\n");
    outcome = Run("-s none -t none --score " + dir.Native("bad.txt") + " " + files);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.out.empty());
    EXPECT_NE(outcome.err.find("line 1"), std::string::npos) << outcome.err;
}

// The rows of the bundled samples: each English sentence beside its Japanese translation, the
// labels side by side, and the empty segments of the paragraph breaks absorbed into their
// neighbours (joined by the English blank).
const char* const SampleRows[][2] = {
    {"", ""},
    {"The Lighthouse Keeper ", "灯台守"},
    {"(1)", "（１）"},
    {"The lighthouse stands at the end of a narrow cape. ", "灯台は細い岬の先に立っている。"},
    {"For forty years Mr. Itō kept its lamp burning every night. ",
     "四十年のあいだ、伊藤さんは毎晩その灯を絶やさなかった。"},
    {"He climbed the one hundred and twelve steps at dusk and again at dawn. ",
     "日暮れと夜明けに、彼は百十二段の階段を上った。"},
    {"(2)", "（２）"},
    {"In 1998 the lamp was replaced by an automatic light. ",
     "一九九八年、灯は自動の明かりに替えられた。"},
    {"The keeper was no longer needed, but he did not leave the cape. ",
     "灯台守はもう要らなくなったが、彼は岬を離れなかった。"},
    {"He still walks to the tower each evening. ", "今も毎夕、彼は塔まで歩いていく。"},
    {"Visitors often ask him why. ", "訪れた人はよく、そのわけを尋ねる。"},
    {"(3)", "（３）"},
    {"\"The sea has not changed,\" he says. ", "「海は変わっていないからね」と彼は言う。"},
    {"He points at the rocks below and smiles. ", "そして眼下の岩を指さして、ほほえむ。"},
};

std::string SampleResultText() {
    std::string text;
    for (const auto& row : SampleRows) {
        text += std::string(row[0]) + "\t" + row[1] + "\n";
    }
    return text;
}

TEST_F(BitexaAlign, AlignsTheSamplesToStandardOutput) {
    const Outcome outcome = Run(Sample("en.txt") + " " + Sample("ja.txt"));
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, SampleResultText());
}

TEST_F(BitexaAlign, WritesTheSamplesResultFileAsSaveDoes) {
    const Outcome outcome =
        Run("-s english -t japanese --slider -5 -o " + dir.Native("result.txt") + " " +
            Sample("en.txt") + " " + Sample("ja.txt"));
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "");

    const std::string bytes = dir.Read("result.txt");
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFE\x09\x00\x0A\x00", 6));
    std::string expected("\xFF\xFE");
    for (char16_t unit : NarrowToUtf16(FromUtf8(SampleResultText()))) {
        expected += static_cast<char>(unit & 0xFF);
        expected += static_cast<char>(unit >> 8);
    }
    EXPECT_EQ(bytes, expected);
}

TEST_F(BitexaAlign, PrintsASidesSegmentsAsItsTextWindowShowsThem) {
    Outcome outcome = Run("--segments " + Sample("ja.txt") + " -m japanese");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    // Sentences end after 。, the labels stand alone, each indentation and paragraph break
    // leaves one empty segment.
    EXPECT_EQ(outcome.out, "灯台守\n\n（１）\n\n"
                           "灯台は細い岬の先に立っている。\n"
                           "四十年のあいだ、伊藤さんは毎晩その灯を絶やさなかった。\n\n"
                           "日暮れと夜明けに、彼は百十二段の階段を上った。\n\n"
                           "（２）\n\n"
                           "一九九八年、灯は自動の明かりに替えられた。\n"
                           "灯台守はもう要らなくなったが、彼は岬を離れなかった。\n\n"
                           "今も毎夕、彼は塔まで歩いていく。\n"
                           "訪れた人はよく、そのわけを尋ねる。\n\n"
                           "（３）\n\n"
                           "「海は変わっていないからね」と彼は言う。\n"
                           "そして眼下の岩を指さして、ほほえむ。\n\n");

    // Lines only: one segment per line of the file, as it stands.
    dir.Write("lines.txt", "a\r\n\r\nb");
    outcome = Run("--segments " + dir.Native("lines.txt"));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "a\n\nb\n");
}

} // namespace
} // namespace bitexa
