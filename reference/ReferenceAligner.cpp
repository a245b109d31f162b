#include "reference/ReferenceAligner.h"

#include <array>
#include <stdexcept>
#include <utility>

namespace bitexa {

ReferenceAligner::ReferenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                                   std::wstring sourceJoiner, std::wstring targetJoiner,
                                   double ratio)
    : CSentenceAligner(std::move(sourceSegments), std::move(targetSegments),
                       std::move(sourceJoiner), std::move(targetJoiner), ratio) {
    MakeTables();
}

// The tables follow the segments, which AdoptSegments may replace before Align.
void ReferenceAligner::MakeTables() {
    m_costTable.assign((m_sourceSegments.size() + 1) * (m_targetSegments.size() + 1), 0);
    m_pathTable.assign(m_costTable.size(), BeadKind::TargetOnly);
}

std::size_t ReferenceAligner::Cell(std::size_t i, std::size_t d) const {
    const std::size_t cell = i * (m_targetSegments.size() + 1) + d;
    // Segments adopted after the last Align have no table yet.
    if (i > m_sourceSegments.size() || d > m_targetSegments.size() || cell >= m_costTable.size()) {
        throw std::out_of_range("cell outside the alignment table");
    }
    return cell;
}

void ReferenceAligner::Align() {
    MakeTables();
    const std::size_t sourceCount = m_sourceSegments.size();
    const std::size_t targetCount = m_targetSegments.size();
    if (sourceCount < 2 || targetCount < 2) {
        return;
    }
    const auto cost = [&](std::size_t i, std::size_t d) { return m_costTable[Cell(i, d)]; };
    const std::vector<std::int64_t>& s = m_sourceLengths;
    const std::vector<std::int64_t>& t = m_targetLengths;
    constexpr std::int64_t unavailable = ImpossibleCost;
    // The lexical model's bonuses, bead by bead, or nothing for the length model.
    const StretchEvidence* evidence = Evidence();
    const auto sourceAlone = [&](std::size_t i) -> std::int64_t {
        return evidence != nullptr ? AloneBonus(m_weights, evidence->sourceMass[i]) : 0;
    };
    const auto targetAlone = [&](std::size_t d) -> std::int64_t {
        return evidence != nullptr ? AloneBonus(m_weights, evidence->targetMass[d]) : 0;
    };
    // Bonuses less the cost of the move itself.
    const auto paired = [&](BeadKind kind, std::size_t i, std::size_t d) -> std::int64_t {
        if (evidence == nullptr) {
            return 0;
        }
        const bool oneToTwo = kind == BeadKind::OneToTwo || kind == BeadKind::TwoToOne;
        return PairedBonus(m_weights, kind, EvidenceAt(*evidence, kind, i, d)) -
               (oneToTwo ? m_weights.oneToTwo : 0);
    };

    for (std::size_t i = 1; i < sourceCount; ++i) {
        for (std::size_t d = 1; d < targetCount; ++d) {
            const std::size_t cell = Cell(i, d);
            if (i == 1 && d == 1) {
                m_costTable[cell] = 0;
                m_pathTable[cell] = BeadKind::OneToOne;
                continue;
            }
            const std::array<std::int64_t, 6> candidates = {
                d >= 2 ? cost(i, d - 1) + BeadCost(0, t[d], 0, 0) - targetAlone(d) : unavailable,
                i >= 2 ? cost(i - 1, d) + BeadCost(s[i], 0, 0, 0) - sourceAlone(i) : unavailable,
                i >= 2 && d >= 2 ? cost(i - 1, d - 1) + BeadCost(s[i], t[d], 0, 0) -
                                       paired(BeadKind::OneToOne, i, d)
                                 : unavailable,
                i >= 2 && d >= 3 ? cost(i - 1, d - 2) + BeadCost(s[i], t[d - 1], 0, t[d]) -
                                       paired(BeadKind::OneToTwo, i, d)
                                 : unavailable,
                i >= 3 && d >= 2 ? cost(i - 2, d - 1) + BeadCost(s[i - 1], t[d], s[i], 0) -
                                       paired(BeadKind::TwoToOne, i, d)
                                 : unavailable,
                i >= 3 && d >= 3 ? cost(i - 2, d - 2) + BeadCost(s[i - 1], t[d - 1], s[i], t[d]) -
                                       paired(BeadKind::TwoToTwo, i, d)
                                 : unavailable,
            };
            std::size_t best = 0;
            for (std::size_t code = 1; code < candidates.size(); ++code) {
                if (candidates[code] < candidates[best]) {
                    best = code;
                }
            }
            m_costTable[cell] = candidates[best];
            m_pathTable[cell] = static_cast<BeadKind>(best);
        }
    }
}

BeadKind ReferenceAligner::PathCode(std::size_t i, std::size_t d) const {
    return m_pathTable[Cell(i, d)];
}

std::int64_t ReferenceAligner::Cost(std::size_t i, std::size_t d) const {
    return m_costTable[Cell(i, d)];
}

std::unique_ptr<CSentenceAligner> ReferenceAnchoredAligner::MakeStretchAligner() const {
    return std::make_unique<ReferenceAligner>(SentenceList(), SentenceList(), SourceJoiner(),
                                              TargetJoiner(), Ratio());
}

} // namespace bitexa
