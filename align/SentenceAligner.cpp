#include "align/SentenceAligner.h"

#include <array>
#include <utility>

namespace bitexa {

namespace {

std::vector<std::int64_t> SegmentLengths(const SentenceList& segments) {
    std::vector<std::int64_t> lengths;
    lengths.reserve(segments.size());
    for (const std::wstring& segment : segments) {
        lengths.push_back(static_cast<std::int64_t>(SegmentLength(segment)));
    }
    return lengths;
}

} // namespace

CSentenceAligner::CSentenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                                   std::wstring sourceJoiner, std::wstring targetJoiner,
                                   double ratio)
    : m_sourceSegments(std::move(sourceSegments)), m_targetSegments(std::move(targetSegments)),
      m_sourceLengths(SegmentLengths(m_sourceSegments)),
      m_targetLengths(SegmentLengths(m_targetSegments)), m_ratio(ratio),
      m_sourceJoiner(std::move(sourceJoiner)), m_targetJoiner(std::move(targetJoiner)) {
    // The tables are made by Align: the anchored aligner derives from this class over the whole
    // texts and is never aligned, so tables made here would be (n+1)(m+1) cells for nothing.
}

void CSentenceAligner::Align() {
    m_cost.clear();
    m_path.clear();
    const std::size_t sourceCount = m_sourceSegments.size();
    const std::size_t targetCount = m_targetSegments.size();
    // One side holds only its placeholder: there is nothing to pair, and the walk emits the other
    // side's segments alone without reading a table.
    if (sourceCount < 2 || targetCount < 2) {
        return;
    }
    const std::size_t width = targetCount + 1;
    m_cost.assign((sourceCount + 1) * width, 0);
    m_path.assign((sourceCount + 1) * width, BeadKind::TargetOnly);

    const auto cost = [&](std::size_t i, std::size_t d) { return m_cost[i * width + d]; };
    const std::vector<std::int64_t>& s = m_sourceLengths;
    const std::vector<std::int64_t>& t = m_targetLengths;
    // A move whose previous cell lies outside the table still competes, with the impossible cost.
    constexpr std::int64_t unavailable = ImpossibleCost;

    for (std::size_t i = 1; i < sourceCount; ++i) {
        for (std::size_t d = 1; d < targetCount; ++d) {
            const std::size_t cell = i * width + d;
            if (i == 1 && d == 1) {
                // The first segments of a stretch are paired unconditionally: they are the
                // leading entries, or a matched anchor pair.
                m_cost[cell] = 0;
                m_path[cell] = BeadKind::OneToOne;
                continue;
            }
            // Candidates in code order; sums are 64-bit so a long stretch cannot overflow.
            const std::array<std::int64_t, 6> candidates = {
                d >= 2 ? cost(i, d - 1) + BeadCost(0, t[d], 0, 0) : unavailable,
                i >= 2 ? cost(i - 1, d) + BeadCost(s[i], 0, 0, 0) : unavailable,
                i >= 2 && d >= 2 ? cost(i - 1, d - 1) + BeadCost(s[i], t[d], 0, 0) : unavailable,
                i >= 2 && d >= 3 ? cost(i - 1, d - 2) + BeadCost(s[i], t[d - 1], 0, t[d])
                                 : unavailable,
                i >= 3 && d >= 2 ? cost(i - 2, d - 1) + BeadCost(s[i - 1], t[d], s[i], 0)
                                 : unavailable,
                i >= 3 && d >= 3 ? cost(i - 2, d - 2) + BeadCost(s[i - 1], t[d - 1], s[i], t[d])
                                 : unavailable,
            };
            // The first minimum wins, so on equal costs the lower code is chosen.
            std::size_t best = 0;
            for (std::size_t code = 1; code < candidates.size(); ++code) {
                if (candidates[code] < candidates[best]) {
                    best = code;
                }
            }
            m_cost[cell] = candidates[best];
            m_path[cell] = static_cast<BeadKind>(best);
        }
    }
}

BeadKind CSentenceAligner::PathCode(std::size_t i, std::size_t d) const {
    if (m_path.empty()) {
        return BeadKind::TargetOnly;
    }
    return m_path.at(i * (m_targetSegments.size() + 1) + d);
}

std::int64_t CSentenceAligner::Cost(std::size_t i, std::size_t d) const {
    if (m_cost.empty()) {
        return 0;
    }
    return m_cost.at(i * (m_targetSegments.size() + 1) + d);
}

} // namespace bitexa
