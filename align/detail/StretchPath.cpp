#include "align/detail/StretchPath.h"

#include "align/detail/PathTable.h"
#include "align/detail/RowPass.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace bitexa {

namespace {

// Segments used on each side by a bead of the given code.
struct BeadShape {
    std::size_t sourceCount;
    std::size_t targetCount;
};

constexpr BeadShape Shapes[] = {{0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}};

} // namespace

// The cost rows above a block: rows first - 2 and first - 1, indexed by column + SavedRowOffset.
struct StretchPath::Saved {
    explicit Saved(std::size_t lastColumn)
        : twoBack(lastColumn + 1 + SavedRowOffset, 0), oneBack(lastColumn + 1 + SavedRowOffset, 0) {
    }
    std::vector<std::int64_t> twoBack;
    std::vector<std::int64_t> oneBack;
};

// The progress of all passes as a share of the stretch's cells: the trace back computes cells
// again, so the cells of every pass are scaled to an estimate of their sum.
struct StretchPath::Work {
    const CellObserver* observer = nullptr;
    std::uint64_t cells = 0;
    double expected = 1;
    std::uint64_t passesDone = 0;
    std::uint64_t reported = 0;
    std::uint64_t lastReportedCells = 0;

    // The end of a pass: reported as well when the passes since the last report were many small
    // ones, so that a trace back through small blocks is followed (and can be stopped) too.
    void PassDone(std::uint64_t passCells) {
        passesDone += passCells;
        if (passesDone - lastReportedCells >= (std::uint64_t{1} << 20)) {
            Report(0);
        }
    }

    void Report(std::uint64_t passCells) {
        if (observer == nullptr) {
            return;
        }
        lastReportedCells = passesDone + passCells;
        const double share = static_cast<double>(passesDone + passCells) / expected;
        const auto done =
            static_cast<std::uint64_t>(std::min(1.0, share) * static_cast<double>(cells));
        reported = std::max(reported, std::min(done, cells));
        (*observer)(reported);
    }
};

StretchPath::StretchPath(const LengthModel& model, std::vector<std::int64_t> s,
                         std::vector<std::int64_t> t, const DpSettings& settings,
                         const CellObserver* observer,
                         std::unique_ptr<const LexicalBonuses> lexical)
    : m_model(model), m_s(std::move(s)), m_t(std::move(t)), m_settings(settings),
      m_lexical(std::move(lexical)),
      m_beads(std::make_unique<BeadTables>(m_model, m_s, m_t, settings.costTableCap)),
      m_sourceAlone(m_s.size(), 0), m_targetAlone(m_t.size(), 0) {
    m_beads->FillAll(settings.threads);
    for (std::size_t i = 1; i < m_s.size(); ++i) {
        m_sourceAlone[i] = m_model.BeadCost(m_s[i], 0, 0, 0) -
                           (m_lexical != nullptr ? m_lexical->SourceAlone(i) : 0);
    }
    for (std::size_t d = 1; d < m_t.size(); ++d) {
        m_targetAlone[d] = m_model.BeadCost(0, m_t[d], 0, 0) -
                           (m_lexical != nullptr ? m_lexical->TargetAlone(d) : 0);
    }
    // Bonuses make costs fall: where they could fall past what 32 bits hold, the sums are 64-bit
    // throughout.
    if (m_lexical != nullptr &&
        m_lexical->LargestDrop() > std::numeric_limits<std::int32_t>::max() / 2) {
        m_settings.wideFromRow = 0;
    }
    Work work;
    work.observer = observer;
    work.cells = std::uint64_t{m_s.size() - 1} * (m_t.size() - 1);
    const std::size_t rowBytes = PathRowBytes(m_t.size());
    const std::size_t tableBytes = (m_s.size() - 1) * rowBytes;
    if (tableBytes <= std::min(settings.fullTableBytes, settings.memoryBudget)) {
        work.expected = static_cast<double>(work.cells);
        m_table = LargeBuffer(tableBytes);
        m_rowBytes = rowBytes;
        PassPlan plan;
        plan.end = m_s.size();
        plan.lastColumn = m_t.size() - 1;
        plan.codes = m_table.data();
        plan.codeRowBytes = rowBytes;
        m_totalCost = RunPass(Source(&work), plan);
    } else {
        TraceTop(work);
    }
    if (observer != nullptr) {
        (*observer)(work.cells);
    }
}

StretchPath::~StretchPath() = default;

std::size_t StretchPath::BlockRows(std::size_t rows, std::size_t lastColumn) const {
    // Saved rows take 16 bytes a column and block, codes a third of a byte a cell: blocks of
    // sqrt(48 * rows) rows use the least memory in all. The saved rows must also stay within
    // their half of the budget, and there are at least two blocks.
    const double savedBytes = 2.0 * static_cast<double>(lastColumn + 3) * sizeof(std::int64_t);
    const double budget = std::max(1.0, static_cast<double>(m_settings.memoryBudget / 2));
    double block = std::ceil(std::sqrt(48.0 * static_cast<double>(rows)));
    block = std::max(block, std::ceil(static_cast<double>(rows) * savedBytes / budget));
    block = std::min(block, static_cast<double>((rows + 1) / 2));
    return std::max<std::size_t>(1, static_cast<std::size_t>(block));
}

std::size_t StretchPath::TileColumns(std::size_t rows, std::size_t block,
                                     std::size_t lastColumn) const {
    // Bands as wide as the blocks are high: the saved columns then take as much memory as the
    // saved rows of a square stretch, and a tile's codes a block's row of codes. The saved
    // columns must stay within a quarter of the budget; a band of the whole width is none.
    double band = m_settings.tileColumns > 0 ? static_cast<double>(m_settings.tileColumns)
                                             : static_cast<double>(block);
    if (m_settings.tileColumns == 0) {
        const double savedBytes = 2.0 * static_cast<double>(rows + 1) * sizeof(std::int64_t);
        const double budget = std::max(1.0, static_cast<double>(m_settings.memoryBudget / 4));
        band = std::max(band, std::ceil(static_cast<double>(lastColumn) * savedBytes / budget));
    }
    if (band >= static_cast<double>(lastColumn)) {
        return 0;
    }
    return (static_cast<std::size_t>(band) + 2) / 3 * 3;
}

void StretchPath::TraceTop(Work& work) {
    const std::size_t end = m_s.size();
    const std::size_t lastColumn = m_t.size() - 1;
    const std::size_t block = BlockRows(end - 1, lastColumn);
    const std::size_t band = TileColumns(end - 1, block, lastColumn);
    // The trace back computes again, in every block, the tiles from where the path enters it to
    // where it leaves: for a path near the diagonal, about a block and a band of columns a row.
    // Without bands, each block left of where the path enters it: half the cells.
    work.expected = static_cast<double>(work.cells) +
                    (band > 0 ? static_cast<double>(end - 1) * static_cast<double>(block + band)
                              : 0.5 * static_cast<double>(work.cells));
    // The codes of a tile are taken now, with the saved rows, so that a stretch too large for
    // the memory there is fails before the long pass rather than after it.
    const std::size_t tileBytes = block * PathRowBytes(band > 0 ? band + 1 : m_t.size());
    if (tileBytes <= m_settings.memoryBudget / 2) {
        m_blockCodes.reserve(tileBytes);
    }
    PassPlan plan;
    plan.end = end;
    plan.lastColumn = lastColumn;
    for (std::size_t start = 1; start < end; start += block) {
        m_blockStarts.push_back(start);
        if (start == 1) {
            m_blockAbove.push_back(nullptr);
            continue;
        }
        m_blockAbove.push_back(std::make_unique<Saved>(lastColumn));
        Saved& saved = *m_blockAbove.back();
        if (start - 2 >= 1) {
            plan.saves.emplace_back(start - 2, saved.twoBack.data());
        }
        plan.saves.emplace_back(start - 1, saved.oneBack.data());
    }
    for (std::size_t start = 1 + band; band > 0 && start <= lastColumn; start += band) {
        m_bandStarts.push_back(start);
        m_bandHalo.emplace_back(2 * end, 0);
        plan.columnSaves.emplace_back(start, m_bandHalo.back().data());
    }
    const PassSource source = Source(&work);
    m_totalCost = RunPass(source, plan);
    work.PassDone(work.cells);

    m_walk.reserve(m_s.size() + m_t.size());
    m_walkRow = end - 1;
    m_walkColumn = lastColumn;
    for (std::size_t k = m_blockStarts.size(); k-- > 0;) {
        // Tile after tile of the block, right to left, until the path leaves it upwards.
        while (m_walkRow >= m_blockStarts[k] && m_walkRow >= 1 && m_walkColumn >= 1) {
            const std::size_t bands = static_cast<std::size_t>(
                std::upper_bound(m_bandStarts.begin(), m_bandStarts.end(), m_walkColumn) -
                m_bandStarts.begin());
            TraceTile(work, m_blockStarts[k], m_walkRow + 1,
                      bands == 0 ? 1 : m_bandStarts[bands - 1], m_blockAbove[k].get(),
                      bands == 0 ? nullptr : m_bandHalo[bands - 1].data());
        }
    }
    // The saved columns serve the trace back alone (a code asked off the path is computed from
    // the rows above its block, at full width): the rows are assembled without them.
    std::vector<std::uint8_t>().swap(m_blockCodes);
    std::vector<std::vector<std::int64_t>>().swap(m_bandHalo);
    m_bandStarts.clear();
}

void StretchPath::TraceTile(Work& work, std::size_t first, std::size_t end, std::size_t firstColumn,
                            const Saved* above, const std::int64_t* halo) {
    // Columns right of where the path stands, and rows below it, are never needed.
    const std::size_t lastColumn = m_walkColumn;
    const std::size_t rows = end - first;
    const std::size_t rowBytes = PathRowBytes(lastColumn - firstColumn + 2);
    const PassSource source = Source(&work);
    PassPlan plan;
    plan.first = first;
    plan.end = end;
    plan.firstColumn = firstColumn;
    plan.lastColumn = lastColumn;
    plan.halo = halo;
    if (above != nullptr) {
        plan.twoBack = above->twoBack.data();
        plan.oneBack = above->oneBack.data();
    }
    const std::uint64_t cells = std::uint64_t{rows} * (lastColumn - firstColumn + 1);

    if (rows == 1 || rows * rowBytes <= m_settings.memoryBudget / 2) {
        std::vector<std::uint8_t>& codes = m_blockCodes;
        codes.assign(rows * rowBytes, 0);
        plan.codes = codes.data();
        plan.codesFirst = first;
        plan.codeRowBytes = rowBytes;
        RunPass(source, plan);
        work.PassDone(cells);
        while (m_walkRow >= first && m_walkColumn >= firstColumn && m_walkRow >= 1 &&
               m_walkColumn >= 1) {
            const BeadKind code = PathCodeAt(codes.data(), rowBytes, m_walkRow - first + 1,
                                             m_walkColumn - firstColumn + 1);
            m_walk.push_back({m_walkRow, m_walkColumn, code});
            const BeadShape shape = Shapes[static_cast<std::size_t>(code)];
            // An index that would fall below 1 ends the walk; the row assembly then places the
            // segments left over on their own.
            if (m_walkRow < shape.sourceCount || m_walkColumn < shape.targetCount) {
                m_walkRow = 0;
                m_walkColumn = 0;
                break;
            }
            m_walkRow -= shape.sourceCount;
            m_walkColumn -= shape.targetCount;
        }
        return;
    }

    // Too large to hold: cut into blocks again, saving the rows above each.
    const std::size_t block = BlockRows(rows, lastColumn);
    std::vector<std::size_t> starts;
    std::vector<std::unique_ptr<Saved>> saved;
    for (std::size_t start = first; start < end; start += block) {
        starts.push_back(start);
        if (start == first) {
            saved.push_back(nullptr);
            continue;
        }
        saved.push_back(std::make_unique<Saved>(lastColumn));
        Saved& rowsAbove = *saved.back();
        if (start - 2 >= first) {
            plan.saves.emplace_back(start - 2, rowsAbove.twoBack.data());
        } else if (above != nullptr) {
            rowsAbove.twoBack = above->oneBack; // row first - 1
        }
        plan.saves.emplace_back(start - 1, rowsAbove.oneBack.data());
    }
    RunPass(source, plan);
    work.PassDone(cells);
    for (std::size_t k = starts.size(); k-- > 0;) {
        if (m_walkRow < 1 || m_walkColumn < firstColumn) {
            break; // the walk ended, or left the tile for the one to its left
        }
        if (m_walkRow >= starts[k]) {
            const std::size_t blockEnd = k + 1 < starts.size() ? starts[k + 1] : end;
            TraceTile(work, starts[k], std::min(blockEnd, m_walkRow + 1), firstColumn,
                      k == 0 ? above : saved[k].get(), halo);
        }
    }
}

BeadKind StretchPath::Code(std::size_t i, std::size_t d) {
    if (m_table) {
        return PathCodeAt(m_table.data(), m_rowBytes, i, d);
    }
    // The walk runs back through the table: both indices fall, the row first.
    const auto later = [](const Step& step, std::pair<std::size_t, std::size_t> cell) {
        return step.i > cell.first || (step.i == cell.first && step.d > cell.second);
    };
    const auto found = std::lower_bound(m_walk.begin(), m_walk.end(), std::pair(i, d), later);
    if (found != m_walk.end() && found->i == i && found->d == d) {
        return found->code;
    }
    if (i < m_codesFirst || i >= m_codesEnd) {
        FillCodes(i, i + 1);
    }
    return PathCodeAt(m_codes.data(), PathRowBytes(m_t.size()), i - m_codesFirst + 1, d);
}

void StretchPath::FillCodes(std::size_t first, std::size_t end) {
    // From the saved rows above the top-level block that holds row `first`, as many rows of
    // codes from there on as the budget holds (at least the rows asked for).
    const std::size_t k = static_cast<std::size_t>(
                              std::upper_bound(m_blockStarts.begin(), m_blockStarts.end(), first) -
                              m_blockStarts.begin()) -
                          1;
    const std::size_t blockStart = m_blockStarts[k];
    const std::size_t blockEnd = k + 1 < m_blockStarts.size() ? m_blockStarts[k + 1] : m_s.size();
    const std::size_t rowBytes = PathRowBytes(m_t.size());
    const std::size_t rowsHeld = std::max<std::size_t>(1, m_settings.memoryBudget / 2 / rowBytes);
    m_codesFirst = blockEnd - blockStart <= rowsHeld ? blockStart : first;
    m_codesEnd = std::max(end, std::min(blockEnd, m_codesFirst + rowsHeld));
    m_codes.assign((m_codesEnd - m_codesFirst) * rowBytes, 0);

    PassPlan plan;
    plan.first = blockStart;
    plan.end = m_codesEnd;
    plan.lastColumn = m_t.size() - 1;
    if (m_blockAbove[k] != nullptr) {
        plan.twoBack = m_blockAbove[k]->twoBack.data();
        plan.oneBack = m_blockAbove[k]->oneBack.data();
    }
    plan.codes = m_codes.data();
    plan.codesFirst = m_codesFirst;
    plan.codeRowBytes = rowBytes;
    RunPass(Source(nullptr), plan);
}

PassSource StretchPath::Source(Work* work) {
    PassSource source{*m_beads,
                      m_sourceAlone,
                      {m_beads->TargetSingles().data(), m_beads->TargetPairs().data(),
                       m_targetAlone.data(), m_lexical.get()},
                      m_settings.threads,
                      m_settings.minStripeColumns,
                      m_settings.minThreadCells,
                      m_settings.wideFromRow,
                      {}};
    if (work != nullptr && work->observer != nullptr) {
        source.progress = [work](std::uint64_t cells) { work->Report(cells); };
    }
    return source;
}

} // namespace bitexa
