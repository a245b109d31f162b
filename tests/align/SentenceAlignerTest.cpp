#include "align/SentenceAligner.h"

#include "StretchBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
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

TEST(Align, EqualLengthsGiveOneToOnePairsAtNoCost) {
    CSentenceAligner aligner(StretchOfLengths({10, 10, 10}), StretchOfLengths({10, 10, 10}), L"",
                             L"", 1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.PathCode(2, 2), BeadKind::OneToOne);
    EXPECT_EQ(aligner.PathCode(3, 3), BeadKind::OneToOne);
    EXPECT_EQ(aligner.Cost(3, 3), 0);
}

TEST(Align, OneSourceAgainstEightyTargetsTurnsImpossibleAfterSeventyThree) {
    // Row 1 can only add target segments alone (694 each); once that sum passes 50000 the
    // unavailable source-alone move wins at exactly 50000.
    SentenceList target(81, std::wstring(10, L'x'));
    target[0].clear();
    CSentenceAligner aligner(StretchOfLengths({10}), target, L"", L"", 1.0);
    aligner.Align();

    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.Cost(1, 1), 0);
    for (std::size_t d = 2; d <= 80; ++d) {
        if (d <= 73) {
            EXPECT_EQ(aligner.PathCode(1, d), BeadKind::TargetOnly) << "d = " << d;
            EXPECT_EQ(aligner.Cost(1, d), 694 * static_cast<std::int64_t>(d - 1)) << "d = " << d;
        } else {
            EXPECT_EQ(aligner.PathCode(1, d), BeadKind::SourceOnly) << "d = " << d;
            EXPECT_EQ(aligner.Cost(1, d), ImpossibleCost) << "d = " << d;
        }
    }
}

TEST(Align, OneSegmentOnEachSideIsPairedWhateverTheLengths) {
    CSentenceAligner aligner(StretchOfLengths({3}), StretchOfLengths({500}), L"", L"", 1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.Cost(1, 1), 0);
}

TEST(Align, ComputesNothingWhenOneSideHoldsOnlyItsPlaceholder) {
    CSentenceAligner aligner(StretchOfLengths({10, 20}), StretchOfLengths({}), L"", L"", 1.0);
    aligner.Align();
    for (std::size_t i = 0; i <= 3; ++i) {
        for (std::size_t d = 0; d <= 1; ++d) {
            EXPECT_EQ(aligner.PathCode(i, d), BeadKind::TargetOnly);
            EXPECT_EQ(aligner.Cost(i, d), 0);
        }
    }
}

TEST(Align, CountsCharactersBeyondTheBasicPlaneAsTwoUnits) {
    // Five emoji are ten UTF-16 units, exactly as long as ten ASCII letters.
    const std::wstring emoji(5, static_cast<wchar_t>(0x1F600));
    CSentenceAligner aligner({L"", L"a", emoji}, {L"", L"b", std::wstring(10, L'y')}, L"", L"",
                             1.0);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(2, 2), BeadKind::OneToOne);
    EXPECT_EQ(aligner.Cost(2, 2), 0);
}

// Source segments of length 300 against empty target segments, ratio 1.0. MatchCost(300, 0) and
// MatchCost(600, 0) are impossible, so every move that uses a source segment costs 50450 (alone,
// one to one, one to two with an empty pair) or 50230 (two to one, two to two), and an empty
// target segment alone costs 450. Every cell of the first two rows and columns has an unavailable
// move at 50000, so no cost there exceeds 50000.
struct ExpectedCell {
    std::int64_t cost;
    BeadKind code;
};

std::vector<ExpectedCell> ExpectedRow(std::size_t i) {
    using enum BeadKind;
    switch (i) {
    case 1: // only targets alone are available
        return {{0, OneToOne}, {450, TargetOnly}, {900, TargetOnly}, {1350, TargetOnly}};
    case 2: // every available move costs more than the first unavailable one
        return {{50000, TargetOnly}, {50000, OneToTwo}, {50000, TwoToOne}, {50000, TwoToOne}};
    case 3:
        // (3, 3): two to two from the origin, 0 + 50230. (3, 4): target alone, 50230 + 450,
        // ties with two to two from (1, 2), 450 + 50230; the lower code wins.
        return {{50000, TargetOnly}, {50000, OneToTwo}, {50230, TwoToTwo}, {50680, TargetOnly}};
    default:
        // Target alone from (i, 2) beats everything that starts from an impossible cell.
        return {{50000, TargetOnly}, {50000, OneToTwo}, {50450, TargetOnly}, {50900, TargetOnly}};
    }
}

TEST(Align, OnEqualValuesTheLowerCodeWins) {
    CSentenceAligner aligner(StretchOfLengths({300, 300, 300}), StretchOfLengths({0, 0, 0, 0}), L"",
                             L"", 1.0);
    aligner.Align();
    // At (3, 4) target alone and two to two from (1, 2) both come to 50680.
    ASSERT_EQ(aligner.Cost(3, 3) + aligner.BeadCost(0, 0, 0, 0),
              aligner.Cost(1, 2) + aligner.BeadCost(300, 0, 300, 0));
    EXPECT_EQ(aligner.PathCode(3, 4), BeadKind::TargetOnly);
    EXPECT_EQ(aligner.Cost(3, 4), 50680);
    // At (2, 2) the three unavailable moves (codes 3 to 5) tie at 50000 below every available one.
    EXPECT_EQ(aligner.PathCode(2, 2), BeadKind::OneToTwo);
    EXPECT_EQ(aligner.Cost(2, 2), ImpossibleCost);
}

TEST(Align, LongStretchOfImpossibleSourceStepsStaysBounded) {
    // 43,000 source steps of 50450 would sum past 2^31; the cheapest path instead leaves the
    // table through the second column, so the total is 50900 at the last cell.
    constexpr std::size_t sourceCount = 43000;
    ASSERT_EQ(ModelWithRatio(1.0).MatchCost(300, 0), ImpossibleCost);
    ASSERT_EQ(ModelWithRatio(1.0).MatchCost(600, 0), ImpossibleCost);

    SentenceList source{std::wstring()};
    source.reserve(sourceCount + 1);
    for (std::size_t k = 1; k <= sourceCount; ++k) {
        std::wstring segment = L"s" + std::to_wstring(k);
        segment.resize(300, L'x');
        source.push_back(std::move(segment));
    }
    const SentenceList target(5, std::wstring());
    CSentenceAligner aligner(source, target, L"", L"", 1.0);
    aligner.Align();

    std::size_t wrongCells = 0;
    for (std::size_t i = 1; i <= sourceCount; ++i) {
        const std::vector<ExpectedCell> row = ExpectedRow(i);
        for (std::size_t d = 1; d <= 4; ++d) {
            if (aligner.Cost(i, d) != row[d - 1].cost ||
                aligner.PathCode(i, d) != row[d - 1].code) {
                ADD_FAILURE() << "cell (" << i << ", " << d << ")";
                if (++wrongCells == 10) {
                    return;
                }
            }
        }
    }

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

} // namespace
} // namespace bitexa
