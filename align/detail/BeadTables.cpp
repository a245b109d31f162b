#include "align/detail/BeadTables.h"

#include <algorithm>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace bitexa {

namespace {

// Dense keys for the beads that start at positions `from` .. size-1 of one side: single segments
// key by their length, pairs by their total and whether the second is empty (2 * total + flag).
// Fills the key of every position and the lengths that each key stands for.
void MakeKeys(const std::vector<std::int64_t>& lengths, std::size_t from, bool pairs,
              std::vector<std::uint32_t>& keyOf, std::vector<BeadTables::Lengths>& keyLengths) {
    struct Occurrence {
        std::int64_t key;
        std::size_t position;
    };
    std::vector<Occurrence> occurrences;
    for (std::size_t k = from; k < lengths.size(); ++k) {
        const std::int64_t key =
            pairs ? 2 * (lengths[k - 1] + lengths[k]) + (lengths[k] == 0 ? 1 : 0) : lengths[k];
        occurrences.push_back({key, k});
    }
    std::sort(occurrences.begin(), occurrences.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.key < b.key || (a.key == b.key && a.position < b.position);
    });
    keyOf.assign(lengths.size(), 0);
    keyLengths.clear();
    for (std::size_t k = 0; k < occurrences.size(); ++k) {
        const std::size_t position = occurrences[k].position;
        if (k == 0 || occurrences[k].key != occurrences[k - 1].key) {
            keyLengths.push_back(pairs
                                     ? BeadTables::Lengths{lengths[position - 1], lengths[position]}
                                     : BeadTables::Lengths{lengths[position], 0});
        }
        keyOf[position] = static_cast<std::uint32_t>(keyLengths.size() - 1);
    }
}

// entries[k] += penalties[k], eight at a time: no sum leaves 16 bits (see Entry).
void AddPenalties(std::size_t count, const BeadTables::Entry* penalties,
                  BeadTables::Entry* entries) {
    std::size_t k = 0;
#if defined(__SSE2__) || defined(_M_X64)
    for (; k + 8 <= count; k += 8) {
        auto* at = reinterpret_cast<__m128i*>(entries + k);
        _mm_storeu_si128(
            at, _mm_add_epi16(_mm_loadu_si128(at),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(penalties + k))));
    }
#endif
    for (; k < count; ++k) {
        entries[k] = static_cast<BeadTables::Entry>(entries[k] + penalties[k]);
    }
}

} // namespace

BeadTables::BeadTables(const LengthModel& model, const std::vector<std::int64_t>& s,
                       const std::vector<std::int64_t>& t, std::size_t capEntries,
                       std::size_t lookupFromEntries)
    : m_model(model), m_oneToOne(0, 0, 0, {}), m_oneToTwo(0, 0, 0, {}), m_twoToOne(0, 0, 0, {}),
      m_twoToTwo(0, 0, 0, {}) {
    // One source segment from row 2 on, two from row 3 on; the same for the target columns.
    MakeKeys(s, 2, false, m_sourceSingleOf, m_sourceSingles);
    MakeKeys(s, 3, true, m_sourcePairOf, m_sourcePairs);
    MakeKeys(t, 2, false, m_targetSingleOf, m_targetSingles);
    MakeKeys(t, 3, true, m_targetPairOf, m_targetPairs);
    const std::size_t entries = (m_sourceSingles.size() + m_sourcePairs.size()) *
                                (m_targetSingles.size() + m_targetPairs.size());
    if (entries >= lookupFromEntries) {
        m_lookup = &MatchCostTable::Shared();
    }

    // A row of a table: the bead of the row's source key against every target key, the match
    // of the totals and the penalty of the shape (see LengthModel::BeadCost). The penalty
    // depends on which segments of the bead are empty alone: for each target key and each way
    // the source key's two segments can be empty, it is set out once.
    const auto keyInfo = [this](const std::vector<Lengths>& keys, TargetKeys& info) {
        std::vector<std::int64_t> totals;
        totals.reserve(keys.size());
        for (const Lengths& key : keys) {
            totals.push_back(key.first + key.second);
        }
        info.totals.emplace(m_model, std::move(totals));
        for (std::size_t shape = 0; shape < info.penalties.size(); ++shape) {
            const std::int64_t x1 = (shape & 1) != 0 ? 0 : 1;
            const std::int64_t x2 = (shape & 2) != 0 ? 0 : 1;
            info.penalties[shape].reserve(keys.size());
            for (const Lengths& key : keys) {
                info.penalties[shape].push_back(
                    static_cast<Entry>(LengthModel::Penalty(x1, key.first, x2, key.second)));
            }
        }
    };
    keyInfo(m_targetSingles, m_targetSingleKeys);
    keyInfo(m_targetPairs, m_targetPairKeys);
    const auto table = [&](const std::vector<Lengths>& sources, const TargetKeys& targets) {
        return RowCache<Entry>(
            sources.size(), targets.totals->size(), capEntries,
            [this, &sources, &targets](std::size_t row, Entry* entries) {
                const Lengths x = sources[row];
                const std::size_t count = targets.totals->size();
                // The keys go by their totals, ascending.
                m_model.MatchCosts(x.first + x.second, *targets.totals, entries, m_lookup);
                const std::size_t shape = (x.first == 0 ? 1 : 0) | (x.second == 0 ? 2 : 0);
                AddPenalties(count, targets.penalties[shape].data(), entries);
            });
    };
    m_oneToOne = table(m_sourceSingles, m_targetSingleKeys);
    m_oneToTwo = table(m_sourceSingles, m_targetPairKeys);
    m_twoToOne = table(m_sourcePairs, m_targetSingleKeys);
    m_twoToTwo = table(m_sourcePairs, m_targetPairKeys);
}

void BeadTables::FillAll(unsigned threads) {
    // The passes ask for the rows of the source keys of row 2, 3, ... in turn.
    const auto firstUse = [](const std::vector<std::uint32_t>& keyOf, std::size_t from) {
        return std::vector<std::size_t>(
            keyOf.begin() + static_cast<std::ptrdiff_t>(std::min(from, keyOf.size())), keyOf.end());
    };
    const std::vector<std::size_t> singles = firstUse(m_sourceSingleOf, 2);
    m_oneToOne.FillAll(threads, singles);
    m_oneToTwo.FillAll(threads, singles);
    const std::vector<std::size_t> pairs = firstUse(m_sourcePairOf, 3);
    m_twoToOne.FillAll(threads, pairs);
    m_twoToTwo.FillAll(threads, pairs);
}

void BeadTables::Prefetch(std::size_t i) const {
#if defined(__SSE2__) || defined(_M_X64)
    const auto fetch = [](const RowCache<Entry>& table, std::size_t row) {
        const auto* bytes = reinterpret_cast<const char*>(table.Held(row));
        if (bytes == nullptr) {
            return;
        }
        const std::size_t length = table.RowLength() * sizeof(Entry);
        for (std::size_t offset = 0; offset < length; offset += 64) {
            _mm_prefetch(bytes + offset, _MM_HINT_T1);
        }
    };
    if (i >= 2 && i < m_sourceSingleOf.size()) {
        fetch(m_oneToOne, m_sourceSingleOf[i]);
        fetch(m_oneToTwo, m_sourceSingleOf[i]);
    }
    if (i >= 3 && i < m_sourcePairOf.size()) {
        fetch(m_twoToOne, m_sourcePairOf[i]);
        fetch(m_twoToTwo, m_sourcePairOf[i]);
    }
#else
    (void)i;
#endif
}

BeadTables::Rows BeadTables::ForRow(std::size_t i) {
    Rows rows;
    if (i >= 2) {
        rows.oneToOne = m_oneToOne.Row(m_sourceSingleOf[i]);
        rows.oneToTwo = m_oneToTwo.Row(m_sourceSingleOf[i]);
    }
    if (i >= 3) {
        rows.twoToOne = m_twoToOne.Row(m_sourcePairOf[i]);
        rows.twoToTwo = m_twoToTwo.Row(m_sourcePairOf[i]);
    }
    return rows;
}

} // namespace bitexa
