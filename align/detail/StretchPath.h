#pragma once

#include "align/detail/BeadTables.h"
#include "align/detail/LargeBuffer.h"
#include "align/detail/LexicalBonuses.h"
#include "align/model/BeadKind.h"
#include "align/model/LengthModel.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace bitexa {

struct PassSource;

// Told how many cells of the stretch are done (at most all (N-1)(M-1) of them, never fewer than
// told before); may throw to stop the work.
using CellObserver = std::function<void(std::uint64_t cellsDone)>;

// How the dynamic programme of a stretch is run. None of it changes a result; the defaults suit a
// desktop, and tests turn the knobs to reach every way through.
struct DpSettings {
    // Memory for path codes and saved cost rows. A stretch whose whole path table takes at most
    // `fullTableBytes` (and fits the budget) keeps it; a larger one keeps cost rows at
    // checkpoints and computes the rows between two of them again while tracing the path back.
    std::size_t memoryBudget = std::size_t{256} << 20;
    std::size_t fullTableBytes = std::size_t{32} << 20;
    // Threads for the passes over the rows.
    unsigned threads = 1;
    // A pass of fewer cells, or a stripe of fewer columns, runs on fewer threads: below these a
    // thread costs more than it saves.
    std::uint64_t minThreadCells = std::uint64_t{1} << 21;
    std::size_t minStripeColumns = 1024;
    // For tests: remembered bead costs (see BeadTables) and the row from which the sums are 64-bit.
    std::size_t costTableCap = BeadTables::DefaultCapEntries;
    std::size_t wideFromRow = std::numeric_limits<std::size_t>::max();
    // For tests: the width of the tiles that the trace back computes again (a multiple of 3;
    // 0: chosen by the stretch's size and the budget).
    std::size_t tileColumns = 0;
};

// The path of one stretch: the codes of cells (1, 1) to (N-1, M-1) of its dynamic programme and
// the cost of the last cell, for source lengths s and target lengths t (N = s.size() >= 2,
// M = t.size() >= 2). Computed at construction.
//
// The recurrence reads the two rows above a cell and the cell to its left, so a pass over the
// rows needs three rows of costs, however long the stretch. The path codes take N * M / 3 bytes:
// kept whole when that is small. Otherwise the forward pass cuts the table into tiles and keeps
// what a tile needs to be computed again on its own: the two cost rows above every block of
// rows, and the two cost columns left of every band of columns, for every row. The trace back
// from the last cell then computes again only the tiles that the path goes through, each from
// its saved rows and columns, and in a tile only the cells up and left of where the path
// enters it (cells depend on nothing right of or below them). A tile too large for the budget is
// cut into blocks of rows again. With blocks and bands of some sqrt(48 N) rows and columns,
// memory grows with the square root of the stretch's height times its width plus its height,
// about 13 MB for 20,000 x 20,000, and a path near the diagonal computes again about 2 sqrt(48 N)
// cells a row: a tenth of the cells of 20,000 x 20,000, fewer of a larger stretch.
class StretchPath {
public:
    //
    // `lexical`, when given, prices the beads by the lexical model: its bonuses come off the
    // costs of segments alone and, at the few cells whose segments share evidence, off the paired
    // beads' costs, which are compared again there; the one-to-two moves cost more.
    StretchPath(const LengthModel& model, std::vector<std::int64_t> s, std::vector<std::int64_t> t,
                const DpSettings& settings, const CellObserver* observer,
                std::unique_ptr<const LexicalBonuses> lexical = nullptr);
    StretchPath(const StretchPath&) = delete;
    StretchPath& operator=(const StretchPath&) = delete;
    ~StretchPath();

    std::int64_t TotalCost() const { return m_totalCost; }

    // The code of cell (i, d), 1 <= i < N, 1 <= d < M. Cells on the traced path and cells of a
    // kept table answer at once; any other cell's rows are computed again from the nearest
    // saved rows (slow, and kept for the next question: asking row by row costs little).
    BeadKind Code(std::size_t i, std::size_t d);

    // The cells of the path walked back from (N-1, M-1), last first, until an index falls
    // below 1; empty when the whole table is kept.
    struct Step {
        std::size_t i;
        std::size_t d;
        BeadKind code;
    };
    const std::vector<Step>& Walk() const { return m_walk; }

private:
    struct Saved;
    struct Work;

    void TraceTop(Work& work);
    void TraceTile(Work& work, std::size_t first, std::size_t end, std::size_t firstColumn,
                   const Saved* above, const std::int64_t* halo);
    std::size_t BlockRows(std::size_t rows, std::size_t lastColumn) const;
    std::size_t TileColumns(std::size_t rows, std::size_t block, std::size_t lastColumn) const;
    void FillCodes(std::size_t first, std::size_t end);
    PassSource Source(Work* work);

    LengthModel m_model;
    std::vector<std::int64_t> m_s;
    std::vector<std::int64_t> m_t;
    DpSettings m_settings;
    std::unique_ptr<const LexicalBonuses> m_lexical;
    std::unique_ptr<BeadTables> m_beads;
    std::vector<std::int64_t> m_sourceAlone;
    std::vector<std::int64_t> m_targetAlone;
    std::int64_t m_totalCost = 0;

    // The whole table, when kept.
    LargeBuffer m_table;
    std::size_t m_rowBytes = 0;

    std::vector<Step> m_walk;
    std::vector<std::uint8_t> m_blockCodes; // of the block being traced
    std::size_t m_walkRow = 0;              // the trace back's position (row, column)
    std::size_t m_walkColumn = 0;

    // The rows above each top-level block, also for codes asked off the path.
    std::vector<std::size_t> m_blockStarts;
    std::vector<std::unique_ptr<Saved>> m_blockAbove;
    // The first column of every band but the first (column 1), and the two cost columns left
    // of it for every row (PassPlan::halo).
    std::vector<std::size_t> m_bandStarts;
    std::vector<std::vector<std::int64_t>> m_bandHalo;
    // The codes of rows [m_codesFirst, m_codesEnd) at full width, last computed off the path.
    std::vector<std::uint8_t> m_codes;
    std::size_t m_codesFirst = 0;
    std::size_t m_codesEnd = 0;
};

} // namespace bitexa
