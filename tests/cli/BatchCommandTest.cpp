// bitexa-align run as a user runs it, for the export formats and batches: exit status, what
// standard error says, and the files left behind.

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace bitexa {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class AlignCommand : public testing::Test {
protected:
    TempDir dir;

    Outcome Run(const std::string& arguments) {
        const std::string command = "cd " + dir.Path().string() + " && " + BITEXA_ALIGN_EXE + " " +
                                    arguments + " >" + dir.Native("stdout") + " 2>" +
                                    dir.Native("stderr");
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.Read("stdout"), dir.Read("stderr")};
    }

    void CopySamples() {
        for (const char* name : {"en.txt", "ja.txt"}) {
            fs::copy_file(fs::path(BITEXA_SAMPLES_DIR) / name, dir.Path() / name);
        }
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST_F(AlignCommand, ABatchReportsEachFailedLineAndWritesEveryGoodPair) {
    CopySamples();
    dir.Write("en.csv", "Refused.\n");
    fs::create_directories(dir.Path() / "out" / "taken.txt");
    dir.Write("m.tsv", "# good pairs, then one of each failure\n"
                       "en.txt\tja.txt\tout/1.txt\n"
                       "en.txt\tja.txt\tout/2.tmx\t--format=tmx\n"
                       "ja.txt\ten.txt\tout/3.tsv\t--format\ttsv\t-s\tjapanese\t-t\tenglish\n"
                       "missing.txt\tja.txt\tout/4.txt\n"
                       "en.csv\tja.txt\tout/5.txt\n"
                       "en.txt\tja.txt\tout/taken.txt\n"
                       "en.txt\tja.txt\tout/6.txt\t--slider=10\n");
    const Outcome outcome = Run("--batch m.tsv --jobs 2");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");

    std::vector<std::string> report = Lines(outcome.err);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.back(), "bitexa-align: 3 written, 0 skipped, 4 failed");
    report.pop_back();
    std::sort(report.begin(), report.end());
    EXPECT_EQ(report,
              (std::vector<std::string>{
                  "m.tsv:5: missing.txt: No such file or directory",
                  "m.tsv:6: en.csv は読み込み可能なフォーマットでないので読み込めませんでした。",
                  "m.tsv:7: out/taken.txt: Is a directory",
                  "m.tsv:8: slider position '10' is not a whole number from -9 to 9",
              }));

    // Every good output is what a single run writes; the failed ones left nothing behind.
    const struct {
        const char* output;
        const char* options;
    } good[] = {
        {"out/1.txt", "en.txt ja.txt"},
        {"out/2.tmx", "--format=tmx en.txt ja.txt"},
        {"out/3.tsv", "--format tsv -s japanese -t english ja.txt en.txt"},
    };
    for (const auto& pair : good) {
        ASSERT_EQ(Run(std::string("-o single ") + pair.options).status, 0) << pair.output;
        EXPECT_EQ(dir.Read(pair.output), dir.Read("single")) << pair.output;
    }
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(dir.Path() / "out")) {
        written.push_back(entry.path().filename().string());
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"1.txt", "2.tmx", "3.tsv", "taken.txt"}));
    EXPECT_TRUE(fs::is_empty(dir.Path() / "out" / "taken.txt"));
}

TEST_F(AlignCommand, ABatchOfGoodPairsEndsWithZeroAndAnUnreadableManifestWithTwo) {
    CopySamples();
    dir.Write("m.tsv", "en.txt\tja.txt\t1.txt\nen.txt\tja.txt\t2.txt\n");
    Outcome outcome = Run("--batch m.tsv");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "bitexa-align: 2 written, 0 skipped, 0 failed\n");
    // Run again, the outputs are newer than their inputs.
    outcome = Run("--batch m.tsv --skip-existing");
    EXPECT_EQ(outcome.err, "bitexa-align: 0 written, 2 skipped, 0 failed\n");

    outcome = Run("--batch nothing.tsv");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "bitexa-align: nothing.tsv: No such file or directory\n");
}

TEST_F(AlignCommand, WritesEachFormatToAFileOrStandardOutput) {
    CopySamples();
    ASSERT_EQ(Run("-o default.txt en.txt ja.txt").status, 0);
    ASSERT_EQ(Run("--format utf16 -o utf16.txt en.txt ja.txt").status, 0);
    EXPECT_EQ(dir.Read("utf16.txt"), dir.Read("default.txt"));

    for (const char* format : {"tsv", "tmx"}) {
        const Outcome toFile = Run(std::string("--format ") + format + " -o out en.txt ja.txt");
        EXPECT_EQ(toFile.status, 0) << toFile.err;
        EXPECT_EQ(toFile.out, "");
        const Outcome toStandardOutput = Run(std::string("--format ") + format + " en.txt ja.txt");
        EXPECT_EQ(toStandardOutput.out, dir.Read("out")) << format;
    }
    EXPECT_EQ(dir.Read("out").rfind("<?xml", 0), 0u);
}

TEST_F(AlignCommand, TellsHowManyRowsTheTranslationMemoryLeftOut) {
    // The source has a paragraph the target lacks: its rows have text on one side only.
    dir.Write("en.txt", "(1)\nOne. Two.\n(2)\nThree. Four. Five.\n");
    dir.Write("ja.txt", "（１）\n一。二。\n");
    const Outcome tsv = Run("--format tsv en.txt ja.txt");
    std::size_t oneSided = 0;
    for (const std::string& row : Lines(tsv.out)) {
        const std::size_t tab = row.find('\t');
        oneSided += (tab == 0) != (tab + 1 == row.size()) ? 1 : 0;
    }
    ASSERT_EQ(oneSided, 2u) << tsv.out;

    const Outcome tmx = Run("--format tmx -o out.tmx en.txt ja.txt");
    EXPECT_EQ(tmx.status, 0);
    EXPECT_EQ(tmx.err, "bitexa-align: 2 rows with text on one side only left out of the "
                       "translation memory\n");
}

} // namespace
} // namespace bitexa
