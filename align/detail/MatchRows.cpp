#include "align/detail/MatchRows.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace bitexa {

MatchRows::MatchRows(const LengthModel& model, std::vector<std::int64_t> sources,
                     const MatchTargets& targets, const MatchCostTable* lookup,
                     std::size_t capEntries)
    : m_model(model), m_sources(std::move(sources)), m_targets(targets), m_lookup(lookup),
      m_capEntries(capEntries),
      m_caches{RowCache<Entry>(m_sources.size(), targets.size(), capEntries / 2,
                               [this](std::size_t row, Entry* costs) { Fill(row, costs); }),
               RowCache<Entry>(m_sources.size(), targets.size(), capEntries / 2,
                               [this](std::size_t row, Entry* costs) { Fill(row, costs); })} {
    m_windows.reserve(m_sources.size());
    for (const std::int64_t source : m_sources) {
        m_windows.push_back(m_model.PossibleTargets(source, m_targets));
    }
}

void MatchRows::Fill(std::size_t row, Entry* costs) const {
    m_model.MatchCosts(m_sources[row], m_targets, m_windows[row], costs, m_lookup);
}

MatchRows::Row MatchRows::Get(std::size_t row, int user) {
    if (m_block) {
        return {reinterpret_cast<const Entry*>(m_block.data()) + m_offsets[row], m_windows[row]};
    }
    return {m_caches[static_cast<std::size_t>(user)].Row(row), m_windows[row]};
}

bool MatchRows::FillAll(unsigned threads, const std::vector<std::size_t>& firstUse) {
    const std::size_t rowCount = m_sources.size();
    std::vector<std::size_t> order;
    order.reserve(rowCount);
    std::vector<bool> placed(rowCount, false);
    const auto place = [&](std::size_t row) {
        if (!placed[row]) {
            placed[row] = true;
            order.push_back(row);
        }
    };
    for (const std::size_t row : firstUse) {
        place(row);
    }
    for (std::size_t row = 0; row < rowCount; ++row) {
        place(row);
    }
    std::vector<std::size_t> offsets(rowCount, 0);
    std::size_t entries = 0;
    for (const std::size_t row : order) {
        offsets[row] = entries;
        entries += m_windows[row].end - m_windows[row].first;
    }
    if (entries > m_capEntries) {
        return false;
    }
    LargeBuffer block(std::max<std::size_t>(1, entries) * sizeof(Entry));
    Entry* const costs = reinterpret_cast<Entry*>(block.data());
    // Each thread fills every step-th row of the order: neighbouring rows, so that the block is
    // written in order too.
    const auto fillEvery = [&](std::size_t first, std::size_t step) {
        for (std::size_t k = first; k < order.size(); k += step) {
            Fill(order[k], costs + offsets[order[k]]);
        }
    };
    std::vector<std::thread> helpers;
    // A small table is filled sooner than a thread starts.
    const bool large = rowCount * m_targets.size() >= (std::size_t{1} << 18);
    const std::size_t step = large ? std::max(1u, threads) : 1;
    std::size_t started = 1;
    try {
        for (; started < step; ++started) {
            helpers.emplace_back(fillEvery, started, step);
        }
    } catch (const std::system_error&) {
        // The rows of the threads that could not start are filled here.
    }
    fillEvery(0, step);
    for (std::size_t first = started; first < step; ++first) {
        fillEvery(first, step);
    }
    for (std::thread& helper : helpers) {
        helper.join();
    }
    m_block = std::move(block);
    m_offsets = std::move(offsets);
    return true;
}

void MatchRows::Prefetch(std::size_t row) const {
#if defined(__SSE2__) || defined(_M_X64)
    if (!m_block) {
        return;
    }
    const char* const bytes =
        reinterpret_cast<const char*>(m_block.data()) + m_offsets[row] * sizeof(Entry);
    const std::size_t length = (m_windows[row].end - m_windows[row].first) * sizeof(Entry);
    for (std::size_t offset = 0; offset < length; offset += 64) {
        _mm_prefetch(bytes + offset, _MM_HINT_T1);
    }
#else
    (void)row;
#endif
}

} // namespace bitexa
