#pragma once

#include "align/detail/MatchRows.h"
#include "align/model/LengthModel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace bitexa {

// Remembered bead costs for one stretch. BeadCost reads, besides the ratio, only the total
// source length and total target length of the bead and which of its segments are empty: with
// an empty second segment on both sides it looks at the first segments alone, otherwise only
// the sums reach MatchCost. So each two-sided bead shape costs a function of one source key and
// one target key:
//
//   one to one   s[i]                          against  t[d]
//   one to two   s[i]                          against  (t[d-1] + t[d], t[d] empty)
//   two to one   (s[i-1] + s[i], s[i] empty)   against  t[d]
//   two to two   (s[i-1] + s[i], s[i] empty)   against  (t[d-1] + t[d], t[d] empty)
//
// and it is the match of the two keys' totals plus a penalty that depends on which segments
// are empty alone. A stretch has few distinct keys (one per sentence length that occurs, or
// pair of them), far fewer than cells. Keys get dense indices. The match costs are kept by
// source total, a row against the single target keys and a row against the pair keys, so that
// a source key of one segment and one of two with the same total share them: in a stretch of
// paragraphs, a third of the rows. A row is computed on first use, so it costs one MatchCost
// per distinct target key: never more than the row of the alignment that first asks for it
// would cost without the tables. The rows kept come to at most `capEntries` entries a list of
// target keys, and an evicted row is computed again when it is needed again, so the results
// never depend on the cap.
class BeadTables {
public:
    // MatchCost is 50000 or at most 3604, and a penalty at most 450: 16 bits hold a bead cost.
    using Entry = std::uint16_t;

    // 32 MB a list of target keys: enough for some 4,000 distinct keys a side, as a stretch of
    // paragraphs of some thousand units has.
    static constexpr std::size_t DefaultCapEntries = std::size_t{32} << 20;

    // Tables of at least this many entries in all look their match costs up (MatchCostTable)
    // rather than compute them: fewer are computed sooner than the lookup table is built.
    static constexpr std::size_t DefaultLookupFromEntries = std::size_t{1} << 21;

    // s and t are the length lists of the stretch, placeholders included.
    BeadTables(const LengthModel& model, const std::vector<std::int64_t>& s,
               const std::vector<std::int64_t>& t, std::size_t capEntries = DefaultCapEntries,
               std::size_t lookupFromEntries = DefaultLookupFromEntries);
    BeadTables(const BeadTables&) = delete;
    BeadTables& operator=(const BeadTables&) = delete;

    // The target keys of column d: single for d >= 2, pair for d >= 3 (0 below).
    const std::vector<std::uint32_t>& TargetSingles() const { return m_targetSingleOf; }
    const std::vector<std::uint32_t>& TargetPairs() const { return m_targetPairOf; }
    std::size_t TargetSingleKeys() const { return m_targetSingleKeys.penalties[0].size(); }
    std::size_t TargetPairKeys() const { return m_targetPairKeys.penalties[0].size(); }

    // The bead costs of alignment row i >= 2 against every target key, two shapes to an entry:
    // by single key one to one (low half) and two to one (high half) into `bySingle`, by pair
    // key one to two and two to two into `byPair`. The halves of two source segments are 0 in
    // row 2.
    void PackRow(std::size_t i, std::uint32_t* bySingle, std::uint32_t* byPair);

    // Computes every bead cost now, on up to `threads` threads, if all of them fit in the cap:
    // a stretch of long segments has thousands of distinct lengths, and computing a row of a
    // table again whenever it is evicted would cost more than the alignment itself. Then
    // PackRow computes nothing.
    void FillAll(unsigned threads);

    // Whether FillAll holds every bead cost: PackRow then computes nothing and may be called
    // from several threads at once.
    bool HoldsAll() const {
        return m_targetSingleKeys.matches->HoldsAll() && m_targetPairKeys.matches->HoldsAll();
    }

    // Starts fetching the bead costs of row i into the caches, if FillAll holds them: a row of
    // a stretch of paragraphs reads some 15 KB of them, from places that nothing can foresee.
    void Prefetch(std::size_t i) const;

    // The lengths of the segments of a bead side that a key stands for: its first occurrence.
    struct Lengths {
        std::int64_t first;
        std::int64_t second;
    };

private:
    // What a row needs of a list of target keys: each key's total length, its penalty against
    // a source key whose first or second segment (bit 0, bit 1) is empty, and the match costs
    // of every source total against it.
    struct TargetKeys {
        std::optional<MatchTargets> totals;
        std::array<std::vector<Entry>, 4> penalties;
        std::optional<MatchRows> matches;
    };

    const LengthModel& m_model;
    std::vector<std::uint32_t> m_sourceSingleOf; // key of row i
    std::vector<std::uint32_t> m_sourcePairOf;
    std::vector<std::uint32_t> m_targetSingleOf; // key of column d
    std::vector<std::uint32_t> m_targetPairOf;
    std::vector<Lengths> m_sourceSingles; // lengths of each key
    std::vector<Lengths> m_sourcePairs;
    // The row of match costs of each source key: that of its total.
    std::vector<std::uint32_t> m_totalOfSingle;
    std::vector<std::uint32_t> m_totalOfPair;
    TargetKeys m_targetSingleKeys;
    TargetKeys m_targetPairKeys;
    // As many impossible costs as there are keys in a list: a row beyond its window.
    std::vector<Entry> m_impossible;
};

} // namespace bitexa
