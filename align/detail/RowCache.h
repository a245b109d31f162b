#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
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
            return m_slots[m_slotOfRow[row]].get();
        }
        std::size_t slot = m_slots.size();
        if (slot < m_slotLimit) {
            m_slots.push_back(std::make_unique_for_overwrite<Entry[]>(m_rowLength));
            m_rowOfSlot.push_back(row);
        } else {
            slot = m_nextVictim;
            m_nextVictim = (m_nextVictim + 1) % m_slots.size();
            m_slotOfRow[m_rowOfSlot[slot]] = NoSlot;
            m_rowOfSlot[slot] = row;
        }
        m_slotOfRow[row] = slot;
        Entry* entries = m_slots[slot].get();
        m_fill(row, entries);
        return entries;
    }

private:
    static constexpr std::size_t NoSlot = static_cast<std::size_t>(-1);

    std::size_t m_rowLength;
    Fill m_fill;
    std::vector<std::size_t> m_slotOfRow;
    std::vector<std::unique_ptr<Entry[]>> m_slots;
    std::vector<std::size_t> m_rowOfSlot;
    std::size_t m_slotLimit;
    std::size_t m_nextVictim = 0;
};

} // namespace bitexa
