#pragma once

#include "align/detail/LexicalBonuses.h"
#include "align/detail/MoveComparison.h"
#include "align/model/BeadKind.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace bitexa {

// The bead costs of alignment row i against every target key, two shapes to an entry so that a
// column finds both with one lookup: by single target key one to one (low half) and two to one
// (high half), by pair key one to two and two to two. Halves of shapes that the row cannot have
// (two source segments before row 3) are 0 and never read.
struct RowBeads {
    std::int64_t sourceAlone = 0; // the row's source segment alone
    std::vector<std::uint32_t> bySingle;
    std::vector<std::uint32_t> byPair;
};

// What every row of a stretch reads by column: the target keys (single for d >= 2, pair for
// d >= 3) and the cost of the column's target segment alone; under the lexical model, the cells
// where a paired bead's segments share evidence (null under the length model).
struct ColumnCosts {
    const std::uint32_t* single;
    const std::uint32_t* pair;
    const std::int64_t* targetAlone;
    const LexicalBonuses* lexical = nullptr;
};

// The largest cost a bead can have: an impossible match and the penalty of a segment alone.
inline constexpr std::int64_t LargestBead = ImpossibleCost + 450;

// Rows of saved costs are indexed by column + 2, so that the two columns left of column 1 fit.
inline constexpr std::size_t SavedRowOffset = 2;

// Fills columns [from, to) of one row after another, keeping the three cost rows that the
// recurrence reads. The two columns left of `from` (the halo) belong to whoever fills the columns
// there, and are handed in with each row: a stripe to the left, or nothing left of column 1.
template <typename Cost> class RowFiller {
public:
    RowFiller(const ColumnCosts& columns, std::size_t from, std::size_t to)
        : m_columns(columns), m_from(from), m_to(to), m_width(to - from + 2),
          m_rowStore(3 * m_width, 0), m_targetAlone(to - from), m_codes(to - from + 3, 0) {
        for (std::size_t d = from; d < to; ++d) {
            m_targetAlone[d - from] = static_cast<Cost>(columns.targetAlone[d]);
        }
        m_twoBack = m_rowStore.data();
        m_oneBack = m_twoBack + m_width;
        m_current = m_oneBack + m_width;
    }

    // The rows above the first row to fill, indexed by column + SavedRowOffset; null for none.
    void Load(const std::int64_t* twoBack, const std::int64_t* oneBack) {
        for (std::size_t k = 0; k < m_width; ++k) {
            const std::size_t saved = m_from - 2 + k + SavedRowOffset;
            m_twoBack[k] = twoBack != nullptr ? static_cast<Cost>(twoBack[saved]) : 0;
            m_oneBack[k] = oneBack != nullptr ? static_cast<Cost>(oneBack[saved]) : 0;
        }
        m_bounds = {Largest(m_oneBack), Largest(m_twoBack)};
    }

    // Continues where a filler of narrower sums stopped.
    template <typename Narrower> void TakeRowsFrom(const RowFiller<Narrower>& narrower) {
        std::copy_n(narrower.OneBack(), m_width, m_oneBack);
        std::copy_n(narrower.TwoBack(), m_width, m_twoBack);
        m_bounds = narrower.Bounds();
    }

    // Whether the sums of the next row stay below the limit of Cost, the halo of that row being
    // at most `haloLargest`. A sum is a cost of the two rows above (or the halo) plus a bead, or
    // a cost of the row plus a target segment alone; a cost of the row is at most a cost above
    // plus a bead. The rows' largest costs are known by bounds that cost nothing to keep; only
    // when a bound comes near the limit are the rows themselves looked at.
    bool Fits(std::int64_t haloLargest) {
        const auto fits = [&] {
            return std::max({m_bounds[0], m_bounds[1], haloLargest}) + 2 * LargestBead <=
                   std::numeric_limits<Cost>::max();
        };
        if (fits()) {
            return true;
        }
        m_bounds = {Largest(m_oneBack), Largest(m_twoBack)};
        return fits();
    }

    // Row i, whose halo costs are haloTwo (column from - 2) and haloOne (column from - 1).
    void Fill(std::size_t i, const RowBeads& beads, std::int64_t haloTwo, std::int64_t haloOne) {
        m_current[0] = static_cast<Cost>(haloTwo);
        m_current[1] = static_cast<Cost>(haloOne);
        const Cost sourceAlone = static_cast<Cost>(beads.sourceAlone);
        // The row's bonuses in this filler's columns, taken in column order: each stripe works
        // out its own.
        if (m_columns.lexical != nullptr) {
            m_columns.lexical->Row(i, m_from, m_to, m_bonuses);
        }
        m_bonus = m_bonuses.cbegin();
        m_bonusEnd = m_bonuses.cend();
        if (i < 3) {
            for (std::size_t d = m_from; d < m_to; ++d) {
                EdgeCell(i, d, beads, sourceAlone);
            }
        } else {
            const std::size_t inner = std::clamp<std::size_t>(3, m_from, m_to);
            for (std::size_t d = m_from; d < inner; ++d) {
                EdgeCell(i, d, beads, sourceAlone);
            }
            for (std::size_t start = inner; start < m_to; start += ChunkColumns) {
                InnerCells(start, std::min(m_to, start + ChunkColumns), beads, sourceAlone);
            }
        }
        Cost* recycled = m_twoBack;
        m_twoBack = m_oneBack;
        m_oneBack = m_current;
        m_current = recycled;
        // The first two rows have an unavailable move in every cell, so cost at most 50000.
        // Below, a cell costs at most the one above plus the row's source segment alone.
        const std::int64_t halo = std::max(haloTwo, haloOne);
        const std::int64_t bound =
            std::max(i < 3 ? std::int64_t{ImpossibleCost} : m_bounds[0] + beads.sourceAlone, halo);
        m_bounds = {bound, m_bounds[0]};
    }

    // The cost of column d (from - 2 <= d < to) of the row filled last.
    std::int64_t At(std::size_t d) const { return m_oneBack[d + 2 - m_from]; }

    // The codes of the row filled last into the bytes of its row of path codes (see
    // PathTable.h), whose first byte holds column `firstColumn`; `from - firstColumn` is a
    // multiple of 3, so no byte is shared with another filler.
    void PackCodes(std::uint8_t* rowPath, std::size_t firstColumn = 1) const {
        const std::uint8_t* codes = m_codes.data();
        std::uint8_t* out = rowPath + (m_from - firstColumn) / 3;
        for (std::size_t k = 0; k < m_to - m_from; k += 3, codes += 3) {
            *out++ = static_cast<std::uint8_t>(codes[0] + 6 * codes[1] + 36 * codes[2]);
        }
    }

    // The costs of the row filled last, columns [from, to), into a saved row.
    void CopyRow(std::int64_t* saved) const {
        for (std::size_t d = m_from; d < m_to; ++d) {
            saved[d + SavedRowOffset] = At(d);
        }
    }

    const Cost* OneBack() const { return m_oneBack; }
    const Cost* TwoBack() const { return m_twoBack; }
    const std::array<std::int64_t, 2>& Bounds() const { return m_bounds; }

private:
    // Columns handled per pass of the inner loops: the pass's working arrays stay in the
    // first-level cache.
    static constexpr std::size_t ChunkColumns = 512;

    std::int64_t Largest(const Cost* row) const { return *std::max_element(row, row + m_width); }

    // A cell of the first two rows or columns, where some moves are unavailable: those compete
    // with the impossible cost, in code order like the others.
    void EdgeCell(std::size_t i, std::size_t d, const RowBeads& beads, Cost sourceAlone) {
        const std::size_t k = d + 2 - m_from;
        std::uint8_t& code = m_codes[d - m_from];
        if (i == 1 && d == 1) {
            // The first segments of a stretch are paired unconditionally.
            m_current[k] = 0;
            code = static_cast<std::uint8_t>(BeadKind::OneToOne);
            return;
        }
        constexpr Cost unavailable = ImpossibleCost;
        const auto single = [&] { return beads.bySingle[m_columns.single[d]]; };
        const auto pair = [&] { return beads.byPair[m_columns.pair[d]]; };
        const CellBonus* cell = BonusAt(d);
        const auto bonus = [cell](int move) {
            return cell != nullptr ? static_cast<Cost>(cell->bonus[move - 2]) : Cost{0};
        };
        const std::array<Cost, 6> candidates = {
            d >= 2 ? m_current[k - 1] + m_targetAlone[d - m_from] : unavailable,
            i >= 2 ? m_oneBack[k] + sourceAlone : unavailable,
            i >= 2 && d >= 2 ? m_oneBack[k - 1] + static_cast<Cost>(single() & 0xFFFF) - bonus(2)
                             : unavailable,
            i >= 2 && d >= 3 ? m_oneBack[k - 2] + static_cast<Cost>(pair() & 0xFFFF) - bonus(3)
                             : unavailable,
            i >= 3 && d >= 2 ? m_twoBack[k - 1] + static_cast<Cost>(single() >> 16) - bonus(4)
                             : unavailable,
            i >= 3 && d >= 3 ? m_twoBack[k - 2] + static_cast<Cost>(pair() >> 16) - bonus(5)
                             : unavailable,
        };
        std::size_t best = 0;
        for (std::size_t move = 1; move < candidates.size(); ++move) {
            if (candidates[move] < candidates[best]) {
                best = move;
            }
        }
        m_current[k] = candidates[best];
        code = static_cast<std::uint8_t>(best);
    }

    // Cells (i, start) .. (i, end - 1) with i >= 3 and start >= 3, where every move is
    // available: moves 1 to 5, which read only the rows above, are compared for all columns at
    // once, and move 0, which reads the cell to the left, is added after.
    void InnerCells(std::size_t start, std::size_t end, const RowBeads& beads, Cost sourceAlone) {
        const std::size_t k = start + 2 - m_from;
        const MovePass<Cost> pass{end - start,
                                  m_oneBack + k,
                                  m_twoBack + k,
                                  sourceAlone,
                                  m_columns.single + start,
                                  m_columns.pair + start,
                                  beads.bySingle.data(),
                                  beads.byPair.data()};
        CompareMoves(pass, m_best.data(), m_moves.data());
        if (m_bonus != m_bonusEnd) {
            AddBonuses(start, end, beads, sourceAlone);
        }
        AddTargetAlone(end - start, m_targetAlone.data() + (start - m_from), m_best.data(),
                       m_moves.data(), m_current + k, m_codes.data() + (start - m_from));
    }

    // The bonus of column d, if it has one; the columns are asked in order.
    const CellBonus* BonusAt(std::size_t d) {
        while (m_bonus != m_bonusEnd && m_bonus->column < d) {
            ++m_bonus;
        }
        return m_bonus != m_bonusEnd && m_bonus->column == d ? &*m_bonus : nullptr;
    }

    // The bonuses of columns [start, end): kept out of line, so that the length model's inner
    // loop stays as small as it was.
    [[gnu::noinline]] void AddBonuses(std::size_t start, std::size_t end, const RowBeads& beads,
                                      Cost sourceAlone) {
        // A column left of the pass was an edge cell, which took its bonus itself.
        for (; m_bonus != m_bonusEnd && m_bonus->column < end; ++m_bonus) {
            if (m_bonus->column >= start) {
                AddBonus(*m_bonus, start, beads, sourceAlone);
            }
        }
    }

    // Moves 1 to 5 of an inner cell compared again, in code order, with the cell's bonuses taken
    // off moves 2 to 5: the few cells whose beads share evidence, after the pass over all.
    void AddBonus(const CellBonus& cell, std::size_t start, const RowBeads& beads,
                  Cost sourceAlone) {
        const std::size_t d = cell.column;
        const Cost* oneBack = m_oneBack + (d + 2 - m_from);
        const Cost* twoBack = m_twoBack + (d + 2 - m_from);
        const std::uint32_t single = beads.bySingle[m_columns.single[d]];
        const std::uint32_t pair = beads.byPair[m_columns.pair[d]];
        const Cost candidates[4] = {
            oneBack[-1] + static_cast<Cost>(single & 0xFFFF) - static_cast<Cost>(cell.bonus[0]),
            oneBack[-2] + static_cast<Cost>(pair & 0xFFFF) - static_cast<Cost>(cell.bonus[1]),
            twoBack[-1] + static_cast<Cost>(single >> 16) - static_cast<Cost>(cell.bonus[2]),
            twoBack[-2] + static_cast<Cost>(pair >> 16) - static_cast<Cost>(cell.bonus[3]),
        };
        Cost value = oneBack[0] + sourceAlone;
        std::int32_t move = 1;
        for (std::int32_t c = 0; c < 4; ++c) {
            if (candidates[c] < value) {
                value = candidates[c];
                move = c + 2;
            }
        }
        m_best[d - start] = value;
        m_moves[d - start] = move;
    }

    ColumnCosts m_columns;
    std::size_t m_from;
    std::size_t m_to;
    std::size_t m_width; // the columns and the halo
    // Rows i-2, i-1 and i of the costs, halo first.
    std::vector<Cost> m_rowStore;
    Cost* m_twoBack;
    Cost* m_oneBack;
    Cost* m_current;
    std::vector<Cost> m_targetAlone;
    // The codes of the row being filled, by column from `from`, with room for a whole last byte.
    std::vector<std::uint8_t> m_codes;
    // Bounds on the largest costs of rows i-1 and i-2, halo included.
    std::array<std::int64_t, 2> m_bounds{};
    // Working arrays of one pass.
    std::array<Cost, ChunkColumns> m_best{};
    std::array<std::int32_t, ChunkColumns> m_moves{};
    // The bonuses of the row being filled in this filler's columns, the next one to take and
    // their end.
    std::vector<CellBonus> m_bonuses;
    std::vector<CellBonus>::const_iterator m_bonus;
    std::vector<CellBonus>::const_iterator m_bonusEnd;
};

// A filler that sums in 32 bits as long as no sum can reach 2^31 and in 64 bits from the first
// row where one could (or from `wideFromRow`, a knob for tests), without changing a result.
// `wideFromRow` 0 sums in 64 bits throughout: the lexical model's bonuses make costs fall, and a
// stretch whose costs could fall below -2^31 takes that way.
class StripeFiller {
public:
    StripeFiller(const ColumnCosts& columns, std::size_t from, std::size_t to,
                 std::size_t wideFromRow)
        : m_columns(columns), m_from(from), m_to(to), m_wideFromRow(wideFromRow),
          m_narrow(columns, from, to) {}

    void Load(const std::int64_t* twoBack, const std::int64_t* oneBack) {
        std::int64_t largest = 0;
        for (const std::int64_t* row : {twoBack, oneBack}) {
            for (std::size_t d = m_from - 2; row != nullptr && d < m_to; ++d) {
                largest = std::max(largest, row[d + SavedRowOffset]);
            }
        }
        if (m_wideFromRow > 0 &&
            largest + 2 * LargestBead <= std::numeric_limits<std::int32_t>::max()) {
            m_narrow.Load(twoBack, oneBack);
        } else {
            m_wide.emplace(m_columns, m_from, m_to);
            m_wide->Load(twoBack, oneBack);
        }
    }

    void Fill(std::size_t i, const RowBeads& beads, std::int64_t haloTwo, std::int64_t haloOne) {
        if (!m_wide && (i >= m_wideFromRow || !m_narrow.Fits(std::max(haloTwo, haloOne)))) {
            m_wide.emplace(m_columns, m_from, m_to);
            m_wide->TakeRowsFrom(m_narrow);
        }
        if (m_wide) {
            m_wide->Fill(i, beads, haloTwo, haloOne);
        } else {
            m_narrow.Fill(i, beads, haloTwo, haloOne);
        }
    }

    std::int64_t At(std::size_t d) const { return m_wide ? m_wide->At(d) : m_narrow.At(d); }
    void PackCodes(std::uint8_t* rowPath, std::size_t firstColumn = 1) const {
        m_wide ? m_wide->PackCodes(rowPath, firstColumn) : m_narrow.PackCodes(rowPath, firstColumn);
    }
    void CopyRow(std::int64_t* saved) const {
        m_wide ? m_wide->CopyRow(saved) : m_narrow.CopyRow(saved);
    }

private:
    ColumnCosts m_columns;
    std::size_t m_from;
    std::size_t m_to;
    std::size_t m_wideFromRow;
    RowFiller<std::int32_t> m_narrow;
    std::optional<RowFiller<std::int64_t>> m_wide;
};

} // namespace bitexa
