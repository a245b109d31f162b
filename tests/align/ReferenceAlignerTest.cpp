#include "reference/ReferenceAligner.h"

#include "ImpossibleSourceSteps.h"
#include "StretchBuilder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// The reference aligner keeps the whole cost table; these tests pin the costs of cells that the
// fast aligner no longer keeps. The differential tests then hold the fast aligner to it.

namespace bitexa {
namespace {

TEST(ReferenceAligner, OneSourceAgainstEightyTargetsCostsRowByRow) {
    SentenceList target(81, std::wstring(10, L'x'));
    target[0].clear();
    ReferenceAligner aligner(StretchOfLengths({10}), target, L"", L"", 1.0);
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

TEST(ReferenceAligner, OnEqualValuesTheLowerCodeWins) {
    ReferenceAligner aligner(StretchOfLengths({300, 300, 300}), StretchOfLengths({0, 0, 0, 0}), L"",
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

TEST(ReferenceAligner, ImpossibleSourceStepsCostCellByCell) {
    constexpr std::size_t sourceCount = 400;
    ReferenceAligner aligner(ImpossibleSourceSteps(sourceCount), SentenceList(5, std::wstring()),
                             L"", L"", 1.0);
    aligner.Align();
    for (std::size_t i = 1; i <= sourceCount; ++i) {
        const std::vector<ExpectedCell> row = ExpectedImpossibleRow(i);
        for (std::size_t d = 1; d <= 4; ++d) {
            ASSERT_EQ(aligner.Cost(i, d), row[d - 1].cost) << "cell (" << i << ", " << d << ")";
            ASSERT_EQ(aligner.PathCode(i, d), row[d - 1].code) << "cell (" << i << ", " << d << ")";
        }
    }
}

TEST(ReferenceAligner, LeavesTheOuterRowsAndColumnsAtZero) {
    ReferenceAligner aligner(StretchOfLengths({10, 30}), StretchOfLengths({20, 10, 5}), L"", L"",
                             1.0);
    aligner.Align();
    for (std::size_t d = 0; d <= 4; ++d) {
        EXPECT_EQ(aligner.Cost(0, d), 0);
        EXPECT_EQ(aligner.Cost(3, d), 0);
        EXPECT_EQ(aligner.PathCode(3, d), BeadKind::TargetOnly);
    }
    for (std::size_t i = 0; i <= 3; ++i) {
        EXPECT_EQ(aligner.Cost(i, 4), 0);
        EXPECT_EQ(aligner.PathCode(i, 0), BeadKind::TargetOnly);
    }
    EXPECT_THROW(aligner.Cost(4, 0), std::out_of_range);
}

} // namespace
} // namespace bitexa
