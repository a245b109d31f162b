#include "align/SentenceAligner.h"
#include "align/detail/StretchPath.h"

#include "ImpossibleMatches.h"
#include "ImpossibleSourceSteps.h"
#include "StretchBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace bitexa {
namespace {

CSentenceAligner ModelWithRatio(double ratio) {
    return CSentenceAligner({}, {}, L"", L"", ratio);
}

struct LengthPair {
    std::int64_t source;
    std::int64_t target;
    int expected;
};

TEST(NormalCdf, AgreesWithTheStandardNormalDistribution) {
    // The approximation is good to 7.5e-8; reference values of the distribution function.
    const struct {
        double z;
        double expected;
    } cases[] = {{0.0, 0.5},           {0.5, 0.6914624613}, {1.0, 0.8413447461},
                 {1.96, 0.9750021049}, {2.0, 0.9772498681}, {3.0, 0.9986501020}};
    for (const auto& c : cases) {
        EXPECT_NEAR(NormalCdf(c.z), c.expected, 1e-7) << "z = " << c.z;
    }
    // Far out, the tail is below the last bit of 1.0, which the cost turns into "impossible".
    EXPECT_EQ(NormalCdf(40.0), 1.0);
}

TEST(MatchCost, GivesTheModelsCostsAtRatioOne) {
    const CSentenceAligner model = ModelWithRatio(1.0);
    const LengthPair cases[] = {
        {10, 10, 0},  {10, 20, 113},  {0, 10, 244},     {10, 0, 244},
        {20, 22, 14}, {100, 120, 76}, {300, 100, 1665}, {1000, 0, ImpossibleCost},
        {0, 0, 0},
    };
    for (const LengthPair& c : cases) {
        EXPECT_EQ(model.MatchCost(c.source, c.target), c.expected)
            << "(" << c.source << ", " << c.target << ")";
    }
}

TEST(MatchCost, ScalesTheSourceLengthByTheRatio) {
    EXPECT_EQ(ModelWithRatio(2.0).MatchCost(40, 80), 0);
    EXPECT_EQ(ModelWithRatio(0.5).MatchCost(80, 40), 0);
}

TEST(MatchCost, RatioZeroIsFreeAgainstTextAndImpossibleAgainstNothing) {
    // b / 0 makes the spread infinite, so z is 0 whenever the target has text; with an empty
    // target it is 0 / 0, not a number, which must count as impossible rather than as free.
    const CSentenceAligner model = ModelWithRatio(0.0);
    const LengthPair cases[] = {
        {10, 20, 0}, {0, 10, 0}, {300, 1, 0}, {10, 0, ImpossibleCost}, {0, 0, 0},
    };
    for (const LengthPair& c : cases) {
        EXPECT_EQ(model.MatchCost(c.source, c.target), c.expected)
            << "(" << c.source << ", " << c.target << ")";
    }
}

TEST(BeadCost, ChoosesItsBranchByWhichLengthsAreZero) {
    // Expected values are built from the match costs above: 244 for 10 against nothing, 113 for
    // 10 against 20 (and, z being symmetric at ratio 1, 20 against 10), 0 for equal lengths.
    const CSentenceAligner model = ModelWithRatio(1.0);
    const struct {
        std::int64_t x1, y1, x2, y2;
        int expected;
        const char* what;
    } cases[] = {
        {0, 10, 0, 0, 244 + 450, "target segment alone"},
        {10, 0, 0, 0, 244 + 450, "source segment alone"},
        {0, 0, 0, 0, 450, "two empty segments"},
        {10, 10, 0, 0, 0, "one to one"},
        {10, 20, 0, 0, 113, "one to two with an empty second target: no penalty"},
        {10, 10, 0, 10, 113 + 230, "one to two"},
        {10, 20, 10, 0, 0 + 230, "two to one"},
        {0, 0, 10, 0, 244 + 230, "two to one with both firsts empty"},
        {10, 10, 10, 10, 440, "two to two"},
        {10, 10, 0, 10, 113 + 230, "two to two with an empty second source"},
        {10, 10, 10, 0, 113 + 230, "two to two with an empty second target"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model.BeadCost(c.x1, c.y1, c.x2, c.y2), c.expected) << c.what;
    }
}

TEST(MatchCost, IsImpossibleOrAtMostThirtySixHundred) {
    // The aligner keeps match costs in 16 bits and relies on this: p is 0, or at least 2^-52
    // (the spacing of doubles just below 1), so -100 ln p is at most 3604; and p never goes
    // above 1 by more than the approximation's error, which truncates to 0.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::int64_t> length(0, 5000);
    std::uniform_real_distribution<double> logRatio(std::log(0.05), std::log(20.0));
    int mostCostly = 0;
    for (int k = 0; k < 200000; ++k) {
        const CSentenceAligner model = ModelWithRatio(std::exp(logRatio(random)));
        const int cost = model.MatchCost(length(random), length(random));
        ASSERT_TRUE(cost == ImpossibleCost || (cost >= 0 && cost <= 3604)) << cost;
        if (cost != ImpossibleCost) {
            mostCostly = std::max(mostCostly, cost);
        }
    }
    // The sweep does reach the top of the range, so the bound is tight, not idle.
    EXPECT_GE(mostCostly, 3500);
}

TEST(MatchCost, GivesTheFormulasCostFarOutInTheTail) {
    // MatchCost says "impossible" beyond z = 9 without the exponential and the logarithm; the
    // formula written out in full must agree there and just before.
    const auto formula = [](double c, double a, double b) {
        const double z = std::abs((c * a - b) / std::sqrt(6.8 * (a + b / c) * 0.5));
        const double p = 2 * (1 - NormalCdf(z));
        return p > 0 ? static_cast<int>(-100 * std::log(p)) : ImpossibleCost;
    };
    std::mt19937 random(9);
    std::uniform_real_distribution<double> logRatio(std::log(0.05), std::log(20.0));
    std::uniform_int_distribution<std::int64_t> length(0, 20000);
    int farOut = 0;
    for (int k = 0; k < 300000; ++k) {
        const double c = std::exp(logRatio(random));
        const std::int64_t a = length(random);
        const std::int64_t b = length(random);
        const double z = std::abs((c * a - b) / std::sqrt(6.8 * (a + b / c) * 0.5));
        if (z < 7 || z > 11) {
            continue;
        }
        farOut += z > 9;
        ASSERT_EQ(ModelWithRatio(c).MatchCost(a, b),
                  formula(c, static_cast<double>(a), static_cast<double>(b)))
            << "ratio " << c << ", lengths " << a << " and " << b;
    }
    EXPECT_GT(farOut, 1000);
}

TEST(Align, EqualLengthsGiveOneToOnePairsAtNoCost) {
    CSentenceAligner aligner(StretchOfLengths({10, 10, 10}), StretchOfLengths({10, 10, 10}), L"",
                             L"", 1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.PathCode(2, 2), BeadKind::OneToOne);
    EXPECT_EQ(aligner.PathCode(3, 3), BeadKind::OneToOne);
    EXPECT_EQ(aligner.TotalCost(), 0);
}

TEST(Align, OneSourceAgainstEightyTargetsTurnsImpossibleAfterSeventyThree) {
    // Row 1 can only add target segments alone (694 each); once that sum passes 50000 the
    // unavailable source-alone move wins at exactly 50000.
    SentenceList target(81, std::wstring(10, L'x'));
    target[0].clear();
    CSentenceAligner aligner(StretchOfLengths({10}), target, L"", L"", 1.0);
    aligner.Align();

    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    for (std::size_t d = 2; d <= 80; ++d) {
        EXPECT_EQ(aligner.PathCode(1, d), d <= 73 ? BeadKind::TargetOnly : BeadKind::SourceOnly)
            << "d = " << d;
    }
    EXPECT_EQ(aligner.TotalCost(), ImpossibleCost);
}

TEST(Align, OneSegmentOnEachSideIsPairedWhateverTheLengths) {
    CSentenceAligner aligner(StretchOfLengths({3}), StretchOfLengths({500}), L"", L"", 1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.TotalCost(), 0);
}

TEST(Align, ComputesNothingWhenOneSideHoldsOnlyItsPlaceholder) {
    CSentenceAligner aligner(StretchOfLengths({10, 20}), StretchOfLengths({}), L"", L"", 1.0);
    aligner.Align();
    for (std::size_t i = 0; i <= 3; ++i) {
        for (std::size_t d = 0; d <= 1; ++d) {
            EXPECT_EQ(aligner.PathCode(i, d), BeadKind::TargetOnly);
        }
    }
    EXPECT_EQ(aligner.TotalCost(), 0);
}

TEST(Align, PathCodesOutsideTheTableAreRefused) {
    CSentenceAligner aligner(StretchOfLengths({10, 20}), StretchOfLengths({10}), L"", L"", 1.0);
    aligner.Align();
    // The table has rows 0 to 3 and columns 0 to 2; the last row and column are never written.
    EXPECT_EQ(aligner.PathCode(3, 2), BeadKind::TargetOnly);
    EXPECT_EQ(aligner.PathCode(2, 1), BeadKind::SourceOnly);
    EXPECT_THROW(aligner.PathCode(4, 0), std::out_of_range);
    EXPECT_THROW(aligner.PathCode(0, 3), std::out_of_range);
}

TEST(Align, CountsCharactersBeyondTheBasicPlaneAsTwoUnits) {
    // Five emoji are ten UTF-16 units, exactly as long as ten ASCII letters.
    const std::wstring emoji(5, static_cast<wchar_t>(0x1F600));
    CSentenceAligner aligner({L"", L"a", emoji}, {L"", L"b", std::wstring(10, L'y')}, L"", L"",
                             1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(2, 2), BeadKind::OneToOne);
    EXPECT_EQ(aligner.TotalCost(), 0);
}

TEST(Align, OnEqualValuesTheLowerCodeWins) {
    // Costs worked out in ImpossibleSourceSteps.h: at (3, 4) target alone and two to two from
    // (1, 2) tie at 50680; at (2, 2) three unavailable moves tie at 50000 below the others.
    CSentenceAligner aligner(StretchOfLengths({300, 300, 300}), StretchOfLengths({0, 0, 0, 0}), L"",
                             L"", 1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(3, 4), BeadKind::TargetOnly);
    EXPECT_EQ(aligner.TotalCost(), 50680);
    EXPECT_EQ(aligner.PathCode(2, 2), BeadKind::OneToTwo);
}

TEST(Align, LongStretchOfImpossibleSourceStepsStaysBounded) {
    // 43,000 source steps of 50450 would sum past 2^31; the cheapest path instead leaves the
    // table through the second column, so the total is 50900 at the last cell.
    constexpr std::size_t sourceCount = 43000;
    ASSERT_EQ(ModelWithRatio(1.0).MatchCost(300, 0), ImpossibleCost);
    ASSERT_EQ(ModelWithRatio(1.0).MatchCost(600, 0), ImpossibleCost);

    const SentenceList source = ImpossibleSourceSteps(sourceCount);
    const SentenceList target(5, std::wstring());
    CSentenceAligner aligner(source, target, L"", L"", 1.0);
    aligner.Align();

    std::size_t wrongCells = 0;
    for (std::size_t i = 1; i <= sourceCount; ++i) {
        const std::vector<ExpectedCell> row = ExpectedImpossibleRow(i);
        for (std::size_t d = 1; d <= 4; ++d) {
            if (aligner.PathCode(i, d) != row[d - 1].code) {
                ADD_FAILURE() << "cell (" << i << ", " << d << ")";
                if (++wrongCells == 10) {
                    return;
                }
            }
        }
    }
    EXPECT_EQ(aligner.TotalCost(), ExpectedImpossibleRow(sourceCount)[3].cost);

    // The walk: two empty targets alone, then the last source segment with the first two
    // (empty) targets through the unavailable one-to-two move, then every other source
    // segment alone, in order.
    ColumnList sourceColumn;
    ColumnList targetColumn;
    aligner.GetColumns(sourceColumn, targetColumn);
    ColumnList expectedSource(source.begin() + 1, source.end());
    expectedSource.push_back(L"");
    expectedSource.push_back(L"");
    EXPECT_EQ(sourceColumn.size(), sourceCount + 2);
    EXPECT_TRUE(sourceColumn == expectedSource);
    EXPECT_TRUE(targetColumn == ColumnList(sourceCount + 2, std::wstring()));
}

TEST(Align, ImpossibleMatchesCostWhatTheArgumentGives) {
    // The stretch of the long test (see ImpossibleMatches.h), at sizes a unit test can afford.
    for (const std::size_t k : {477, 1001, 1501}) {
        CSentenceAligner aligner(SegmentsOfThousandUnits(k), SegmentsOfThousandUnits(k), L"", L"",
                                 ImpossibleMatchRatio);
        aligner.Align();
        EXPECT_EQ(aligner.TotalCost(), ImpossibleMatchTotal(static_cast<std::int64_t>(k)))
            << "k = " << k;
        EXPECT_EQ(aligner.PathCode(k, k), BeadKind::OneToOne) << "k = " << k;
        for (std::size_t step = 0; step <= (k - 3) / 2; ++step) {
            ASSERT_EQ(aligner.PathCode(k - 1 - step, k - 1 - 2 * step), BeadKind::OneToTwo)
                << "k = " << k << ", step " << step;
        }
    }
}

// A stretch of 2,000 x 2,000 segments whose path is traced back through checkpoints, on one to
// three threads: the control follows every pass and can stop any of them.
CSentenceAligner ControlledStretch(unsigned threads) {
    SentenceList source{L""};
    SentenceList target{L""};
    for (std::size_t i = 0; i < 2000; ++i) {
        source.push_back(std::wstring(5 + i * 7 % 40, L'a'));
        target.push_back(std::wstring(3 + i * 5 % 23, L'b'));
    }
    CSentenceAligner aligner(source, target, L"", L"", 0.5);
    auto settings = std::make_shared<DpSettings>();
    settings->threads = threads;
    settings->fullTableBytes = 0;
    settings->memoryBudget = 200000;
    settings->minThreadCells = 0;
    settings->minStripeColumns = 64;
    aligner.SetDpSettings(settings);
    return aligner;
}

TEST(Align, ProgressRisesToTheCellsOnEveryThreadCount) {
    CSentenceAligner plain = ControlledStretch(1);
    plain.Align();
    ColumnList plainSource;
    ColumnList plainTarget;
    plain.GetColumns(plainSource, plainTarget);
    for (const unsigned threads : {1u, 2u, 3u}) {
        std::vector<std::uint64_t> done;
        AlignControl control;
        control.progress = [&](std::uint64_t d, std::uint64_t total) {
            EXPECT_EQ(total, 2000u * 2000u);
            done.push_back(d);
        };
        CSentenceAligner aligner = ControlledStretch(threads);
        aligner.SetControl(&control);
        aligner.Align();
        ASSERT_GT(done.size(), 3u) << threads << " threads";
        EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
        EXPECT_EQ(done.back(), 2000u * 2000u);
        EXPECT_EQ(aligner.TotalCost(), plain.TotalCost());
        ColumnList sourceColumn;
        ColumnList targetColumn;
        aligner.GetColumns(sourceColumn, targetColumn);
        EXPECT_TRUE(sourceColumn == plainSource && targetColumn == plainTarget);
    }
}

TEST(Align, ACancelStopsEveryPassOnEveryThreadCount) {
    // Stopped at the first, second, ... report: in the forward pass or in the trace back. The
    // aligner stops with every thread joined, and aligns again afterwards.
    for (const unsigned threads : {1u, 2u, 3u}) {
        for (int stopAt = 1; stopAt <= 4; ++stopAt) {
            std::atomic<bool> cancel{false};
            int reports = 0;
            AlignControl control;
            control.cancel = &cancel;
            control.progress = [&](std::uint64_t, std::uint64_t) {
                if (++reports == stopAt) {
                    cancel = true;
                }
            };
            CSentenceAligner aligner = ControlledStretch(threads);
            aligner.SetControl(&control);
            EXPECT_THROW(aligner.Align(), AlignmentCancelled) << threads << " threads";
            cancel = false;
            aligner.SetControl(nullptr);
            aligner.Align();
            EXPECT_GT(aligner.TotalCost(), 0);
        }
    }
}

} // namespace
} // namespace bitexa
