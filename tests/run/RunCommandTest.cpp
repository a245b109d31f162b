#include "run/RunCommand.h"

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace bitexa {
namespace {

TEST(SensitivityFromSlider, GivesTheLengthRatioOfEachPosition) {
    // The left half is position * 0.1 + 1.0 in doubles, the right half its reciprocal mirror;
    // the alignment depends on the last bit, so the values are exact.
    const std::pair<int, double> cases[] = {
        {-9, 0.09999999999999998},
        {-8, 0.19999999999999996},
        {-7, 0.29999999999999993},
        {-6, 0.3999999999999999},
        {-5, 0.5},
        {-4, 0.6},
        {-3, 0.7},
        {-2, 0.8},
        {-1, 0.9},
        {0, 1.0},
        {1, 1.1111111111111112},
        {2, 1.25},
        {5, 2.0},
        {8, 5.000000000000001},
        {9, 10.000000000000002},
    };
    for (const auto& [position, expected] : cases) {
        EXPECT_EQ(SensitivityFromSlider(position), expected) << "position " << position;
    }
}

TEST(SensitivityFromSlider, MirrorsAroundTheMiddleAndStaysPositiveOutOfRange) {
    for (int p = 1; p <= 9; ++p) {
        EXPECT_DOUBLE_EQ(SensitivityFromSlider(p) * SensitivityFromSlider(-p), 1.0) << p;
    }
    EXPECT_EQ(SensitivityFromSlider(-12), SensitivityFromSlider(-9));
    EXPECT_EQ(SensitivityFromSlider(40), SensitivityFromSlider(9));
}

TEST(JoinerForMode, IsABlankForEnglishOnly) {
    const std::pair<int, std::wstring> cases[] = {
        {2, L" "}, {0, L""}, {1, L""}, {-1, L""}, {3, L""}, {99, L""},
    };
    for (const auto& [mode, joiner] : cases) {
        EXPECT_EQ(JoinerForMode(mode), joiner) << "mode " << mode;
    }
}

// Records the window steps of a run in the order they come.
class RecordingWindow : public RunWindow {
public:
    std::vector<std::string> steps;
    void CreateViewIfAbsent() override { steps.push_back("create"); }
    void UpdateRowCount() override { steps.push_back("rows"); }
    void ShowView() override { steps.push_back("show"); }
    void EnableSave() override { steps.push_back("save"); }
};

struct Message {
    std::wstring text;
    std::wstring caption;
    bool operator==(const Message&) const = default;
};

class RunAlignmentTest : public testing::Test {
protected:
    TempDir dir;
    RunState state;
    std::vector<Message> messages;
    Report report = [this](const std::wstring& text, const std::wstring& caption) {
        messages.push_back({text, caption});
    };
};

TEST_F(RunAlignmentTest, TwoRefusedPathsGiveTwoMessagesSourceFirstAndOneEmptyRow) {
    RecordingWindow window;
    state.window = &window;
    RunInputs inputs{L"a.csv", 2, L"b", 1, -5};
    RunAlignment(inputs, state, report);

    const std::wstring tail = L" は読み込み可能なフォーマットでないので読み込めませんでした。";
    EXPECT_EQ(messages,
              (std::vector<Message>{{L"a.csv" + tail, L"エラー"}, {L"b" + tail, L"エラー"}}));
    EXPECT_EQ(state.sourceColumn, ColumnList{L""});
    EXPECT_EQ(state.targetColumn, ColumnList{L""});
    EXPECT_EQ(state.resultText, L"\t\n");
    EXPECT_EQ(window.steps, (std::vector<std::string>{"create", "rows", "show", "save"}));
}

TEST_F(RunAlignmentTest, EmptyPathsKeepTheListsOfTheLastRun) {
    const std::wstring source = dir.Write("en.txt", "One.\nTwo.\n");
    const std::wstring target = dir.Write("ja.txt", "一。\n二。\n");
    RunAlignment({source, 0, target, 0, 0}, state, report);
    const SentenceList loadedSource = state.sourceSentences;
    ASSERT_EQ(loadedSource, (SentenceList{L"", L"One.", L"Two."}));

    // The source path is cleared; the target is read afresh from a changed file.
    dir.Write("ja.txt", "一。\n");
    RunAlignment({L"", 0, target, 0, 0}, state, report);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(state.sourceSentences, loadedSource);
    EXPECT_EQ(state.targetSentences, (SentenceList{L"", L"一。"}));
    EXPECT_EQ(state.sourceColumn.size(), state.targetColumn.size());
    EXPECT_EQ(state.sourceColumn.front(), L"");
    EXPECT_EQ(state.targetColumn.front(), L"");
}

TEST_F(RunAlignmentTest, NeverLoadedSidesGiveNoRowsAndRunsWithoutAWindow) {
    RunAlignment({L"", 2, L"", 1, -5}, state, report);
    EXPECT_TRUE(state.sourceSentences.empty());
    EXPECT_TRUE(state.sourceColumn.empty());
    EXPECT_TRUE(state.targetColumn.empty());
    EXPECT_EQ(state.resultText, L"");
}

TEST_F(RunAlignmentTest, ARunReplacesTheRowsOfTheRunBefore) {
    const std::wstring source = dir.Write("s.txt", "Alpha\nBeta\nGamma\n");
    const std::wstring target = dir.Write("t.txt", "Alpha\nBeta\nGamma\n");
    RunAlignment({source, 0, target, 0, 0}, state, report);
    EXPECT_EQ(state.resultText, L"\t\nAlpha\tAlpha\nBeta\tBeta\nGamma\tGamma\n");

    dir.Write("s.txt", "Alpha\n");
    dir.Write("t.txt", "Alpha\n");
    RunAlignment({source, 0, target, 0, 0}, state, report);
    EXPECT_EQ(state.resultText, L"\t\nAlpha\tAlpha\n");
    EXPECT_EQ(state.sourceColumn, (ColumnList{L"", L"Alpha"}));
    EXPECT_EQ(state.targetColumn, (ColumnList{L"", L"Alpha"}));
    EXPECT_EQ(state.rowInfo,
              (RowInfoList{{RowKind::Anchor, 0, 1, 1}, {RowKind::OneToOne, 0, 1, 1}}));
}

TEST_F(RunAlignmentTest, EnglishSegmentsSharingACellAreJoinedWithABlank) {
    // Two short English sentences against one Japanese sentence of their combined length at
    // ratio 1.0: the pair shares the source cell, joined by one blank; the Japanese side joins
    // nothing.
    const std::wstring source = dir.Write("en.txt", "It is red. It is big.\n");
    const std::wstring target = dir.Write("ja.txt", "それは赤くて大きいです、とても大きいです。\n");
    RunAlignment({source, 2, target, 1, 0}, state, report);
    ASSERT_GE(state.sourceColumn.size(), 2u);
    EXPECT_EQ(state.sourceColumn[1], L"It is red.  It is big.");
}

TEST_F(RunAlignmentTest, TheLexicalModelGoesOnWithoutItsToolsAndSaysSo) {
    const std::wstring source = dir.Write("en.txt", "Open the file.\nQuit GIMP.\n");
    const std::wstring target = dir.Write("ja.txt", "ファイルを開く。\nGIMP を終了。\n");
    const ScopedEnv noAnalyser("BITEXA_MECAB_DICTIONARY", "");
    const ScopedEnv noDictionary("BITEXA_EDICT", dir.Native("missing-edict").c_str());
    RunInputs inputs{source, 0, target, 0, -4};
    inputs.model = AlignModel::Lexical;
    RunAlignment(inputs, state, report);
    EXPECT_TRUE(messages.empty()) << "notes are no errors";
    EXPECT_EQ(state.resultText,
              L"\t\nOpen the file.\tファイルを開く。\nQuit GIMP.\tGIMP を終了。\n");
    EXPECT_EQ(state.rows.size(), 3u);
    ASSERT_EQ(state.notes.size(), 2u);
    EXPECT_NE(state.notes[0].find(L"MeCab"), std::wstring::npos);
    EXPECT_NE(state.notes[1].find(dir.Wide("missing-edict")), std::wstring::npos);

    // The next run by length has nothing to say.
    inputs.model = AlignModel::Length;
    RunAlignment(inputs, state, report);
    EXPECT_TRUE(state.notes.empty());
}

} // namespace
} // namespace bitexa
