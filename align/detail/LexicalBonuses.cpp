#include "align/detail/LexicalBonuses.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace bitexa {

LexicalBonuses::LexicalBonuses(std::shared_ptr<const StretchEvidence> evidence,
                               const LexicalWeights& weights)
    : m_evidence(std::move(evidence)), m_weights(weights) {
    const StretchEvidence& e = *m_evidence;
    // A paired bead's bonus is at most its similarity term, its segments' alone bonuses and a
    // unit of rounding; a segment is in one bead of a path.
    const auto beads = static_cast<std::int64_t>(e.sourceMass.size() + e.targetMass.size());
    m_largestDrop = beads * (static_cast<std::int64_t>(std::ceil(m_weights.dice)) + 2);
    for (const float mass : e.sourceMass) {
        m_largestDrop += AloneBonus(m_weights, mass) + 1;
    }
    for (const float mass : e.targetMass) {
        m_largestDrop += AloneBonus(m_weights, mass) + 1;
    }
}

std::int64_t LexicalBonuses::SourceAlone(std::size_t i) const {
    return AloneBonus(m_weights, m_evidence->sourceMass[i]);
}

std::int64_t LexicalBonuses::TargetAlone(std::size_t d) const {
    return AloneBonus(m_weights, m_evidence->targetMass[d]);
}

namespace {

// The pairs of one row of evidence from column `from` on, columns ascending.
std::pair<const std::uint32_t*, const std::uint32_t*> PairsFrom(const StretchEvidence& evidence,
                                                                std::size_t row, std::size_t from) {
    const std::uint32_t* first = evidence.column.data() + evidence.rowStart[row];
    const std::uint32_t* last = evidence.column.data() + evidence.rowStart[row + 1];
    return {std::lower_bound(first, last, static_cast<std::uint32_t>(from)), last};
}

// The pairs of one row of evidence, read in column order.
class RowCursor {
public:
    RowCursor(const StretchEvidence& evidence, std::size_t row, std::size_t from)
        : m_column(PairsFrom(evidence, row, from).first),
          m_end(evidence.column.data() + evidence.rowStart[row + 1]),
          m_matched(evidence.matched.data() + (m_column - evidence.column.data())) {}

    // The matched weight of column d; the columns asked never go down.
    float At(std::uint32_t d) {
        while (m_column != m_end && *m_column < d) {
            ++m_column;
            ++m_matched;
        }
        return m_column != m_end && *m_column == d ? *m_matched : 0.0f;
    }

private:
    const std::uint32_t* m_column;
    const std::uint32_t* m_end;
    const float* m_matched;
};

// The columns d and d + 1 of every pair of a row, ascending, each once: the cells whose beads
// reach that pair.
class ReachedColumns {
public:
    ReachedColumns(const StretchEvidence& evidence, std::size_t row, std::size_t from)
        : m_column(PairsFrom(evidence, row, from).first),
          m_end(evidence.column.data() + evidence.rowStart[row + 1]) {}

    bool Done() const { return m_column == m_end; }
    std::uint32_t Next() const { return *m_column + (m_second ? 1 : 0); }
    void Advance() {
        // d + 1 comes before the next pair's d only if that is further on.
        if (!m_second) {
            m_second = true;
        } else {
            m_second = false;
            ++m_column;
        }
        if (m_second && m_column + 1 != m_end && m_column[1] == *m_column + 1) {
            m_second = false; // d + 1 is the next pair's own column
            ++m_column;
        }
    }

private:
    const std::uint32_t* m_column;
    const std::uint32_t* m_end;
    bool m_second = false;
};

} // namespace

void LexicalBonuses::Row(std::size_t i, std::size_t from, std::size_t to,
                         std::vector<CellBonus>& out) const {
    out.clear();
    const StretchEvidence& e = *m_evidence;
    if (i == 0 || i + 1 >= e.rowStart.size() || from >= to) {
        return;
    }
    // A pair in column from - 1 reaches column from.
    const std::size_t reachFrom = from > 0 ? from - 1 : 0;
    ReachedColumns here(e, i, reachFrom);
    ReachedColumns above(e, i - 1, reachFrom);
    RowCursor hereNow(e, i, reachFrom);
    RowCursor hereLeft(e, i, reachFrom);
    RowCursor aboveNow(e, i - 1, reachFrom);
    RowCursor aboveLeft(e, i - 1, reachFrom);
    BeadEvidence bead;
    bead.sourceMass[1] = e.sourceMass[i];
    bead.sourceMass[0] = e.sourceMass[i - 1];
    while (!here.Done() || !above.Done()) {
        // The next reached column of either row.
        std::uint32_t d = here.Done()    ? above.Next()
                          : above.Done() ? here.Next()
                                         : std::min(here.Next(), above.Next());
        if (!here.Done() && here.Next() == d) {
            here.Advance();
        }
        if (!above.Done() && above.Next() == d) {
            above.Advance();
        }
        if (d >= to) {
            break;
        }
        if (d < from || d < 1) {
            continue;
        }
        bead.matched[1][1] = hereNow.At(d);
        bead.matched[1][0] = hereLeft.At(d - 1);
        bead.matched[0][1] = aboveNow.At(d);
        bead.matched[0][0] = aboveLeft.At(d - 1);
        bead.targetMass[1] = e.targetMass[d];
        bead.targetMass[0] = e.targetMass[d - 1];
        CellBonus cell{d, {}};
        PairedBonuses(m_weights, bead, cell.bonus);
        if (cell.bonus[0] != 0 || cell.bonus[1] != 0 || cell.bonus[2] != 0 || cell.bonus[3] != 0) {
            out.push_back(cell);
        }
    }
}

} // namespace bitexa
