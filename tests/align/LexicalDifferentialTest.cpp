#include "RandomRuns.h"
#include "align/SentenceAligner.h"
#include "align/detail/BeadTables.h"
#include "align/detail/StretchPath.h"
#include "reference/ReferenceAligner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

// The fast aligner under the lexical model against the plain one, which looks every bead's
// evidence up on its own: on random stretches with random masses and random sparse evidence,
// every way of running the programme must give the same codes, cost and rows.

namespace bitexa {
namespace {

float Weight(Random& random, float most) {
    return std::uniform_real_distribution<float>(0.0f, most)(random);
}

SentenceList DrawSide(Random& random, std::size_t count) {
    SentenceList side{L""};
    for (std::size_t k = 1; k < count; ++k) {
        const std::size_t length =
            Chance(random, 0.1) ? 0
                                : static_cast<std::size_t>(std::lognormal_distribution<double>(
                                      std::log(40.0), 0.8)(random));
        side.push_back(std::wstring(length, L'x'));
    }
    return side;
}

// Masses of a few units (some segments with none), and for each row a few columns near the
// diagonal or anywhere with matched weights, now and then more than the masses allow: the
// engines must agree on whatever the evidence says.
StretchEvidence DrawEvidence(Random& random, std::size_t rows, std::size_t columns) {
    StretchEvidence evidence;
    const float most = Chance(random, 0.2) ? 400.0f : 30.0f;
    evidence.sourceMass.assign(rows, 0.0f);
    evidence.targetMass.assign(columns, 0.0f);
    for (std::size_t i = 1; i < rows; ++i) {
        evidence.sourceMass[i] = Chance(random, 0.2) ? 0.0f : Weight(random, most);
    }
    for (std::size_t d = 1; d < columns; ++d) {
        evidence.targetMass[d] = Chance(random, 0.2) ? 0.0f : Weight(random, most);
    }
    const double density = std::uniform_real_distribution<double>(0.0, 0.3)(random);
    evidence.rowStart.assign(1, 0);
    evidence.rowStart.push_back(0); // the placeholder's row
    for (std::size_t i = 1; i < rows; ++i) {
        const std::size_t diagonal = i * columns / rows;
        for (std::size_t d = 1; d < columns; ++d) {
            const bool near = d + 3 >= diagonal && d <= diagonal + 3;
            if (Chance(random, near ? density : density / 20)) {
                evidence.column.push_back(static_cast<std::uint32_t>(d));
                evidence.matched.push_back(Weight(random, most / 2) + 0.01f);
            }
        }
        evidence.rowStart.push_back(static_cast<std::uint32_t>(evidence.column.size()));
    }
    return evidence;
}

LexicalWeights DrawWeights(Random& random) {
    const double misses[] = {0, 5, 20, 60};
    const double dices[] = {0, 1600, 3200, 20000};
    const int moves[] = {0, 200, 500};
    return {moves[Uniform(random, 0, 2)], misses[Uniform(random, 0, 3)],
            dices[Uniform(random, 0, 3)]};
}

TEST(LexicalDifferential, EveryWayOfRunningTheProgrammeGivesTheReferenceCodesCostAndRows) {
    Random random(12);
    for (int k = 0; k < 800; ++k) {
        const SentenceList source = DrawSide(random, Uniform(random, 2, 70));
        const SentenceList target = DrawSide(random, Uniform(random, 2, 70));
        const double ratio = std::uniform_real_distribution<double>(0.3, 2.0)(random);
        const auto evidence = std::make_shared<const StretchEvidence>(
            DrawEvidence(random, source.size(), target.size()));
        const LexicalWeights weights = DrawWeights(random);
        ReferenceAligner plain(source, target, L" ", L"", ratio);
        plain.SetLexical(evidence, weights);
        plain.Align();
        CSentenceAligner fast(source, target, L" ", L"", ratio);
        fast.SetLexical(evidence, weights);
        const DpSettings settings =
            DrawSettings(random, source.size(), static_cast<unsigned>(1 + k % 3), 0);
        fast.SetDpSettings(std::make_shared<DpSettings>(settings));
        fast.Align();
        SCOPED_TRACE("case " + std::to_string(k) + ", " + std::to_string(source.size()) + " x " +
                     std::to_string(target.size()) + ", budget " +
                     std::to_string(settings.memoryBudget) + ", threads " +
                     std::to_string(settings.threads));
        ASSERT_EQ(fast.TotalCost(), plain.Cost(source.size() - 1, target.size() - 1));
        for (std::size_t i = 1; i < source.size(); ++i) {
            for (std::size_t d = 1; d < target.size(); ++d) {
                ASSERT_EQ(fast.PathCode(i, d), plain.PathCode(i, d))
                    << "cell (" << i << ", " << d << ")";
            }
        }
        std::vector<RowSpan> fastRows;
        std::vector<RowSpan> plainRows;
        fast.GetRowSpans(fastRows);
        plain.GetRowSpans(plainRows);
        ASSERT_EQ(fastRows, plainRows);
    }
}

TEST(LexicalDifferential, EvidenceThatSaysNothingLeavesTheLengthModelsPath) {
    // No masses and no pairs: the lexical model is the length model with dearer one-to-two
    // moves, and with those at no extra cost it is the length model itself.
    Random random(13);
    for (int k = 0; k < 100; ++k) {
        const SentenceList source = DrawSide(random, Uniform(random, 2, 60));
        const SentenceList target = DrawSide(random, Uniform(random, 2, 60));
        auto nothing = std::make_shared<StretchEvidence>();
        nothing->sourceMass.assign(source.size(), 0.0f);
        nothing->targetMass.assign(target.size(), 0.0f);
        nothing->rowStart.assign(source.size() + 1, 0);
        CSentenceAligner length(source, target, L"", L"", 0.6);
        length.Align();
        CSentenceAligner lexical(source, target, L"", L"", 0.6);
        lexical.SetLexical(nothing, LexicalWeights{0, 20, 1600});
        lexical.Align();
        std::vector<RowSpan> lengthRows;
        std::vector<RowSpan> lexicalRows;
        length.GetRowSpans(lengthRows);
        lexical.GetRowSpans(lexicalRows);
        ASSERT_EQ(lexicalRows, lengthRows);
        ASSERT_EQ(lexical.TotalCost(), length.TotalCost());
    }
}

} // namespace
} // namespace bitexa
