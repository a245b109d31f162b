#pragma once

#include "align/SentenceAligner.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitexa {

// What made a row: the bead of the path it comes from, or the fixed pair a stretch starts with.
// The first six values are the bead codes.
enum class RowKind : std::uint8_t {
    TargetOnly = 0, // 0-1
    SourceOnly = 1, // 1-0
    OneToOne = 2,
    OneToTwo = 3,
    TwoToOne = 4,
    TwoToTwo = 5,
    // The pair a stretch's walk ends on, which the aligner pairs without weighing it: a matched
    // anchor pair, or in the first stretch the two leading entries of the texts.
    Anchor = 6,
};

// Where the joiner stands in a cell of two segments: the length of the first segment (an export
// takes the cell apart there: its text alone cannot tell the joiner's blank from the text's own).
inline constexpr std::size_t NoJoin = static_cast<std::size_t>(-1);

// How one row came about, beside its two cells. Filled from the same walk as the cells; the rows
// themselves never depend on it.
struct RowInfo {
    RowKind kind = RowKind::OneToOne;
    // The length model's cost of the row's bead (-100 ln p plus the shape's penalty); 0 for an
    // anchor row, ImpossibleCost for a move the path took where it was not available.
    int cost = 0;
    // How many of the side's segments share the cell: 0, 1 or 2, in the side's order.
    std::uint8_t sourceSegments = 0;
    std::uint8_t targetSegments = 0;
    // NoJoin where the cell holds one segment or none.
    std::size_t sourceJoin = NoJoin;
    std::size_t targetJoin = NoJoin;

    bool operator==(const RowInfo&) const = default;
};

// One entry per row, parallel to the column lists.
using RowInfoList = std::vector<RowInfo>;

// GetColumns of an aligned stretch, and with each row how it came about.
void GetRows(const CSentenceAligner& aligner, ColumnList& sourceColumn, ColumnList& targetColumn,
             RowInfoList& rowInfo);

} // namespace bitexa
