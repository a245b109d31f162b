#pragma once

#include "align/detail/RowCache.h"
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
// A stretch has few distinct keys (one per sentence length that occurs, or pair of them), far
// fewer than cells. Keys get dense indices; each shape has a table with a row per source key,
// computed whole by BeadCost on first use, so a row costs one MatchCost per distinct target
// key: never more than the row of the alignment that first asks for it would cost without the
// tables. Each table keeps at most `capEntries` entries and computes an evicted row again when
// it is needed again, so the results never depend on the cap.
class BeadTables {
public:
    // MatchCost is 50000 or at most 3604, and a penalty at most 450: 16 bits hold a bead cost.
    using Entry = std::uint16_t;

    // 32 MB a table: enough for some 4,000 distinct keys a side, as a stretch of paragraphs of
    // some thousand units has.
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
    std::size_t TargetSingleKeys() const { return m_targetSingles.size(); }
    std::size_t TargetPairKeys() const { return m_targetPairs.size(); }

    // The bead costs of alignment row i against every target key: the shapes with one source
    // segment for i >= 2, those with two for i >= 3 (null otherwise). Valid until the next call.
    struct Rows {
        const Entry* oneToOne = nullptr;
        const Entry* oneToTwo = nullptr;
        const Entry* twoToOne = nullptr;
        const Entry* twoToTwo = nullptr;
    };
    Rows ForRow(std::size_t i);

    // Starts fetching the bead costs of row i into the caches, if they are held: a row of a
    // stretch of paragraphs reads some 30 KB of them, from places that nothing can foresee.
    void Prefetch(std::size_t i) const;

    // Computes every bead cost now, on up to `threads` threads, if all of them fit in the cap:
    // a stretch of long segments has thousands of distinct lengths, and computing a row of a
    // table again whenever it is evicted would cost more than the alignment itself.
    void FillAll(unsigned threads);

    // The lengths of the segments of a bead side that a key stands for: its first occurrence.
    struct Lengths {
        std::int64_t first;
        std::int64_t second;
    };

private:
    const LengthModel& m_model;
    const MatchCostTable* m_lookup = nullptr;
    std::vector<std::uint32_t> m_sourceSingleOf; // key of row i
    std::vector<std::uint32_t> m_sourcePairOf;
    std::vector<std::uint32_t> m_targetSingleOf; // key of column d
    std::vector<std::uint32_t> m_targetPairOf;
    std::vector<Lengths> m_sourceSingles; // lengths of each key
    std::vector<Lengths> m_sourcePairs;
    std::vector<Lengths> m_targetSingles;
    std::vector<Lengths> m_targetPairs;
    // What a row of a table needs of the target keys: each key's total length, and its
    // penalty against a source key whose first or second segment (bit 0, bit 1) is empty.
    struct TargetKeys {
        std::optional<MatchTargets> totals;
        std::array<std::vector<Entry>, 4> penalties;
    };
    TargetKeys m_targetSingleKeys;
    TargetKeys m_targetPairKeys;
    RowCache<Entry> m_oneToOne;
    RowCache<Entry> m_oneToTwo;
    RowCache<Entry> m_twoToOne;
    RowCache<Entry> m_twoToTwo;
};

} // namespace bitexa
