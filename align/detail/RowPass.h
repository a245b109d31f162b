#pragma once

#include "align/detail/BeadTables.h"
#include "align/detail/RowFiller.h"
#include "align/model/LengthModel.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace bitexa {

// What a pass over rows of one stretch reads, and how it is spread.
struct PassSource {
    BeadTables& beads; // by the calling thread only, unless it holds every cost
    const std::vector<std::int64_t>& sourceAlone; // by row
    ColumnCosts columns;
    unsigned threads = 1;
    // Stripes narrower than this, or passes of fewer cells, are not worth a thread.
    std::size_t minStripeColumns = 1;
    std::uint64_t minThreadCells = 0;
    std::size_t wideFromRow = std::numeric_limits<std::size_t>::max();
    // Told the cells filled so far in this pass, from the calling thread, about every million
    // cells; may throw to stop the pass.
    std::function<void(std::uint64_t cellsDone)> progress;
};

// One pass: rows [first, end) over columns firstColumn .. lastColumn.
struct PassPlan {
    std::size_t first = 1;
    std::size_t end = 1;
    std::size_t firstColumn = 1; // 1, or a column c with c - 1 a multiple of 3
    std::size_t lastColumn = 1;
    // Rows first - 2 and first - 1, indexed by column + SavedRowOffset; null when first == 1.
    const std::int64_t* twoBack = nullptr;
    const std::int64_t* oneBack = nullptr;
    // Right of column 1, the costs of columns firstColumn - 2 and firstColumn - 1 of every row
    // i of the pass: halo[2 * i] and halo[2 * i + 1].
    const std::int64_t* halo = nullptr;
    // Path codes of rows [codesFirst, end), codeRowBytes a row, the first byte of a row holding
    // column firstColumn (PathTable.h, as if the table began there), if wanted.
    std::uint8_t* codes = nullptr;
    std::size_t codesFirst = 1;
    std::size_t codeRowBytes = 0;
    // Rows whose costs are copied out (ascending), into rows indexed by column + SavedRowOffset.
    std::vector<std::pair<std::size_t, std::int64_t*>> saves;
    // Columns c (ascending, c - 1 a multiple of 3, firstColumn < c <= lastColumn) before which
    // the costs of the two columns c - 2 and c - 1 are copied out for every row i of the pass,
    // as a halo above: into out[2 * i] and out[2 * i + 1].
    std::vector<std::pair<std::size_t, std::int64_t*>> columnSaves;
};

// Runs the pass and returns the cost of its last cell (end - 1, lastColumn).
//
// With several threads, the columns are cut into stripes, one a thread, and each row goes from
// stripe to stripe: a stripe fills row i once the stripe to its left has filled it, reading the
// two costs that the left stripe hands over for the row. The stripes run rows apart, all at once.
// The calling thread fills the first stripe and gives progress; a stop (the progress throwing, or
// any failure in a thread) stops every stripe, waits for all of them and throws on the calling
// thread.
std::int64_t RunPass(const PassSource& source, const PassPlan& plan);

} // namespace bitexa
