#include "align/detail/BeadTables.h"

#include "align/model/BeadKind.h"

#include <algorithm>
#include <array>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
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

// One half of a row of entries: a row of match costs whose window covers the keys
// [window.first, window.end), the impossible cost beyond, and the penalties to add.
struct Half {
    const BeadTables::Entry* costs;
    TargetWindow window;
    const BeadTables::Entry* penalties;
};

// entries[k] = (low[k] + lowPenalties[k]) | (high[k] + highPenalties[k]) << 16 for k below
// `count` (high null for 0). No sum leaves 16 bits (see Entry).
void PackSpan(std::size_t count, const BeadTables::Entry* low,
              const BeadTables::Entry* lowPenalties, const BeadTables::Entry* high,
              const BeadTables::Entry* highPenalties, std::uint32_t* entries) {
    std::size_t k = 0;
#if defined(__SSE2__) || defined(_M_X64)
    const auto load = [](const BeadTables::Entry* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    };
    for (; k + 8 <= count; k += 8) {
        const __m128i lows = _mm_add_epi16(load(low + k), load(lowPenalties + k));
        const __m128i highs = high != nullptr
                                  ? _mm_add_epi16(load(high + k), load(highPenalties + k))
                                  : _mm_setzero_si128();
        // Little-endian: a low half followed by its high half is the 32-bit entry.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(entries + k), _mm_unpacklo_epi16(lows, highs));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(entries + k + 4),
                         _mm_unpackhi_epi16(lows, highs));
    }
#endif
    for (; k < count; ++k) {
        const std::uint32_t upper =
            high != nullptr ? static_cast<BeadTables::Entry>(high[k] + highPenalties[k]) : 0;
        entries[k] = static_cast<BeadTables::Entry>(low[k] + lowPenalties[k]) | upper << 16;
    }
}

// Packs `count` entries of two halves (high absent below row 3) in spans where each half reads
// either its window or the impossible costs.
void PackHalves(std::size_t count, const Half& low, const Half* high,
                const BeadTables::Entry* impossible, std::uint32_t* entries) {
    std::array<std::size_t, 6> bounds{0, count, low.window.first, low.window.end, 0, 0};
    std::size_t boundCount = 4;
    if (high != nullptr) {
        bounds[4] = high->window.first;
        bounds[5] = high->window.end;
        boundCount = 6;
    }
    std::sort(bounds.begin(), bounds.begin() + static_cast<std::ptrdiff_t>(boundCount));
    // A half's costs from key `from` on, to the end of the span.
    const auto source = [impossible](const Half& half, std::size_t from) {
        return from >= half.window.first && from < half.window.end
                   ? half.costs + (from - half.window.first)
                   : impossible + from;
    };
    for (std::size_t b = 0; b + 1 < boundCount; ++b) {
        const std::size_t from = bounds[b];
        const std::size_t to = bounds[b + 1];
        if (from >= to) {
            continue;
        }
        PackSpan(to - from, source(low, from), low.penalties + from,
                 high != nullptr ? source(*high, from) : nullptr,
                 high != nullptr ? high->penalties + from : nullptr, entries + from);
    }
}

} // namespace

BeadTables::BeadTables(const LengthModel& model, const std::vector<std::int64_t>& s,
                       const std::vector<std::int64_t>& t, std::size_t capEntries,
                       std::size_t lookupFromEntries)
    : m_model(model) {
    // One source segment from row 2 on, two from row 3 on; the same for the target columns.
    MakeKeys(s, 2, false, m_sourceSingleOf, m_sourceSingles);
    MakeKeys(s, 3, true, m_sourcePairOf, m_sourcePairs);
    std::vector<Lengths> targetSingles;
    std::vector<Lengths> targetPairs;
    MakeKeys(t, 2, false, m_targetSingleOf, targetSingles);
    MakeKeys(t, 3, true, m_targetPairOf, targetPairs);

    // The distinct totals of the source keys, and each key's.
    std::vector<std::int64_t> totals;
    for (const auto* keys : {&m_sourceSingles, &m_sourcePairs}) {
        for (const Lengths& key : *keys) {
            totals.push_back(key.first + key.second);
        }
    }
    std::sort(totals.begin(), totals.end());
    totals.erase(std::unique(totals.begin(), totals.end()), totals.end());
    const auto totalOf = [&totals](const std::vector<Lengths>& keys) {
        std::vector<std::uint32_t> rows;
        rows.reserve(keys.size());
        for (const Lengths& key : keys) {
            rows.push_back(static_cast<std::uint32_t>(
                std::lower_bound(totals.begin(), totals.end(), key.first + key.second) -
                totals.begin()));
        }
        return rows;
    };
    m_totalOfSingle = totalOf(m_sourceSingles);
    m_totalOfPair = totalOf(m_sourcePairs);

    const MatchCostTable* lookup = nullptr;
    if (totals.size() * (targetSingles.size() + targetPairs.size()) >= lookupFromEntries) {
        lookup = &MatchCostTable::Shared();
    }
    // The penalty depends on which segments of the bead are empty alone: for each target key
    // and each way the source key's two segments can be empty, it is set out once.
    const auto setOut = [&](const std::vector<Lengths>& keys, TargetKeys& info) {
        std::vector<std::int64_t> keyTotals;
        keyTotals.reserve(keys.size());
        for (const Lengths& key : keys) {
            keyTotals.push_back(key.first + key.second);
        }
        // The keys go by their totals, ascending.
        info.totals.emplace(m_model, std::move(keyTotals));
        for (std::size_t shape = 0; shape < info.penalties.size(); ++shape) {
            const std::int64_t x1 = (shape & 1) != 0 ? 0 : 1;
            const std::int64_t x2 = (shape & 2) != 0 ? 0 : 1;
            info.penalties[shape].reserve(keys.size());
            for (const Lengths& key : keys) {
                info.penalties[shape].push_back(
                    static_cast<Entry>(LengthModel::Penalty(x1, key.first, x2, key.second)));
            }
        }
        info.matches.emplace(m_model, totals, *info.totals, lookup, capEntries);
    };
    setOut(targetSingles, m_targetSingleKeys);
    setOut(targetPairs, m_targetPairKeys);
    m_impossible.assign(std::max(targetSingles.size(), targetPairs.size()), ImpossibleCost);
}

void BeadTables::FillAll(unsigned threads) {
    // The passes ask for the rows of the source totals of row 2, 3, ... in turn.
    std::vector<std::size_t> firstUse;
    firstUse.reserve(2 * m_sourceSingleOf.size());
    for (std::size_t i = 2; i < m_sourceSingleOf.size(); ++i) {
        firstUse.push_back(m_totalOfSingle[m_sourceSingleOf[i]]);
        if (i >= 3) {
            firstUse.push_back(m_totalOfPair[m_sourcePairOf[i]]);
        }
    }
    m_targetSingleKeys.matches->FillAll(threads, firstUse);
    m_targetPairKeys.matches->FillAll(threads, firstUse);
}

void BeadTables::Prefetch(std::size_t i) const {
    for (const TargetKeys* keys : {&m_targetSingleKeys, &m_targetPairKeys}) {
        if (i >= 2 && i < m_sourceSingleOf.size()) {
            keys->matches->Prefetch(m_totalOfSingle[m_sourceSingleOf[i]]);
        }
        if (i >= 3 && i < m_sourcePairOf.size()) {
            keys->matches->Prefetch(m_totalOfPair[m_sourcePairOf[i]]);
        }
    }
}

void BeadTables::PackRow(std::size_t i, std::uint32_t* bySingle, std::uint32_t* byPair) {
    // The source keys' shapes: which of their segments are empty (a single key's second is).
    const Lengths one = m_sourceSingles[m_sourceSingleOf[i]];
    const std::size_t oneShape = (one.first == 0 ? 1 : 0) | 2;
    const std::size_t oneTotal = m_totalOfSingle[m_sourceSingleOf[i]];
    std::size_t twoShape = 0;
    std::size_t twoTotal = 0;
    if (i >= 3) {
        const Lengths two = m_sourcePairs[m_sourcePairOf[i]];
        twoShape = (two.first == 0 ? 1 : 0) | (two.second == 0 ? 2 : 0);
        twoTotal = m_totalOfPair[m_sourcePairOf[i]];
    }
    for (TargetKeys* keys : {&m_targetSingleKeys, &m_targetPairKeys}) {
        const MatchRows::Row lowRow = keys->matches->Get(oneTotal, 0);
        const Half low{lowRow.costs, lowRow.window, keys->penalties[oneShape].data()};
        std::optional<Half> high;
        if (i >= 3) {
            const MatchRows::Row highRow = keys->matches->Get(twoTotal, 1);
            high = Half{highRow.costs, highRow.window, keys->penalties[twoShape].data()};
        }
        PackHalves(keys->penalties[0].size(), low, high ? &*high : nullptr, m_impossible.data(),
                   keys == &m_targetSingleKeys ? bySingle : byPair);
    }
}

} // namespace bitexa
