#include "align/model/LexicalModel.h"

#include <algorithm>
#include <cmath>

namespace bitexa {

float StretchEvidence::Matched(std::size_t i, std::size_t d) const {
    if (i + 1 >= rowStart.size()) {
        return 0.0f;
    }
    const auto first = column.begin() + rowStart[i];
    const auto last = column.begin() + rowStart[i + 1];
    const auto found = std::lower_bound(first, last, static_cast<std::uint32_t>(d));
    return found != last && *found == d ? matched[static_cast<std::size_t>(found - column.begin())]
                                        : 0.0f;
}

std::int64_t AloneBonus(const LexicalWeights& weights, float mass) {
    return std::llround(weights.miss * static_cast<double>(mass));
}

namespace {

std::int64_t Bonus(const LexicalWeights& weights, double matched, double mass) {
    if (!(matched > 0)) {
        return 0;
    }
    const double similarity = mass > 0 ? std::min(1.0, 2 * matched / mass) : 0.0;
    return std::llround(weights.dice * similarity + weights.miss * std::min(2 * matched, mass));
}

} // namespace

void PairedBonuses(const LexicalWeights& weights, const BeadEvidence& bead, std::int64_t out[4]) {
    // Each bead's sums in one fixed order, in double, the earlier segment first and the source
    // side before the target side: every engine gets the same last bit.
    const double m00 = bead.matched[0][0];
    const double m01 = bead.matched[0][1];
    const double m10 = bead.matched[1][0];
    const double m11 = bead.matched[1][1];
    const double s0 = bead.sourceMass[0];
    const double s1 = bead.sourceMass[1];
    const double t0 = bead.targetMass[0];
    const double t1 = bead.targetMass[1];
    out[0] = Bonus(weights, m11, s1 + t1);
    out[1] = Bonus(weights, m10 + m11, s1 + t0 + t1);
    out[2] = Bonus(weights, m01 + m11, s0 + s1 + t1);
    out[3] = Bonus(weights, m00 + m01 + m10 + m11, s0 + s1 + t0 + t1);
}

std::int64_t PairedBonus(const LexicalWeights& weights, BeadKind kind, const BeadEvidence& bead) {
    std::int64_t bonuses[4];
    PairedBonuses(weights, bead, bonuses);
    return bonuses[static_cast<int>(kind) - static_cast<int>(BeadKind::OneToOne)];
}

BeadEvidence EvidenceAt(const StretchEvidence& evidence, BeadKind kind, std::size_t i,
                        std::size_t d) {
    BeadEvidence bead;
    const bool twoSources = kind == BeadKind::TwoToOne || kind == BeadKind::TwoToTwo;
    const bool twoTargets = kind == BeadKind::OneToTwo || kind == BeadKind::TwoToTwo;
    for (int s = twoSources ? 0 : 1; s < 2; ++s) {
        const std::size_t row = i - 1 + static_cast<std::size_t>(s);
        bead.sourceMass[s] = evidence.sourceMass[row];
        for (int t = twoTargets ? 0 : 1; t < 2; ++t) {
            bead.matched[s][t] = evidence.Matched(row, d - 1 + static_cast<std::size_t>(t));
        }
    }
    for (int t = twoTargets ? 0 : 1; t < 2; ++t) {
        bead.targetMass[t] = evidence.targetMass[d - 1 + static_cast<std::size_t>(t)];
    }
    return bead;
}

} // namespace bitexa
