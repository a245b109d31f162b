#include "batch/BatchRunner.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace bitexa {
namespace {

std::wstring Sample(const std::string& name) {
    return PathFromNative(std::string(BITEXA_SAMPLES_DIR) + "/" + name);
}

BatchPair Pair(std::size_t line, const std::wstring& source, const std::wstring& target,
               const std::wstring& output, ExportFormat format = ExportFormat::Utf16) {
    BatchPair pair;
    pair.line = line;
    pair.inputs.sourcePath = source;
    pair.inputs.targetPath = target;
    pair.exportOptions.format = format;
    pair.outputPath = output;
    return pair;
}

// What a single run writes for the pair.
std::string SingleRun(const BatchPair& pair, const TempDir& dir) {
    RunState state;
    RunAlignment(pair.inputs, state, [](const std::wstring&, const std::wstring&) {});
    ExportCounts counts;
    EXPECT_TRUE(ExportRun(dir.Wide("single"), state, pair.exportOptions, counts).ok());
    return dir.Read("single");
}

std::map<std::size_t, PairResult> RunPairs(const std::vector<BatchPair>& pairs,
                                           const BatchOptions& options, BatchSummary& summary) {
    std::map<std::size_t, PairResult> results;
    summary = RunBatch(pairs, options, [&results](const PairResult& result) {
        EXPECT_TRUE(results.emplace(result.line, result).second) << "line " << result.line;
    });
    return results;
}

TEST(RunBatch, RunsAPairOverTheMemoryBudgetAloneAndWritesWhatASingleRunWrites) {
    TempDir dir;
    const std::vector<BatchPair> pairs = {
        Pair(1, Sample("en.txt"), Sample("ja.txt"), dir.Wide("1.txt")),
        Pair(2, Sample("en.txt"), Sample("ja.txt"), dir.Wide("2.tmx"), ExportFormat::Tmx),
        Pair(3, Sample("en.txt"), Sample("ja.txt"), dir.Wide("3.tsv"), ExportFormat::Tsv),
        Pair(4, Sample("ja.txt"), Sample("en.txt"), dir.Wide("4.txt")),
    };
    // Every pair is over a budget of one byte: each runs alone, one after another.
    BatchSummary summary;
    const auto results = RunPairs(pairs, {3, 1, false}, summary);
    EXPECT_EQ(summary.written, 4u);
    EXPECT_EQ(summary.failed, 0u);
    // The TMX file leaves the first row (empty on both sides) out, and nothing else.
    EXPECT_EQ(results.at(2).counts.oneSidedRowsLeftOut, 0u);
    EXPECT_EQ(results.at(2).counts.rowsWritten + 1, results.at(1).counts.rowsWritten);
    for (const BatchPair& pair : pairs) {
        EXPECT_EQ(results.at(pair.line).outcome, PairResult::Outcome::Written);
        EXPECT_EQ(dir.Read(PathToNative(pair.outputPath)), SingleRun(pair, dir)) << pair.line;
    }
}

TEST(RunBatch, RefusesAnOutputThatIsAnInputAndKeepsTheInput) {
    TempDir dir;
    dir.Write("en.txt", "One.\n");
    std::filesystem::create_symlink(dir.Path() / "en.txt", dir.Path() / "link.txt");
    BatchSummary summary;
    const auto results = RunPairs(
        {Pair(7, dir.Wide("en.txt"), Sample("ja.txt"), dir.Wide("link.txt"))}, {}, summary);
    EXPECT_EQ(results.at(7).outcome, PairResult::Outcome::Failed);
    EXPECT_EQ(results.at(7).message, dir.Wide("link.txt") + L": the output would replace an input");
    EXPECT_EQ(dir.Read("en.txt"), "One.\n");
}

void SetModified(const std::string& path, time_t seconds) {
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(RunBatch, SkipsAnOutputNewerThanBothInputsAndRedoesAnOlderOne) {
    TempDir dir;
    dir.Write("s.txt", "One.\n");
    dir.Write("t.txt", "一。\n");
    const BatchPair pair = Pair(1, dir.Wide("s.txt"), dir.Wide("t.txt"), dir.Wide("out.txt"));
    const BatchOptions skipping{1, std::uint64_t{1} << 30, true};
    BatchSummary summary;
    EXPECT_EQ(RunPairs({pair}, skipping, summary).at(1).outcome, PairResult::Outcome::Written);

    dir.Write("out.txt", "kept");
    SetModified(dir.Native("s.txt"), 1000);
    SetModified(dir.Native("t.txt"), 2000);
    SetModified(dir.Native("out.txt"), 3000);
    EXPECT_EQ(RunPairs({pair}, skipping, summary).at(1).outcome, PairResult::Outcome::Skipped);
    EXPECT_EQ(summary.skipped, 1u);
    EXPECT_EQ(dir.Read("out.txt"), "kept");

    // The target changed after the output was written: the pair runs again.
    SetModified(dir.Native("t.txt"), 4000);
    EXPECT_EQ(RunPairs({pair}, skipping, summary).at(1).outcome, PairResult::Outcome::Written);
    EXPECT_NE(dir.Read("out.txt"), "kept");
    // Without --skip-existing every pair runs.
    dir.Write("out.txt", "kept");
    SetModified(dir.Native("out.txt"), 5000);
    EXPECT_EQ(RunPairs({pair}, {}, summary).at(1).outcome, PairResult::Outcome::Written);
    EXPECT_NE(dir.Read("out.txt"), "kept");
}

} // namespace
} // namespace bitexa
