#include "align/detail/PathTable.h"

#include "align/detail/MoveComparison.h"

#include <algorithm>
#include <array>

namespace bitexa {

namespace {

// Columns handled per pass of the inner loops: the pass's working arrays stay in the first-level
// cache.
constexpr std::size_t ChunkColumns = 512;

// The largest cost a bead can have: an impossible match and the penalty of a segment alone.
constexpr std::int64_t LargestBead = ImpossibleCost + 450;

// What the rows of either width share: the stretch, the path being written, the bead costs.
struct FillContext {
    FillContext(const LengthModel& model, const std::vector<std::int64_t>& s,
                const std::vector<std::int64_t>& t, std::uint8_t* path, std::size_t costTableCap)
        : model(model), s(s), t(t), path(path), rowBytes(PathRowBytes(t.size())),
          beads(model, s, t, costTableCap), rowCodes(3 * rowBytes + 1, 0),
          rowsPerObservation(std::max<std::size_t>(1, (std::size_t{1} << 20) / t.size())) {}

    const LengthModel& model;
    const std::vector<std::int64_t>& s;
    const std::vector<std::int64_t>& t;
    std::uint8_t* path;
    std::size_t rowBytes;
    BeadTables beads;
    // The codes of the row being filled, by column, with room for a whole last byte.
    std::vector<std::uint8_t> rowCodes;
    // The bead costs of the row being filled, the two shapes that share a target key side by side,
    // so that a column finds both with one lookup.
    std::vector<std::uint32_t> bySingle;
    std::vector<std::uint32_t> byPair;
    const RowObserver* observer = nullptr;
    // Rows between two calls of the observer: about a million cells.
    std::size_t rowsPerObservation = 1;
};

template <typename Cost> class RowFiller {
public:
    explicit RowFiller(FillContext& context)
        : m_context(context), m_columns(context.t.size()), m_targetAlone(m_columns, 0),
          m_rowStore(3 * m_columns, 0) {
        for (std::size_t d = 1; d < m_columns; ++d) {
            m_targetAlone[d] = context.model.BeadCost(0, context.t[d], 0, 0);
        }
        m_twoBack = m_rowStore.data();
        m_oneBack = m_twoBack + m_columns;
        m_current = m_oneBack + m_columns;
    }

    // Continues where a filler of narrower sums stopped.
    template <typename Narrower> void TakeRowsFrom(const Narrower& narrower) {
        std::copy_n(narrower.OneBack(), m_columns, m_oneBack);
        std::copy_n(narrower.TwoBack(), m_columns, m_twoBack);
    }

    // Fills rows i, i+1, ... up to N-1, but not `stop` and after, nor (in 32 bits) a row whose
    // sums could reach 2^31. Returns the first row left unfilled, N when all are done.
    std::size_t FillRows(std::size_t i, std::size_t stop) {
        for (; i < m_context.s.size() && i < stop && FitsInCost(); ++i) {
            FillRow(i);
            if (m_context.observer != nullptr && i % m_context.rowsPerObservation == 0) {
                (*m_context.observer)(i);
            }
        }
        return i;
    }

    // The cost of the last cell of the last row filled.
    std::int64_t LastCost() const { return m_oneBack[m_columns - 1]; }

    const Cost* OneBack() const { return m_oneBack; }
    const Cost* TwoBack() const { return m_twoBack; }

private:
    // A sum in row i is a cost of the two rows above plus a bead, or a cost of row i, which is
    // at most a cost above plus a bead, plus a target segment alone. The rows' largest costs
    // are known by bounds that cost nothing to keep (see FillRow); only when a bound comes near
    // the limit are the rows themselves looked at.
    bool FitsInCost() {
        const auto fits = [this] {
            return std::max(m_bounds[0], m_bounds[1]) + 2 * LargestBead <=
                   std::numeric_limits<Cost>::max();
        };
        if (fits()) {
            return true;
        }
        m_bounds[0] = *std::max_element(m_oneBack, m_oneBack + m_columns);
        m_bounds[1] = *std::max_element(m_twoBack, m_twoBack + m_columns);
        return fits();
    }

    void FillRow(std::size_t i) {
        FillContext& c = m_context;
        const BeadTables::Rows beads = c.beads.ForRow(i);
        const Cost sourceAlone = c.model.BeadCost(c.s[i], 0, 0, 0);
        if (i < 3) {
            for (std::size_t d = 1; d < m_columns; ++d) {
                EdgeCell(i, d, beads, sourceAlone);
            }
        } else {
            PairBeadCosts(beads);
            for (std::size_t d = 1; d < std::min<std::size_t>(m_columns, 3); ++d) {
                EdgeCell(i, d, beads, sourceAlone);
            }
            for (std::size_t from = 3; from < m_columns; from += ChunkColumns) {
                InnerCells(from, std::min(m_columns, from + ChunkColumns), sourceAlone);
            }
        }
        PackCodes(c.path + (i - 1) * c.rowBytes);
        Cost* recycled = m_twoBack;
        m_twoBack = m_oneBack;
        m_oneBack = m_current;
        m_current = recycled;
        // The first two rows have an unavailable move in every cell, so cost at most 50000.
        // Below, a cell costs at most the one above plus the row's source segment alone.
        const std::int64_t bound = i < 3 ? ImpossibleCost : m_bounds[0] + sourceAlone;
        m_bounds = {bound, m_bounds[0]};
    }

    void PairBeadCosts(const BeadTables::Rows& beads) {
        FillContext& c = m_context;
        c.bySingle.resize(c.beads.TargetSingleKeys());
        for (std::size_t k = 0; k < c.bySingle.size(); ++k) {
            c.bySingle[k] = beads.oneToOne[k] | std::uint32_t{beads.twoToOne[k]} << 16;
        }
        c.byPair.resize(c.beads.TargetPairKeys());
        for (std::size_t k = 0; k < c.byPair.size(); ++k) {
            c.byPair[k] = beads.oneToTwo[k] | std::uint32_t{beads.twoToTwo[k]} << 16;
        }
    }

    // A cell of the first two rows or columns, where some moves are unavailable: those compete
    // with the impossible cost, in code order like the others.
    void EdgeCell(std::size_t i, std::size_t d, const BeadTables::Rows& beads, Cost sourceAlone) {
        FillContext& c = m_context;
        if (i == 1 && d == 1) {
            // The first segments of a stretch are paired unconditionally.
            m_current[1] = 0;
            c.rowCodes[1] = static_cast<std::uint8_t>(BeadKind::OneToOne);
            return;
        }
        const std::vector<std::uint32_t>& single = c.beads.TargetSingles();
        const std::vector<std::uint32_t>& pair = c.beads.TargetPairs();
        constexpr Cost unavailable = ImpossibleCost;
        const Cost* oneBack = m_oneBack;
        const Cost* twoBack = m_twoBack;
        const std::array<Cost, 6> candidates = {
            d >= 2 ? m_current[d - 1] + m_targetAlone[d] : unavailable,
            i >= 2 ? oneBack[d] + sourceAlone : unavailable,
            i >= 2 && d >= 2 ? oneBack[d - 1] + beads.oneToOne[single[d]] : unavailable,
            i >= 2 && d >= 3 ? oneBack[d - 2] + beads.oneToTwo[pair[d]] : unavailable,
            i >= 3 && d >= 2 ? twoBack[d - 1] + beads.twoToOne[single[d]] : unavailable,
            i >= 3 && d >= 3 ? twoBack[d - 2] + beads.twoToTwo[pair[d]] : unavailable,
        };
        std::size_t best = 0;
        for (std::size_t code = 1; code < candidates.size(); ++code) {
            if (candidates[code] < candidates[best]) {
                best = code;
            }
        }
        m_current[d] = candidates[best];
        c.rowCodes[d] = static_cast<std::uint8_t>(best);
    }

    // Cells (i, from) .. (i, to - 1) with i >= 3 and from >= 3, where every move is available:
    // moves 1 to 5, which read only the rows above, are compared for all columns at once, and
    // move 0, which reads the cell to the left, is added after.
    void InnerCells(std::size_t from, std::size_t to, Cost sourceAlone) {
        FillContext& c = m_context;
        const std::size_t count = to - from;
        const MovePass<Cost> pass{count,
                                  m_oneBack + from,
                                  m_twoBack + from,
                                  sourceAlone,
                                  c.beads.TargetSingles().data() + from,
                                  c.beads.TargetPairs().data() + from,
                                  c.bySingle.data(),
                                  c.byPair.data()};
        CompareMoves(pass, m_best.data(), m_moves.data());
        AddTargetAlone(count, m_targetAlone.data() + from, m_best.data(), m_moves.data(),
                       m_current + from, c.rowCodes.data() + from);
    }

    // Codes of columns 1 .. M-1, three to a byte; the codes past the last column are 0.
    void PackCodes(std::uint8_t* rowPath) const {
        const std::uint8_t* codes = m_context.rowCodes.data() + 1;
        for (std::size_t b = 0; b < m_context.rowBytes; ++b, codes += 3) {
            rowPath[b] = static_cast<std::uint8_t>(codes[0] + 6 * codes[1] + 36 * codes[2]);
        }
    }

    FillContext& m_context;
    std::size_t m_columns;
    std::vector<Cost> m_targetAlone;
    // Rows i-2, i-1 and i of the costs.
    std::vector<Cost> m_rowStore;
    Cost* m_twoBack;
    Cost* m_oneBack;
    Cost* m_current;
    // Bounds on the largest costs of rows i-1 and i-2 (rows 0 and -1 hold none).
    std::array<std::int64_t, 2> m_bounds{};
    // Working arrays of one pass.
    std::array<Cost, ChunkColumns> m_best{};
    std::array<std::int32_t, ChunkColumns> m_moves{};
};

constexpr std::uint8_t PowersOfSix[3] = {1, 6, 36};

} // namespace

std::size_t PathRowBytes(std::size_t targetCount) {
    return targetCount < 2 ? 0 : (targetCount - 1 + 2) / 3;
}

BeadKind PathCodeAt(const std::uint8_t* path, std::size_t rowBytes, std::size_t i, std::size_t d) {
    const std::uint8_t digits = path[(i - 1) * rowBytes + (d - 1) / 3];
    return static_cast<BeadKind>(digits / PowersOfSix[(d - 1) % 3] % 6);
}

std::int64_t FillPathTable(const LengthModel& model, const std::vector<std::int64_t>& s,
                           const std::vector<std::int64_t>& t, std::uint8_t* path,
                           const RowObserver* observer, std::size_t costTableCap,
                           std::size_t wideFromRow) {
    FillContext context(model, s, t, path, costTableCap);
    context.observer = observer;
    RowFiller<std::int32_t> narrow(context);
    const std::size_t next = narrow.FillRows(1, wideFromRow);
    if (next == s.size()) {
        return narrow.LastCost();
    }
    RowFiller<std::int64_t> wide(context);
    wide.TakeRowsFrom(narrow);
    wide.FillRows(next, s.size());
    return wide.LastCost();
}

} // namespace bitexa
