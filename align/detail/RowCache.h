#pragma once

#include "align/detail/LargeBuffer.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace bitexa {

// A table of `rowCount` rows of `rowLength` entries whose rows are computed on first use, whole,
// by `fill`. At most `capEntries` entries are kept (but always one row): when the table is full,
// a new row takes the place of an older one in turn, and the older one is computed again if it
// is needed again. A returned row stays valid until the next call of Row.
template <typename Entry> class RowCache {
public:
    using Fill = std::function<void(std::size_t row, Entry* entries)>;

    RowCache(std::size_t rowCount, std::size_t rowLength, std::size_t capEntries, Fill fill)
        : m_rowLength(rowLength), m_fill(std::move(fill)), m_slotOfRow(rowCount, NoSlot),
          m_slotLimit(std::min(
              rowCount,
              std::max<std::size_t>(1, capEntries / std::max<std::size_t>(1, rowLength)))) {}

    const Entry* Row(std::size_t row) {
        if (m_slotOfRow[row] != NoSlot) {
            return m_slots[m_slotOfRow[row]];
        }
        std::size_t slot = m_slots.size();
        if (slot < m_slotLimit) {
            m_owned.push_back(std::make_unique_for_overwrite<Entry[]>(m_rowLength));
            m_slots.push_back(m_owned.back().get());
            m_rowOfSlot.push_back(row);
        } else {
            slot = m_nextVictim;
            m_nextVictim = (m_nextVictim + 1) % m_slots.size();
            m_slotOfRow[m_rowOfSlot[slot]] = NoSlot;
            m_rowOfSlot[slot] = row;
        }
        m_slotOfRow[row] = slot;
        Entry* entries = m_slots[slot];
        m_fill(row, entries);
        return entries;
    }

    // The row if it is held now, else null; computes nothing.
    const Entry* Held(std::size_t row) const {
        return m_slotOfRow[row] != NoSlot ? m_slots[m_slotOfRow[row]] : nullptr;
    }

    std::size_t RowLength() const { return m_rowLength; }

    // Computes every row now, on up to `threads` threads, if all of them fit in the cap; then
    // Row never computes again and may be called from several threads at once. `fill` must be
    // safe to call from several threads. The rows lie in one block, in the order of `firstUse`
    // (rows it leaves out after them): a pass that reads the rows in that order then reads the
    // block from start to end, which the processor fetches ahead, rather than hundreds of
    // megabytes in places it cannot foresee. False (and nothing done) if the rows do not fit.
    bool FillAll(unsigned threads, const std::vector<std::size_t>& firstUse = {}) {
        const std::size_t rowCount = m_slotOfRow.size();
        if (rowCount > m_slotLimit) {
            return false;
        }
        m_whole = LargeBuffer(rowCount * m_rowLength * sizeof(Entry));
        m_slots.clear();
        m_rowOfSlot.clear();
        std::fill(m_slotOfRow.begin(), m_slotOfRow.end(), NoSlot);
        const auto place = [this](std::size_t row) {
            if (m_slotOfRow[row] == NoSlot) {
                m_slotOfRow[row] = m_slots.size();
                m_slots.push_back(reinterpret_cast<Entry*>(m_whole.data()) +
                                  m_slots.size() * m_rowLength);
                m_rowOfSlot.push_back(row);
            }
        };
        for (const std::size_t row : firstUse) {
            place(row);
        }
        for (std::size_t row = 0; row < rowCount; ++row) {
            place(row);
        }
        m_owned.clear();
        // Each thread fills every step-th slot: neighbouring rows, so that the block is written
        // in order too.
        const auto fillEvery = [this, rowCount](std::size_t first, std::size_t step) {
            for (std::size_t slot = first; slot < rowCount; slot += step) {
                m_fill(m_rowOfSlot[slot], m_slots[slot]);
            }
        };
        std::vector<std::thread> helpers;
        // A small table is filled sooner than a thread starts.
        const bool large = rowCount * m_rowLength >= (std::size_t{1} << 18);
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
        return true;
    }

private:
    static constexpr std::size_t NoSlot = static_cast<std::size_t>(-1);

    std::size_t m_rowLength;
    Fill m_fill;
    std::vector<std::size_t> m_slotOfRow;
    std::vector<Entry*> m_slots;
    // The rows, one by one as they are first asked for, or all in one block once FillAll ran.
    std::vector<std::unique_ptr<Entry[]>> m_owned;
    LargeBuffer m_whole;
    std::vector<std::size_t> m_rowOfSlot;
    std::size_t m_slotLimit;
    std::size_t m_nextVictim = 0;
};

} // namespace bitexa
