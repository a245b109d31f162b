#include "align/RowInfo.h"
#include "align/SentenceAligner.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace bitexa {
namespace {

struct Rows {
    ColumnList source;
    ColumnList target;
    std::wstring text;
};

Rows Walk(const CSentenceAligner& aligner) {
    Rows rows;
    aligner.GetColumns(rows.source, rows.target);
    aligner.GetText(rows.text);
    return rows;
}

// The stretch of the source and target paragraphs after a shared label, English against
// Japanese.
const SentenceList CatSource{L"", L"(1)", L"The cat sat on the mat.", L"It was happy.",
                             L"Then it slept."};
const SentenceList CatTarget{L"", L"（１）", L"猫はマットの上に座って幸せだった。",
                             L"それから眠った。"};

TEST(RowAssembly, JoinsTwoEnglishSentencesAgainstOneJapanese) {
    CSentenceAligner aligner(CatSource, CatTarget, L" ", L"", 0.5);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(4, 3), BeadKind::OneToOne);
    EXPECT_EQ(aligner.PathCode(3, 2), BeadKind::TwoToOne);
    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.TotalCost(), 243);

    std::vector<RowSpan> spans;
    aligner.GetRowSpans(spans);
    EXPECT_EQ(spans, (std::vector<RowSpan>{{1, 1, 1, 1}, {2, 2, 2, 1}, {4, 1, 3, 1}}));
    const Rows rows = Walk(aligner);
    EXPECT_EQ(rows.source,
              (ColumnList{L"(1)", L"The cat sat on the mat. It was happy.", L"Then it slept."}));
    EXPECT_EQ(rows.target,
              (ColumnList{L"（１）", L"猫はマットの上に座って幸せだった。", L"それから眠った。"}));
    EXPECT_EQ(rows.text,
              L"(1)\t（１）\n"
              L"The cat sat on the mat. It was happy.\t猫はマットの上に座って幸せだった。\n"
              L"Then it slept.\tそれから眠った。\n");
}

struct RowCase {
    const char* what;
    SentenceList source;
    SentenceList target;
    std::wstring sourceJoiner;
    std::wstring targetJoiner;
    double ratio;
    ColumnList expectedSource;
    ColumnList expectedTarget;
    std::wstring expectedText;
};

TEST(RowAssembly, BuildsColumnsAndTextFromTheSameRows) {
    const RowCase cases[] = {
        {"no source, one target",
         {L""},
         {L"", L"Target"},
         L"",
         L"",
         1.0,
         {L""},
         {L"Target"},
         L"\tTarget\n"},
        {"no source, three targets",
         {L""},
         {L"", L"A", L"B", L"C"},
         L"",
         L"",
         1.0,
         {L"", L"", L""},
         {L"A", L"B", L"C"},
         L"\tA\n\tB\n\tC\n"},
        {"three sources, no target",
         {L"", L"A", L"B", L"C"},
         {L""},
         L"",
         L"",
         1.0,
         {L"A", L"B", L"C"},
         {L"", L"", L""},
         L"A\t\nB\t\nC\t\n"},
        {"neither side", {L""}, {L""}, L" ", L" ", 1.0, {}, {}, L""},
        {"lists without placeholders", {}, {}, L"", L"", 1.0, {}, {}, L""},
        {"one segment each",
         {L"", L"Short"},
         {L"", L"A much longer target segment"},
         L"",
         L"",
         1.0,
         {L"Short"},
         {L"A much longer target segment"},
         L"Short\tA much longer target segment\n"},
        {"two to one without a joiner",
         CatSource,
         CatTarget,
         L"",
         L"",
         0.5,
         {L"(1)", L"The cat sat on the mat.It was happy.", L"Then it slept."},
         {L"（１）", L"猫はマットの上に座って幸せだった。", L"それから眠った。"},
         L"(1)\t（１）\nThe cat sat on the mat.It was happy.\t猫はマットの上に座って幸せだった。\n"
         L"Then it slept.\tそれから眠った。\n"},
        // 20 units against 10 + 10: one to two costs 230, far below any other way there.
        {"one to two with a blank",
         {L"", L"(1)", L"Twenty characters ok"},
         {L"", L"(1)", L"Ten chars.", L"Second one"},
         L"",
         L" ",
         1.0,
         {L"(1)", L"Twenty characters ok"},
         {L"(1)", L"Ten chars. Second one"},
         L"(1)\t(1)\nTwenty characters ok\tTen chars. Second one\n"},
        {"one to two without a joiner",
         {L"", L"(1)", L"Twenty characters ok"},
         {L"", L"(1)", L"Ten chars.", L"Second one"},
         L" ",
         L"",
         1.0,
         {L"(1)", L"Twenty characters ok"},
         {L"(1)", L"Ten chars.Second one"},
         L"(1)\t(1)\nTwenty characters ok\tTen chars.Second one\n"},
        // 2 + 18 against 18 + 2: crossing pairs cost 294 each, two to two 440.
        {"two to two",
         {L"", L"a", L"ab", L"18 chars long text"},
         {L"", L"b", L"eighteen character", L"cd"},
         L" ",
         L"+",
         1.0,
         {L"a", L"ab 18 chars long text"},
         {L"b", L"eighteen character+cd"},
         L"a\tb\nab 18 chars long text\teighteen character+cd\n"},
        // Every line of the text has one tab, between the cells; the columns keep the
        // segments' own tabs. A line break inside a segment stays as it is.
        {"a tab inside a cell becomes a space in the text",
         {L"", L"a\tb\t"},
         {L"", L"\tc\nd"},
         L"",
         L"",
         1.0,
         {L"a\tb\t"},
         {L"\tc\nd"},
         L"a b \t c\nd\n"},
    };
    for (const RowCase& c : cases) {
        CSentenceAligner aligner(c.source, c.target, c.sourceJoiner, c.targetJoiner, c.ratio);
        aligner.Align();
        const Rows rows = Walk(aligner);
        EXPECT_EQ(rows.source, c.expectedSource) << c.what;
        EXPECT_EQ(rows.target, c.expectedTarget) << c.what;
        EXPECT_EQ(rows.text, c.expectedText) << c.what;
    }
}

TEST(RowAssembly, OneSourceAgainstEightyTargetsLeavesTheSourceForLast) {
    // The walk starts at (1, 80) on an unavailable source-alone move, so the two first segments
    // are not paired: every target stands alone, then the source segment.
    SentenceList target{L""};
    ColumnList expectedTarget;
    std::wstring expectedText;
    for (int k = 1; k <= 80; ++k) {
        std::wstring segment = L"target " + std::to_wstring(k);
        segment.resize(10, L'.');
        target.push_back(segment);
        expectedTarget.push_back(segment);
        expectedText += L"\t" + segment + L"\n";
    }
    expectedTarget.push_back(L"");
    expectedText += L"source....\t\n";
    ColumnList expectedSource(80, L"");
    expectedSource.push_back(L"source....");

    CSentenceAligner aligner({L"", L"source...."}, target, L"", L"", 1.0);
    aligner.Align();
    const Rows rows = Walk(aligner);
    EXPECT_EQ(rows.source, expectedSource);
    EXPECT_EQ(rows.target, expectedTarget);
    EXPECT_EQ(rows.text, expectedText);
}

std::vector<RowKind> Kinds(const RowInfoList& info) {
    std::vector<RowKind> kinds;
    for (const RowInfo& row : info) {
        kinds.push_back(row.kind);
    }
    return kinds;
}

TEST(RowAssembly, TellsEachRowsBeadAndCostOnTheWorkedExample) {
    CSentenceAligner aligner(CatSource, CatTarget, L" ", L"", 0.5);
    aligner.Align();
    ColumnList source;
    ColumnList target;
    RowInfoList info;
    GetRows(aligner, source, target, info);

    const Rows rows = Walk(aligner);
    EXPECT_EQ(source, rows.source);
    EXPECT_EQ(target, rows.target);
    // (1) against （１） is the pair the stretch starts with; two English sentences against one
    // Japanese (23 + 13 units against 17), then 14 against 8.
    const RowInfoList expected{
        {RowKind::Anchor, 0, 1, 1},
        {RowKind::TwoToOne, aligner.MatchCost(36, 17) + 230, 2, 1, 23, NoJoin},
        {RowKind::OneToOne, aligner.MatchCost(14, 8), 1, 1},
    };
    EXPECT_EQ(info, expected);
    EXPECT_EQ(info[1].cost + info[2].cost, 243);
}

struct KindCase {
    const char* what;
    SentenceList source;
    SentenceList target;
    std::vector<RowKind> kinds;
};

TEST(RowAssembly, RowCostsAddUpToThePathCost) {
    using K = RowKind;
    const KindCase cases[] = {
        {"one to two",
         {L"", L"(1)", L"Twenty characters ok"},
         {L"", L"(1)", L"Ten chars.", L"Second one"},
         {K::Anchor, K::OneToTwo}},
        {"two to two",
         {L"", L"a", L"ab", L"18 chars long text"},
         {L"", L"b", L"eighteen character", L"cd"},
         {K::Anchor, K::TwoToTwo}},
        {"sources alone",
         {L"", L"(1)", L"ten chars.", L"ten chars.", L"ten chars.", L"ten chars."},
         {L"", L"(1)", L"ten chars."},
         {K::Anchor, K::TwoToOne, K::SourceOnly, K::SourceOnly}},
    };
    for (const KindCase& c : cases) {
        CSentenceAligner aligner(c.source, c.target, L" ", L" ", 1.0);
        aligner.Align();
        ColumnList source;
        ColumnList target;
        RowInfoList info;
        GetRows(aligner, source, target, info);
        EXPECT_EQ(Kinds(info), c.kinds) << c.what;
        const std::int64_t sum = std::accumulate(
            info.begin(), info.end(), std::int64_t{0},
            [](std::int64_t total, const RowInfo& row) { return total + row.cost; });
        EXPECT_EQ(sum, aligner.TotalCost()) << c.what;
        std::size_t sourceSegments = 0;
        std::size_t targetSegments = 0;
        for (const RowInfo& row : info) {
            sourceSegments += row.sourceSegments;
            targetSegments += row.targetSegments;
        }
        EXPECT_EQ(sourceSegments, c.source.size() - 1) << c.what;
        EXPECT_EQ(targetSegments, c.target.size() - 1) << c.what;
    }
}

TEST(RowAssembly, LeftoverRowsStandAloneAndAnUnavailableMoveIsImpossible) {
    // One source segment of 10 against 80 targets of 10: every target alone (244 + 450), then
    // the source segment on the move that row 1 does not have.
    SentenceList target(81, std::wstring(10, L't'));
    target[0].clear();
    CSentenceAligner edge({L"", std::wstring(10, L's')}, target, L"", L"", 1.0);
    edge.Align();
    ColumnList source;
    ColumnList targets;
    RowInfoList info;
    GetRows(edge, source, targets, info);
    RowInfoList expected(80, {RowKind::TargetOnly, 694, 0, 1});
    expected.push_back({RowKind::SourceOnly, ImpossibleCost, 1, 0});
    EXPECT_EQ(info, expected);

    // A stretch with no target segment: each source segment alone.
    CSentenceAligner oneSided({L"", L"abc", L""}, {L""}, L"", L"", 1.0);
    oneSided.Align();
    GetRows(oneSided, source, targets, info);
    EXPECT_EQ(info, (RowInfoList{{RowKind::SourceOnly, oneSided.MatchCost(3, 0) + 450, 1, 0},
                                 {RowKind::SourceOnly, 450, 1, 0}}));
}

TEST(RowAssembly, ReplacesWhatTheOutputsHeldAndCanRunAgain) {
    CSentenceAligner aligner(CatSource, CatTarget, L" ", L"", 0.5);
    aligner.Align();
    const Rows first = Walk(aligner);

    ColumnList sourceColumn{L"old source"};
    ColumnList targetColumn{L"old target", L"more"};
    std::wstring text = L"old text\n";
    aligner.GetText(text);
    aligner.GetColumns(sourceColumn, targetColumn);
    EXPECT_EQ(sourceColumn, first.source);
    EXPECT_EQ(targetColumn, first.target);
    EXPECT_EQ(text, first.text);
}

} // namespace
} // namespace bitexa
