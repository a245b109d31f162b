#include "RandomRuns.h"
#include "align/AnchoredAligner.h"
#include "align/detail/BeadTables.h"
#include "align/detail/StretchPath.h"
#include "reference/ReferenceAligner.h"
#include "reference/ReferenceAnchors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

// The fast aligner and anchor matcher against the plain ones, on random inputs from fixed random
// starts: every path code, the last cell's cost, the rows and the anchors must be the same.

namespace bitexa {
namespace {

// Every ratio the slider gives, computed as the run command computes it (-7 gives
// 0.29999999999999993), and the extremes and oddities that the model must survive.
std::vector<double> InterestingRatios() {
    std::vector<double> ratios;
    for (int position = -9; position <= 9; ++position) {
        ratios.push_back(position <= 0 ? position * 0.1 + 1.0 : 1.0 / (1.0 - 0.1 * position));
    }
    ratios.insert(ratios.end(), {0.1, 10.0, 0.0, 1e-9, 1e9, -1.0});
    return ratios;
}

double PickRatio(Random& random) {
    static const std::vector<double> ratios = InterestingRatios();
    if (Chance(random, 0.25)) {
        return std::exp(
            std::uniform_real_distribution<double>(std::log(0.1), std::log(10.0))(random));
    }
    return ratios[Uniform(random, 0, ratios.size() - 1)];
}

// How the lengths of one side are drawn.
enum class LengthShape { Prose, Tiny, ManyEmpty, FewValues, Huge, Mixed };

std::size_t DrawLength(Random& random, LengthShape shape, const std::vector<std::size_t>& few) {
    switch (shape) {
    case LengthShape::Prose:
        return static_cast<std::size_t>(
            std::lognormal_distribution<double>(std::log(60.0), 0.7)(random));
    case LengthShape::Tiny:
        return Uniform(random, 0, 3);
    case LengthShape::ManyEmpty:
        return Chance(random, 0.4) ? 0 : Uniform(random, 1, 120);
    case LengthShape::FewValues:
        return few[Uniform(random, 0, few.size() - 1)];
    case LengthShape::Huge:
        return Chance(random, 0.2) ? Uniform(random, 3000, 20000) : Uniform(random, 0, 50);
    case LengthShape::Mixed:
        break;
    }
    return DrawLength(random, static_cast<LengthShape>(Uniform(random, 0, 4)), few);
}

SentenceList DrawSide(Random& random, std::size_t count, bool hugeAllowed = true) {
    auto shape = static_cast<LengthShape>(Uniform(random, 0, 5));
    if (!hugeAllowed && (shape == LengthShape::Huge || shape == LengthShape::Mixed)) {
        shape = LengthShape::Prose;
    }
    std::vector<std::size_t> few;
    for (std::size_t k = Uniform(random, 1, 3); k > 0; --k) {
        few.push_back(Uniform(random, 0, 40));
    }
    SentenceList side;
    if (count == 0) {
        return side;
    }
    // The placeholder is empty as the anchored run makes it; its length is never read anyway.
    side.push_back(Chance(random, 0.05) ? L"not read" : L"");
    for (std::size_t k = 1; k < count; ++k) {
        side.push_back(std::wstring(DrawLength(random, shape, few), L'x'));
    }
    return side;
}

std::string Describe(const SentenceList& source, const SentenceList& target, double ratio) {
    std::string text = "ratio " + std::to_string(ratio) + ", source lengths";
    for (const std::wstring& s : source) {
        text += " " + std::to_string(s.size());
    }
    text += ", target lengths";
    for (const std::wstring& t : target) {
        text += " " + std::to_string(t.size());
    }
    return text;
}

// Compares everything the two aligners show; returns false (after reporting) on a difference.
bool SameAlignment(const SentenceList& source, const SentenceList& target, double ratio,
                   const std::wstring& sourceJoiner, const std::wstring& targetJoiner) {
    CSentenceAligner fast(source, target, sourceJoiner, targetJoiner, ratio);
    fast.Align();
    ReferenceAligner plain(source, target, sourceJoiner, targetJoiner, ratio);
    plain.Align();

    const std::size_t n = source.size();
    const std::size_t m = target.size();
    for (std::size_t i = 0; i <= n; ++i) {
        for (std::size_t d = 0; d <= m; ++d) {
            if (fast.PathCode(i, d) != plain.PathCode(i, d)) {
                ADD_FAILURE() << "path code at (" << i << ", " << d
                              << "): " << static_cast<int>(fast.PathCode(i, d)) << " instead of "
                              << static_cast<int>(plain.PathCode(i, d)) << "; "
                              << Describe(source, target, ratio);
                return false;
            }
        }
    }
    const std::int64_t expectedTotal = n >= 1 && m >= 1 ? plain.Cost(n - 1, m - 1) : 0;
    if (fast.TotalCost() != expectedTotal) {
        ADD_FAILURE() << "total cost " << fast.TotalCost() << " instead of " << expectedTotal
                      << "; " << Describe(source, target, ratio);
        return false;
    }
    ColumnList fastSource, fastTarget, plainSource, plainTarget;
    fast.GetColumns(fastSource, fastTarget);
    plain.GetColumns(plainSource, plainTarget);
    std::wstring fastText, plainText;
    fast.GetText(fastText);
    plain.GetText(plainText);
    if (fastSource != plainSource || fastTarget != plainTarget || fastText != plainText) {
        ADD_FAILURE() << "rows differ; " << Describe(source, target, ratio);
        return false;
    }
    return true;
}

struct SizeRange {
    std::uint32_t start;
    int cases;
    std::size_t largest;

    friend std::ostream& operator<<(std::ostream& out, const SizeRange& range) {
        return out << range.cases << " cases of up to " << range.largest << " segments a side";
    }
};

class AlignDifferential : public testing::TestWithParam<SizeRange> {};

TEST_P(AlignDifferential, GivesTheReferenceCodesCostAndRows) {
    const SizeRange range = GetParam();
    Random random(range.start);
    for (int k = 0; k < range.cases; ++k) {
        const SentenceList source = DrawSide(random, Uniform(random, 0, range.largest));
        const SentenceList target = DrawSide(random, Uniform(random, 0, range.largest));
        const double ratio = PickRatio(random);
        const std::wstring sourceJoiner = Chance(random, 0.5) ? L" " : L"";
        const std::wstring targetJoiner = Chance(random, 0.5) ? L" " : L"";
        ASSERT_TRUE(SameAlignment(source, target, ratio, sourceJoiner, targetJoiner))
            << "case " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, AlignDifferential,
                         testing::Values(SizeRange{1, 3000, 8}, SizeRange{2, 1500, 40},
                                         SizeRange{3, 60, 250}, SizeRange{4, 3, 700}));

TEST(AlignDifferential, EqualLengthsEverywhereBreakTiesAlike) {
    // All segments alike: every cell has several moves of the same value.
    Random random(5);
    for (int k = 0; k < 200; ++k) {
        const std::size_t length = Uniform(random, 0, 30);
        const std::size_t n = Uniform(random, 0, 60);
        const std::size_t m = Uniform(random, 0, 60);
        SentenceList source(n, std::wstring(length, L's'));
        SentenceList target(m, std::wstring(Chance(random, 0.5) ? length : 2 * length, L't'));
        ASSERT_TRUE(SameAlignment(source, target, PickRatio(random), L" ", L""));
    }
}

TEST(AlignDifferential, NarrowAndWideStretches) {
    // Few rows and many columns, or the reverse: the first rows and columns are all edge cells,
    // and a long row is filled in several passes.
    Random random(6);
    for (int k = 0; k < 40; ++k) {
        const std::size_t other = Uniform(random, 2, 8);
        const std::size_t longSide = Uniform(random, 50, 1700);
        const bool wide = Chance(random, 0.5);
        // A long side of segments of tens of thousands of units would only slow the test down.
        ASSERT_TRUE(SameAlignment(DrawSide(random, wide ? other : longSide, wide),
                                  DrawSide(random, wide ? longSide : other, !wide),
                                  PickRatio(random), L"", L""));
    }
}

std::vector<std::int64_t> LengthsOf(const SentenceList& segments) {
    std::vector<std::int64_t> lengths;
    for (const std::wstring& segment : segments) {
        lengths.push_back(static_cast<std::int64_t>(SegmentLength(segment)));
    }
    return lengths;
}

TEST(AlignDifferential, EveryWayOfRunningTheProgrammeGivesTheReferenceCodesCostAndRows) {
    Random random(7);
    for (int k = 0; k < 600; ++k) {
        const SentenceList source = DrawSide(random, Uniform(random, 2, 60));
        const SentenceList target = DrawSide(random, Uniform(random, 2, 60));
        const double ratio = PickRatio(random);
        ReferenceAligner plain(source, target, L" ", L"", ratio);
        plain.Align();
        const DpSettings settings =
            DrawSettings(random, source.size(), static_cast<unsigned>(1 + k % 3), 1);
        // The rows, through the aligner that reads the traced path.
        CSentenceAligner fast(source, target, L" ", L"", ratio);
        fast.SetDpSettings(std::make_shared<DpSettings>(settings));
        fast.Align();
        ASSERT_EQ(fast.TotalCost(), plain.Cost(source.size() - 1, target.size() - 1));
        ColumnList fastSource, fastTarget, plainSource, plainTarget;
        fast.GetColumns(fastSource, fastTarget);
        plain.GetColumns(plainSource, plainTarget);
        ASSERT_TRUE(fastSource == plainSource && fastTarget == plainTarget)
            << "rows differ; " << Describe(source, target, ratio);

        StretchPath path(plain.Model(), LengthsOf(source), LengthsOf(target), settings, nullptr);
        ASSERT_EQ(path.TotalCost(), plain.Cost(source.size() - 1, target.size() - 1));
        // Row by row, as a reader of the whole table asks; each block is computed once.
        for (std::size_t i = 1; i < source.size(); ++i) {
            for (std::size_t d = 1; d < target.size(); ++d) {
                ASSERT_EQ(path.Code(i, d), plain.PathCode(i, d))
                    << "cell (" << i << ", " << d << "), budget " << settings.memoryBudget
                    << ", threads " << settings.threads << "; " << Describe(source, target, ratio);
            }
        }
    }
}

TEST(BeadTables, HoldTheBeadCostOfEveryCellWhateverWasEvicted) {
    // The tables key a bead by its total lengths and which second segments are empty: every
    // cell's bead must cost what BeadCost gives for that cell's own segments.
    Random random(8);
    for (int k = 0; k < 100; ++k) {
        const std::vector<std::int64_t> s = LengthsOf(DrawSide(random, Uniform(random, 4, 40)));
        const std::vector<std::int64_t> t = LengthsOf(DrawSide(random, Uniform(random, 4, 40)));
        const LengthModel model(PickRatio(random));
        BeadTables tables(model, s, t, Uniform(random, 1, 100));
        const std::vector<std::uint32_t>& single = tables.TargetSingles();
        const std::vector<std::uint32_t>& pair = tables.TargetPairs();
        for (int probe = 0; probe < 200; ++probe) {
            const std::size_t i = Uniform(random, 3, s.size() - 1);
            const std::size_t d = Uniform(random, 3, t.size() - 1);
            std::vector<std::uint32_t> bySingle(tables.TargetSingleKeys());
            std::vector<std::uint32_t> byPair(tables.TargetPairKeys());
            tables.PackRow(i, bySingle.data(), byPair.data());
            ASSERT_EQ(bySingle[single[d]] & 0xFFFF, model.BeadCost(s[i], t[d], 0, 0));
            ASSERT_EQ(byPair[pair[d]] & 0xFFFF, model.BeadCost(s[i], t[d - 1], 0, t[d]));
            ASSERT_EQ(bySingle[single[d]] >> 16, model.BeadCost(s[i - 1], t[d], s[i], 0));
            ASSERT_EQ(byPair[pair[d]] >> 16, model.BeadCost(s[i - 1], t[d - 1], s[i], t[d]));
        }
    }
}

// Keys as MakeAnchorKeys gives them, and some that it never gives: the matcher must treat any
// key found on both sides as an anchor, whatever it looks like.
std::vector<std::wstring> DrawKeys(Random& random, std::size_t count, const std::wstring& tag,
                                   std::size_t labels, double labelShare) {
    static const std::vector<std::wstring> odd = {L"x", L"", L"-", L"--", L"(i)", L"(b.2)"};
    std::vector<std::wstring> keys;
    for (std::size_t k = 0; k < count; ++k) {
        if (!Chance(random, labelShare)) {
            keys.push_back(tag);
        } else if (Chance(random, 0.1)) {
            keys.push_back(odd[Uniform(random, 0, odd.size() - 1)]);
        } else {
            keys.push_back(L"(" + std::to_wstring(Uniform(random, 1, labels)) + L")");
        }
    }
    return keys;
}

struct KeyRange {
    std::uint32_t start;
    int cases;
    std::size_t largest;

    friend std::ostream& operator<<(std::ostream& out, const KeyRange& range) {
        return out << range.cases << " cases of up to " << range.largest << " keys a side";
    }
};

class MatchAnchorsDifferential : public testing::TestWithParam<KeyRange> {};

TEST_P(MatchAnchorsDifferential, PicksTheReferencePairs) {
    const KeyRange range = GetParam();
    Random random(range.start);
    CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
    for (int k = 0; k < range.cases; ++k) {
        // Few labels repeat and cross; many labels are mostly found on one side only.
        const std::size_t labels = Uniform(random, 1, Chance(random, 0.5) ? 4 : 60);
        const double share = std::uniform_real_distribution<double>(0.0, 1.0)(random);
        const auto source =
            DrawKeys(random, Uniform(random, 0, range.largest), L"s", labels, share);
        const auto target = DrawKeys(random, Uniform(random, 0, range.largest),
                                     Chance(random, 0.1) ? L"s" : L"t", labels, share);
        std::vector<std::size_t> sourceAnchors, targetAnchors;
        ReferenceMatchAnchors(source, target, sourceAnchors, targetAnchors);
        aligner.MatchAnchors(source, target);
        ASSERT_EQ(aligner.sourceAnchors, sourceAnchors) << "case " << k;
        ASSERT_EQ(aligner.targetAnchors, targetAnchors) << "case " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MatchAnchorsDifferential,
                         testing::Values(KeyRange{11, 4000, 10}, KeyRange{12, 1500, 60},
                                         KeyRange{13, 60, 700}, KeyRange{14, 4, 2500}));

// Documents whose sections each number their paragraphs afresh, and long runs of one label:
// few distinct keys, each found in many columns, and carries that run across many words of a
// row. Sections are dropped, cut short or stretched on either side, so the pairs are not simply
// the diagonal.
std::vector<std::wstring> DrawSections(Random& random, std::size_t count, const std::wstring& tag) {
    std::vector<std::wstring> keys;
    while (keys.size() < count) {
        if (Chance(random, 0.1)) {
            // a run of one label, as in a list that repeats "(1)" or a line of hyphens
            const std::wstring label = Chance(random, 0.5) ? L"(1)" : L"---";
            for (std::size_t k = Uniform(random, 1, 200); k > 0; --k) {
                keys.push_back(label);
            }
            continue;
        }
        const std::size_t paragraphs = Uniform(random, 1, 6);
        for (std::size_t p = 1; p <= paragraphs; ++p) {
            keys.push_back(L"(" + std::to_wstring(p) + L")");
            for (std::size_t k = Uniform(random, 0, 2); k > 0; --k) {
                keys.push_back(tag);
            }
        }
    }
    keys.resize(count);
    return keys;
}

TEST(MatchAnchorsDifferential, RestartingLabelsAndLongRunsPickTheReferencePairs) {
    Random random(15);
    CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
    for (int k = 0; k < 120; ++k) {
        // Around the word size of the rows, and well beyond it.
        const std::size_t largest = k < 60 ? 130 : 1500;
        const auto source = DrawSections(random, Uniform(random, 0, largest), L"s");
        const auto target = DrawSections(random, Uniform(random, 0, largest), L"t");
        std::vector<std::size_t> sourceAnchors, targetAnchors;
        ReferenceMatchAnchors(source, target, sourceAnchors, targetAnchors);
        aligner.MatchAnchors(source, target);
        ASSERT_EQ(aligner.sourceAnchors, sourceAnchors) << "case " << k;
        ASSERT_EQ(aligner.targetAnchors, targetAnchors) << "case " << k;
    }
}

// Whole texts with labels written in either width, some on one side only, some out of order.
SentenceList DrawText(Random& random, std::size_t count) {
    static const std::vector<std::wstring> labels = {L"(1)", L"（１）", L"(2)", L"（２）",
                                                     L"(a)", L"（Ａ）", L"---", L"(1） "};
    static const std::wstring words = L"abc de fgh ij. 猫は座った。";
    SentenceList text;
    if (count == 0) {
        return text;
    }
    text.push_back(L"");
    for (std::size_t k = 1; k < count; ++k) {
        if (Chance(random, 0.2)) {
            text.push_back(labels[Uniform(random, 0, labels.size() - 1)]);
            continue;
        }
        std::wstring segment;
        for (std::size_t length = DrawLength(random, LengthShape::ManyEmpty, {}); length > 0;
             --length) {
            segment += words[Uniform(random, 0, words.size() - 1)];
        }
        text.push_back(segment);
    }
    return text;
}

TEST(RunAnchoredAlignmentDifferential, GivesTheReferenceRowsAndText) {
    Random random(21);
    for (int k = 0; k < 400; ++k) {
        const SentenceList source = DrawText(random, Uniform(random, 0, 80));
        const SentenceList target = DrawText(random, Uniform(random, 0, 80));
        const double ratio = PickRatio(random);
        const std::wstring sourceJoiner = Chance(random, 0.5) ? L" " : L"";
        const std::wstring targetJoiner = Chance(random, 0.5) ? L" " : L"";

        CAnchoredAligner fast(source, target, sourceJoiner, targetJoiner, ratio);
        ColumnList fastSource{L"stale"}, fastTarget;
        std::wstring fastText = L"stale";
        RunAnchoredAlignment(fastText, fastTarget, fast, fastSource);

        CAnchoredAligner plain(source, target, sourceJoiner, targetJoiner, ratio);
        ColumnList plainSource, plainTarget;
        std::wstring plainText;
        ReferenceRunAnchoredAlignment(plainText, plainTarget, plain, plainSource);

        ASSERT_EQ(fast.sourceAnchors, plain.sourceAnchors) << "case " << k;
        ASSERT_EQ(fast.targetAnchors, plain.targetAnchors) << "case " << k;
        ASSERT_EQ(fastSource, plainSource) << "case " << k;
        ASSERT_EQ(fastTarget, plainTarget) << "case " << k;
        ASSERT_EQ(fastText, plainText) << "case " << k;
    }
}

} // namespace
} // namespace bitexa
