#pragma once

#include "align/RowInfo.h"
#include "text/SentenceList.h"

#include <string>
#include <vector>

namespace bitexa {

// The segments that share one cell, in the side's order. The cell shows them joined by the
// side's joiner; no segment holds a line break.
using Segments = std::vector<std::wstring>;

enum class Side { Source, Target };

// Why a row is worth a second look: a segment without a partner, more than one segment on a
// side, or a pair whose lengths fit badly. Empty segments (blank lines) do not count: a bead of
// one sentence and one blank line pairs one sentence.
enum class Doubt { None, OneSided, Uneven, Costly };

// The cost from which a pair of one segment a side counts as costly: a length difference that
// the model gives a probability of about 5 % or less (-100 ln 0.05).
inline constexpr int CostlyPairCost = 300;

// One row of the alignment as the user sees and corrects it.
struct AlignedRow {
    Segments source;
    Segments target;
    // How the run made the row; it says nothing any more once the row is corrected.
    RowInfo info;
    // What the run's rows gave to doubt; see DoubtOf.
    Doubt doubt = Doubt::None;
    bool corrected = false;

    Segments& Cell(Side side) { return side == Side::Source ? source : target; }
    const Segments& Cell(Side side) const { return side == Side::Source ? source : target; }
    bool operator==(const AlignedRow&) const = default;
};

using AlignedRows = std::vector<AlignedRow>;

// The text put between two segments of a side that share a cell (a blank for English).
struct Joiners {
    std::wstring source;
    std::wstring target;

    const std::wstring& Of(Side side) const { return side == Side::Source ? source : target; }
};

// The cell's text: its segments joined by the side's joiner.
std::wstring CellText(const Segments& segments, const std::wstring& joiner);

// The rows of a run with the segments of each cell, from the column lists, how each row came
// about, and the two segment lists the run aligned (every segment in exactly one row, each
// side's in order), with what each row gives to doubt under the run's length ratio. A row's
// cells read exactly as the column lists do.
AlignedRows RowsOfRun(const ColumnList& sourceColumn, const ColumnList& targetColumn,
                      const RowInfoList& rowInfo, const SentenceList& sourceSegments,
                      const SentenceList& targetSegments, double ratio);

// The cells of every row as two column lists, as the result file takes them.
ColumnList ColumnOf(const AlignedRows& rows, Side side, const std::wstring& joiner);

// Whether the row is worth a second look. Rows the user has corrected are not.
Doubt DoubtOf(const AlignedRow& row);

} // namespace bitexa
