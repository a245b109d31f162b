#include "batch/MemoryBudget.h"
#include "batch/PairMemory.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

TEST(MemoryBudget, LetsPairsInWhileTheyFitAndALargeOneAlone) {
    MemoryBudget budget(100);
    EXPECT_TRUE(budget.TryAcquire(60));
    EXPECT_FALSE(budget.TryAcquire(60));
    EXPECT_TRUE(budget.TryAcquire(40));
    EXPECT_FALSE(budget.TryAcquire(1));
    budget.Release(60);
    budget.Release(40);
    // Over the whole budget: it runs when nothing else does, and nothing runs beside it.
    EXPECT_TRUE(budget.TryAcquire(500));
    EXPECT_FALSE(budget.TryAcquire(1));
    budget.Release(500);
    EXPECT_TRUE(budget.TryAcquire(100));
}

SentenceList Segments(std::size_t count, const std::wstring& text, std::size_t labelEvery = 0) {
    SentenceList list{L""};
    for (std::size_t k = 1; k <= count; ++k) {
        list.push_back(labelEvery != 0 && k % labelEvery == 0
                           ? L"(" + std::to_wstring(k / labelEvery) + L")"
                           : text);
    }
    return list;
}

TEST(EstimatePairMemory, GrowsWithTheLargestStretchNotTheWholeText) {
    // 6,000 x 6,000 segments in one stretch: the path table alone is 12 MB.
    const std::uint64_t whole = EstimatePairMemory(Segments(6000, L"a"), Segments(6000, L"b"));
    EXPECT_GT(whole, 6000ull * 6000 / 3);
    // The same texts cut by a shared label every 100 segments: stretches of 100 x 100.
    const std::uint64_t cut =
        EstimatePairMemory(Segments(6000, L"a", 100), Segments(6000, L"b", 100));
    EXPECT_LT(cut, whole / 4);
    // Longer segments take more memory, in proportion to their text.
    const std::uint64_t longer = EstimatePairMemory(Segments(6000, std::wstring(1000, L'a'), 100),
                                                    Segments(6000, L"b", 100));
    EXPECT_GT(longer, cut + 6000ull * 1000 * sizeof(wchar_t));
}

TEST(EstimatePairMemory, TheLexicalModelAddsItsAnalyserAndItsEvidence) {
    const SentenceList source = Segments(6000, std::wstring(100, L'a'), 100);
    const SentenceList target = Segments(6000, L"b", 100);
    const std::uint64_t byLength = EstimatePairMemory(source, target);
    EXPECT_EQ(EstimatePairMemory(source, target, AlignModel::Length), byLength);
    EXPECT_GT(EstimatePairMemory(source, target, AlignModel::Lexical),
              byLength + (std::uint64_t{48} << 20) + 6000ull * 100 * sizeof(wchar_t));
}

} // namespace
} // namespace bitexa
