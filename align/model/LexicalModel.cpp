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

std::int64_t PairedBonus(const LexicalWeights& weights, BeadKind kind, const BeadEvidence& bead) {
    // Which segments the bead holds: the later one on each side always, the earlier one for two.
    const int sourceFrom = kind == BeadKind::TwoToOne || kind == BeadKind::TwoToTwo ? 0 : 1;
    const int targetFrom = kind == BeadKind::OneToTwo || kind == BeadKind::TwoToTwo ? 0 : 1;
    // Summed in one fixed order, in double: both engines must get the same last bit.
    double matched = 0;
    for (int s = sourceFrom; s < 2; ++s) {
        for (int t = targetFrom; t < 2; ++t) {
            matched += static_cast<double>(bead.matched[s][t]);
        }
    }
    if (!(matched > 0)) {
        return 0;
    }
    double mass = 0;
    for (int s = sourceFrom; s < 2; ++s) {
        mass += static_cast<double>(bead.sourceMass[s]);
    }
    for (int t = targetFrom; t < 2; ++t) {
        mass += static_cast<double>(bead.targetMass[t]);
    }
    const double similarity = mass > 0 ? std::min(1.0, 2 * matched / mass) : 0.0;
    return std::llround(weights.dice * similarity + weights.miss * std::min(2 * matched, mass));
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
