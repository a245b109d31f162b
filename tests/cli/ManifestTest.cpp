#include "cli/Manifest.h"
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bitexa {
namespace {

using Action = CommandLine::Action;

TEST(ParseCommandLine, ReadsTheExportAndBatchOptions) {
    CommandLine line = ParseCommandLine(
        {"--format", "tmx", "-s", "none", "--source-lang=en-GB", "a.txt", "b.txt", "-o", "x"});
    ASSERT_EQ(line.action, Action::Align) << line.error;
    EXPECT_EQ(line.exportOptions.format, ExportFormat::Tmx);
    EXPECT_EQ(line.exportOptions.sourceLanguage, "en-GB");
    EXPECT_EQ(line.exportOptions.targetLanguage, "");
    EXPECT_TRUE(line.formatGiven);

    line = ParseCommandLine({"--batch", "m.tsv", "--jobs=3", "--skip-existing", "--max-memory",
                             "2G", "--format", "tsv", "-t", "english"});
    ASSERT_EQ(line.action, Action::Batch) << line.error;
    EXPECT_EQ(line.batchPath, L"m.tsv");
    EXPECT_EQ(line.jobs, 3u);
    EXPECT_TRUE(line.skipExisting);
    EXPECT_EQ(line.maxMemory, std::uint64_t{2} << 30);
    // The pair options, as given, for every line of the manifest.
    EXPECT_EQ(line.pairOptions, (std::vector<std::string>{"--format", "tsv", "-t", "english"}));

    EXPECT_FALSE(ParseCommandLine({"a.txt", "b.txt"}).formatGiven);
    EXPECT_EQ(ParseCommandLine({"a.txt", "b.txt"}).exportOptions.format, ExportFormat::Utf16);
}

TEST(ParseCommandLine, RefusesBadExportAndBatchOptions) {
    const std::vector<std::string> cases[] = {
        {"--format", "csv", "a.txt", "b.txt"},
        {"--source-lang", "jp", "a.txt", "b.txt"},
        {"--target-lang=en_US", "a.txt", "b.txt"},
        // A side cut into lines only has no language unless one is given.
        {"--format", "tmx", "-s", "none", "a.txt", "b.txt"},
        {"--format", "tmx", "-t", "0", "--source-lang", "en", "a.txt", "b.txt"},
        {"--batch", "m.tsv", "a.txt"},
        {"--batch", "m.tsv", "-o", "x"},
        {"--batch", "m.tsv", "--batch", "n.tsv"},
        {"--jobs", "2", "a.txt", "b.txt"},
        {"--skip-existing", "a.txt", "b.txt"},
        {"--batch", "m.tsv", "--jobs", "0"},
        {"--batch", "m.tsv", "--jobs", "two"},
        {"--batch", "m.tsv", "--max-memory", "lots"},
        {"--batch", "m.tsv", "--max-memory", "0"},
        {"--batch", "m.tsv", "--max-memory", "99999999999T"},
    };
    for (const auto& args : cases) {
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.action, Action::UsageError) << testing::PrintToString(args);
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << line.error;
    }
}

TEST(ParseByteSize, ReadsBytesAndBinaryUnits) {
    const std::pair<const char*, std::uint64_t> cases[] = {
        {"4096", 4096},     {"512K", 512ull << 10}, {"512m", 512ull << 20},
        {"3G", 3ull << 30}, {"1T", 1ull << 40},
    };
    for (const auto& [text, bytes] : cases) {
        std::uint64_t parsed = 0;
        EXPECT_TRUE(ParseByteSize(text, parsed)) << text;
        EXPECT_EQ(parsed, bytes) << text;
    }
    for (const char* text : {"", "G", "-1", "1.5G", "2GB", "1 G", "0"}) {
        std::uint64_t parsed = 0;
        EXPECT_FALSE(ParseByteSize(text, parsed)) << text;
    }
}

TEST(ParseManifest, ReadsOnePairALineWithItsOptions) {
    const Manifest manifest = ParseManifest("# corpus\n"
                                            "a.txt\tb.txt\tout/ab.tmx\t--format=tmx\n"
                                            "\n"
                                            "   \t\n"
                                            "/abs/c.txt\td.txt\tcd.txt\t-s\tnone\t\t--slider\t3\r\n"
                                            "\xEF\xBB\xBFnot a BOM here\te.txt\tf.txt\n",
                                            "corpus", {"-t", "english"});
    EXPECT_TRUE(manifest.errors.empty());
    ASSERT_EQ(manifest.pairs.size(), 3u);
    const BatchPair& first = manifest.pairs[0];
    EXPECT_EQ(first.line, 2u);
    EXPECT_EQ(first.inputs.sourcePath, L"corpus/a.txt");
    EXPECT_EQ(first.inputs.targetPath, L"corpus/b.txt");
    EXPECT_EQ(first.outputPath, L"corpus/out/ab.tmx");
    EXPECT_EQ(first.exportOptions.format, ExportFormat::Tmx);
    EXPECT_EQ(first.inputs.targetMode, 2); // from the batch's own options

    const BatchPair& second = manifest.pairs[1];
    EXPECT_EQ(second.line, 5u);
    EXPECT_EQ(second.inputs.sourcePath, L"/abs/c.txt");
    EXPECT_EQ(second.inputs.sourceMode, 0);
    EXPECT_EQ(second.inputs.sliderPosition, 3);
    EXPECT_EQ(second.outputPath, L"corpus/cd.txt"); // the carriage return is the line's end
    EXPECT_EQ(manifest.pairs[2].inputs.sourcePath, L"corpus/\uFEFFnot a BOM here");
}

TEST(ParseManifest, ReportsLinesThatMakeNoPairAndKeepsTheOthers) {
    const Manifest manifest = ParseManifest("a.txt\tb.txt\n"                     // 1: two fields
                                            "a.txt\t\tc.txt\n"                   // 2: empty target
                                            "a.txt\tb.txt\tc.txt\t--slider=12\n" // 3
                                            "a.txt\tb.txt\tc.txt\t-o\tx.txt\n"   // 4: own output
                                            "a.txt\tb.txt\tc.txt\t--jobs=2\n"    // 5
                                            "a.txt\tb.txt\tgood.txt\n"           // 6
                                            "x.txt\ty.txt\tgood.txt\n"           // 7: same output
                                            "z.txt\tw.txt\ta.txt\n"              // 8: 6 reads a.txt
                                            "a.txt\tb.txt\tc.txt\t--format=tmx\t-s\tnone\n", // 9
                                            "", {});
    ASSERT_EQ(manifest.pairs.size(), 1u);
    EXPECT_EQ(manifest.pairs[0].line, 6u);
    std::vector<std::size_t> lines;
    for (const auto& error : manifest.errors) {
        lines.push_back(error.line);
        EXPECT_FALSE(error.message.empty());
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 3, 4, 5, 7, 8, 9}));
    EXPECT_EQ(manifest.errors[5].message, "the output is also that of line 6");
    EXPECT_EQ(manifest.errors[6].message, "the output is an input of line 6");
}

} // namespace
} // namespace bitexa
