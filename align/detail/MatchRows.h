#pragma once

#include "align/detail/LargeBuffer.h"
#include "align/detail/RowCache.h"
#include "align/model/LengthModel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitexa {

// The match costs of some source lengths against one list of ascending target lengths, a row
// per source length. A row holds only the targets of its window (LengthModel::PossibleTargets):
// beyond it, every match is impossible. In a stretch of paragraphs that is half of them.
//
// Rows are computed on first use and kept up to a cap of entries, as RowCache keeps them, or
// all at once by FillAll, in one block.
class MatchRows {
public:
    using Entry = std::uint16_t;

    MatchRows(const LengthModel& model, std::vector<std::int64_t> sources,
              const MatchTargets& targets, const MatchCostTable* lookup, std::size_t capEntries);
    MatchRows(const MatchRows&) = delete;
    MatchRows& operator=(const MatchRows&) = delete;

    // The costs of targets [window.first, window.end) of a row, costs[0] the first's.
    struct Row {
        const Entry* costs;
        TargetWindow window;
    };

    // Row `row` for one of two users (0 or 1): a row stays valid until that user's next call,
    // whatever the other asks for. Once FillAll has held every row, Get computes nothing and may
    // be called from several threads at once.
    Row Get(std::size_t row, int user);

    // Computes every row now into one block, on up to `threads` threads, if their windows fit
    // in the cap together; false (and nothing done) if not. The rows lie in the order of
    // `firstUse` (rows it leaves out after them): a pass that reads them in that order then
    // reads the block from start to end, which the processor fetches ahead, rather than a
    // hundred megabytes in places it cannot foresee.
    bool FillAll(unsigned threads, const std::vector<std::size_t>& firstUse);

    // Whether FillAll holds every row.
    bool HoldsAll() const { return static_cast<bool>(m_block); }

    // Starts fetching a row into the caches, if FillAll holds it.
    void Prefetch(std::size_t row) const;

private:
    void Fill(std::size_t row, Entry* costs) const;

    const LengthModel& m_model;
    std::vector<std::int64_t> m_sources;
    const MatchTargets& m_targets;
    const MatchCostTable* m_lookup;
    std::size_t m_capEntries;
    std::vector<TargetWindow> m_windows;
    // Before FillAll: a cache for each user. After: the block, and where each row starts in it.
    std::array<RowCache<Entry>, 2> m_caches;
    LargeBuffer m_block;
    std::vector<std::size_t> m_offsets;
};

} // namespace bitexa
