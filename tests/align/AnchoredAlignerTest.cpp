#include "align/AnchoredAligner.h"
#include "align/RowInfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace bitexa {
namespace {

using Keys = std::vector<std::wstring>;
using Positions = std::vector<std::size_t>;

struct MatchCase {
    const char* what;
    Keys source;
    Keys target;
    Positions sourceAnchors;
    Positions targetAnchors;
};

TEST(MatchAnchors, KeepsTheSharedLabelsInOrderAndClosesWithTheSizes) {
    const MatchCase cases[] = {
        {"a repeated label: the walk from the end matches only where it must",
         {L"(a)", L"s", L"(a)"},
         {L"(a)", L"t"},
         {0, 3},
         {0, 2}},
        {"crossing labels: only one pair survives",
         {L"(1)", L"s", L"(2)", L"s"},
         {L"(2)", L"t", L"(1)", L"t"},
         {2, 4},
         {0, 4}},
        {"two labels after unequal openings",
         {L"s", L"s", L"(1)", L"s", L"(2)", L"s"},
         {L"t", L"t", L"t", L"(1)", L"t", L"(2)", L"t"},
         {2, 4, 6},
         {3, 5, 7}},
        {"the same label in every chapter, occurrence by occurrence",
         {L"s", L"(1)", L"s", L"(1)", L"s"},
         {L"t", L"(1)", L"t", L"t", L"(1)", L"t"},
         {1, 3, 5},
         {1, 4, 6}},
        {"nothing shared", {L"s", L"s"}, {L"t", L"t", L"t"}, {2}, {3}},
        {"a label on one side only", {L"s", L"(1)", L"s"}, {L"t", L"t"}, {3}, {2}},
        {"no keys at all", {}, {}, {0}, {0}},
        {"one side without keys", {L"s", L"(1)"}, {}, {2}, {0}},
        {"a shared label at both ends", {L"s", L"s", L"(9)"}, {L"t", L"(9)"}, {2, 3}, {1, 2}},
    };
    for (const MatchCase& c : cases) {
        CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
        aligner.MatchAnchors(c.source, c.target);
        EXPECT_EQ(aligner.sourceAnchors, c.sourceAnchors) << c.what;
        EXPECT_EQ(aligner.targetAnchors, c.targetAnchors) << c.what;
    }
}

TEST(MatchAnchors, ReplacesTheAnchorsOfAnEarlierCall) {
    CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
    aligner.MatchAnchors({L"s", L"(1)", L"s"}, {L"t", L"(1)"});
    aligner.MatchAnchors({L"s"}, {L"t"});
    EXPECT_EQ(aligner.sourceAnchors, Positions{1});
    EXPECT_EQ(aligner.targetAnchors, Positions{1});
}

struct RunOutput {
    ColumnList source{L"stale"};
    ColumnList target{L"stale", L"stale"};
    std::wstring text = L"stale\n";
    RowInfoList info{RowInfo{}};
};

RunOutput RunOver(CAnchoredAligner& aligner) {
    RunOutput run;
    RunAnchoredAlignment(run.text, run.target, aligner, run.source, &run.info);
    return run;
}

std::vector<RowKind> Kinds(const RowInfoList& info) {
    std::vector<RowKind> kinds;
    for (const RowInfo& row : info) {
        kinds.push_back(row.kind);
    }
    return kinds;
}

TEST(RunAnchoredAlignment, KeepsSharedLabelsSideBySide) {
    CAnchoredAligner aligner({L"", L"Title", L"(1)", L"The cat sat on the mat.", L"It was happy.",
                              L"(2)", L"Then it slept."},
                             {L"", L"題名", L"（１）", L"猫はマットの上に座って幸せだった。",
                              L"（２）", L"それから眠った。"},
                             L" ", L"", 0.5);
    const RunOutput run = RunOver(aligner);

    EXPECT_EQ(aligner.sourceAnchors, (Positions{2, 5, 7}));
    EXPECT_EQ(aligner.targetAnchors, (Positions{2, 4, 6}));
    EXPECT_EQ(run.source,
              (ColumnList{L"", L"Title", L"(1)", L"The cat sat on the mat. It was happy.", L"(2)",
                          L"Then it slept."}));
    EXPECT_EQ(run.target,
              (ColumnList{L"", L"題名", L"（１）", L"猫はマットの上に座って幸せだった。", L"（２）",
                          L"それから眠った。"}));
    EXPECT_EQ(run.text,
              L"\t\n"
              L"Title\t題名\n"
              L"(1)\t（１）\n"
              L"The cat sat on the mat. It was happy.\t猫はマットの上に座って幸せだった。\n"
              L"(2)\t（２）\n"
              L"Then it slept.\tそれから眠った。\n");
    // Each stretch starts on its fixed pair: the leading entries, then each matched label.
    EXPECT_EQ(Kinds(run.info),
              (std::vector<RowKind>{RowKind::Anchor, RowKind::OneToOne, RowKind::Anchor,
                                    RowKind::TwoToOne, RowKind::Anchor, RowKind::OneToOne}));
}

TEST(RunAnchoredAlignment, TellsWhereTheJoinerStandsInEachCell) {
    // Two English sentences share a cell after "(1)", two Japanese ones after "(2)"; after "(3)"
    // the source has a leftover row (the target stretch is empty).
    CAnchoredAligner aligner({L"", L"(1)", L"The cat sat on the mat. ", L"It was happy.", L"(2)",
                              L"Then it slept.", L"(3)", L"Alone."},
                             {L"", L"（１）", L"猫はマットの上に座って幸せだった。", L"（２）",
                              L"それから", L"眠った。", L"（３）"},
                             L" ", L"", 0.5);
    RunOutput run;
    RowInfoList rows{RowInfo{}};
    RunAnchoredAlignment(run.text, run.target, aligner, run.source, &rows);

    ASSERT_EQ(rows.size(), run.source.size());
    // Taking the cells apart at their joins gives back each side's segments, in order.
    SentenceList source;
    SentenceList target;
    std::vector<std::pair<std::size_t, std::size_t>> joins;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        joins.emplace_back(rows[row].sourceJoin, rows[row].targetJoin);
        for (const auto& [cell, join, joiner, side] :
             {std::tuple{&run.source[row], rows[row].sourceJoin, 1, &source},
              std::tuple{&run.target[row], rows[row].targetJoin, 0, &target}}) {
            if (join == NoJoin) {
                if (!cell->empty()) {
                    side->push_back(*cell);
                }
                continue;
            }
            side->push_back(cell->substr(0, join));
            side->push_back(cell->substr(join + static_cast<std::size_t>(joiner)));
        }
    }
    EXPECT_EQ(source, (SentenceList{L"(1)", L"The cat sat on the mat. ", L"It was happy.", L"(2)",
                                    L"Then it slept.", L"(3)", L"Alone."}));
    EXPECT_EQ(target, (SentenceList{L"（１）", L"猫はマットの上に座って幸せだった。", L"（２）",
                                    L"それから", L"眠った。", L"（３）"}));
    using Joins = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(joins, (Joins{{NoJoin, NoJoin},
                            {NoJoin, NoJoin},
                            {24, NoJoin},
                            {NoJoin, NoJoin},
                            {NoJoin, 4},
                            {NoJoin, NoJoin},
                            {NoJoin, NoJoin}}));
}

struct RunCase {
    const char* what;
    SentenceList source;
    SentenceList target;
    ColumnList expectedSource;
    ColumnList expectedTarget;
    std::wstring expectedText;
};

TEST(RunAnchoredAlignment, HandlesTheShapesOfTwoTexts) {
    const RunCase cases[] = {
        {"both texts empty: one row of two empty cells", {L""}, {L""}, {L""}, {L""}, L"\t\n"},
        {"neither list loaded: no rows", {}, {}, {}, {}, L""},
        {"one side loaded only: its leading entry stands alone too",
         {L"", L"One.", L"Two."},
         {},
         {L"", L"One.", L"Two."},
         {L"", L"", L""},
         L"\t\nOne.\t\nTwo.\t\n"},
        {"both texts begin with a shared label",
         {L"", L"(1)", L"Some text."},
         {L"", L"（１）", L"本文です。"},
         {L"", L"(1)", L"Some text."},
         {L"", L"（１）", L"本文です。"},
         L"\t\n(1)\t（１）\nSome text.\t本文です。\n"},
        {"the target has two segments before the shared label",
         {L"", L"(1)", L"Alpha beta."},
         {L"", L"前書き", L"序文", L"（１）", L"本文。"},
         {L"", L"", L"", L"(1)", L"Alpha beta."},
         {L"", L"前書き", L"序文", L"（１）", L"本文。"},
         L"\t\n\t前書き\n\t序文\n(1)\t（１）\nAlpha beta.\t本文。\n"},
        {"a shared label ends both texts",
         {L"", L"Words", L"(9)"},
         {L"", L"言葉", L"（９）"},
         {L"", L"Words", L"(9)"},
         {L"", L"言葉", L"（９）"},
         L"\t\nWords\t言葉\n(9)\t（９）\n"},
        // 3 + 9 against 9 as two to one costs 262; the label alone and the rest paired, 555.
        {"a label on one side only is aligned by length like any segment",
         {L"", L"(1)", L"Some text"},
         {L"", L"Some text"},
         {L"", L"(1) Some text"},
         {L"", L"Some text"},
         L"\t\n(1) Some text\tSome text\n"},
    };
    for (const RunCase& c : cases) {
        CAnchoredAligner aligner(c.source, c.target, L" ", L" ", 1.0);
        const RunOutput run = RunOver(aligner);
        EXPECT_EQ(run.source, c.expectedSource) << c.what;
        EXPECT_EQ(run.target, c.expectedTarget) << c.what;
        EXPECT_EQ(run.text, c.expectedText) << c.what;
        EXPECT_EQ(run.info.size(), run.source.size()) << c.what;
    }
}

// A long stretch between labels, so that the control is looked at inside a stretch too.
CAnchoredAligner ControlledRun(const AlignControl* control) {
    SentenceList source{L""};
    SentenceList target{L""};
    for (int i = 0; i < 3000; ++i) {
        source.push_back(std::wstring(static_cast<std::size_t>(5 + i * 7 % 40), L'a'));
        target.push_back(std::wstring(static_cast<std::size_t>(3 + i * 5 % 23), L'b'));
        if (i % 1000 == 999) {
            source.push_back(L"(" + std::to_wstring(i) + L")");
            target.push_back(L"(" + std::to_wstring(i) + L")");
        }
    }
    CAnchoredAligner aligner(source, target, L" ", L"", 0.5);
    aligner.SetControl(control);
    return aligner;
}

TEST(RunAnchoredAlignment, AControlSeesTheWorkAndChangesNoRow) {
    std::wstring plainText;
    ColumnList plainSource;
    ColumnList plainTarget;
    CAnchoredAligner plain = ControlledRun(nullptr);
    RunAnchoredAlignment(plainText, plainTarget, plain, plainSource);

    std::vector<std::uint64_t> done;
    std::uint64_t total = 0;
    AlignControl control;
    control.progress = [&](std::uint64_t d, std::uint64_t t) {
        done.push_back(d);
        total = t;
    };
    std::wstring text;
    ColumnList sourceColumn;
    ColumnList targetColumn;
    CAnchoredAligner observed = ControlledRun(&control);
    RunAnchoredAlignment(text, targetColumn, observed, sourceColumn);

    EXPECT_EQ(text, plainText);
    EXPECT_EQ(sourceColumn, plainSource);
    EXPECT_EQ(targetColumn, plainTarget);
    ASSERT_GT(done.size(), 4u); // between stretches and within them
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), total);
    EXPECT_GT(total, 3'000'000u);
}

TEST(RunAnchoredAlignment, ACancelledRunStopsAndLeavesNoRows) {
    std::atomic<bool> cancel{false};
    AlignControl control;
    control.cancel = &cancel;
    control.progress = [&](std::uint64_t done, std::uint64_t) {
        if (done > 0) {
            cancel = true; // as a Cancel button would, part-way through
        }
    };
    std::wstring text = L"old";
    ColumnList sourceColumn{L"old"};
    ColumnList targetColumn{L"old"};
    CAnchoredAligner aligner = ControlledRun(&control);
    const SentenceList source = aligner.SourceSegments();
    const SentenceList target = aligner.TargetSegments();
    EXPECT_THROW(RunAnchoredAlignment(text, targetColumn, aligner, sourceColumn),
                 AlignmentCancelled);
    // The texts were lent to the stretches, and are back whole.
    EXPECT_TRUE(aligner.SourceSegments() == source);
    EXPECT_TRUE(aligner.TargetSegments() == target);
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(sourceColumn.empty());
    EXPECT_TRUE(targetColumn.empty());
}

} // namespace
} // namespace bitexa
