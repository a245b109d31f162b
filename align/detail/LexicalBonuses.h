#pragma once

#include "align/model/LexicalModel.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace bitexa {

// Where the beads of a cell share evidence: the bonuses (LexicalModel.h) that moves 2 to 5 take
// off their bead costs there. Every other cell's paired beads get none.
struct CellBonus {
    std::uint32_t column;
    std::int64_t bonus[4]; // one to one, one to two, two to one, two to two
};

// The lexical model's terms of one stretch as the dynamic programme reads them: the bonuses of
// segments alone (taken off the costs of a segment alone, by row and by column), the cost of the
// one-to-two moves (added to their bead tables), and, row by row, the few cells whose beads share
// evidence. Shared by all threads of a pass; every call is const.
class LexicalBonuses {
public:
    LexicalBonuses(std::shared_ptr<const StretchEvidence> evidence, const LexicalWeights& weights);

    std::int64_t SourceAlone(std::size_t i) const;
    std::int64_t TargetAlone(std::size_t d) const;
    int OneToTwoMove() const { return m_weights.oneToTwo; }

    // The cells of row i, columns [from, to), where a paired bead's segments share evidence,
    // columns ascending: those where segments i or i - 1 share evidence with d or d - 1. Each
    // stripe of a pass asks for its own columns.
    void Row(std::size_t i, std::size_t from, std::size_t to, std::vector<CellBonus>& out) const;

    // More than any path's bonuses can take off a cost: every segment's bonus alone, and every
    // bead's similarity with its rounding.
    std::int64_t LargestDrop() const { return m_largestDrop; }

private:
    std::shared_ptr<const StretchEvidence> m_evidence;
    LexicalWeights m_weights;
    std::int64_t m_largestDrop = 0;
};

} // namespace bitexa
