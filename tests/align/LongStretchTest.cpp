#include "align/SentenceAligner.h"

#include "ImpossibleMatches.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

// A stretch long enough for its costs to pass 2^31: 85,507 segments a side, 7.3 billion cells,
// its path traced back through checkpoints in about 120 MB, and some fifteen seconds of processor
// time. Labelled "long" in CTest.

namespace bitexa {
namespace {

TEST(LongStretch, CostsPastTwoToTheThirtyFirstAreExact) {
    constexpr std::size_t k = 85507;
    constexpr std::int64_t expected = ImpossibleMatchTotal(k);
    static_assert(expected > std::numeric_limits<std::int32_t>::max());

    CSentenceAligner aligner(SegmentsOfThousandUnits(k), SegmentsOfThousandUnits(k), L"", L"",
                             ImpossibleMatchRatio);
    aligner.Align();
    EXPECT_EQ(aligner.TotalCost(), expected);

    // The path: one to one into the last cell, then one to two all the way down to column 2,
    // where the unavailable one-to-two move ends it.
    EXPECT_EQ(aligner.PathCode(k, k), BeadKind::OneToOne);
    for (std::size_t step = 0; step <= (k - 3) / 2; ++step) {
        const std::size_t i = k - 1 - step;
        const std::size_t d = k - 1 - 2 * step;
        ASSERT_EQ(aligner.PathCode(i, d), BeadKind::OneToTwo) << "cell (" << i << ", " << d << ")";
    }
}

} // namespace
} // namespace bitexa
