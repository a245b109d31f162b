#include "lexical/StringIndex.h"

#include <functional>
#include <stdexcept>

namespace bitexa {

std::uint32_t StringIndex::Hash(std::string_view text) {
    const std::uint64_t hash = std::hash<std::string_view>{}(text);
    // The high half mixed in: the low bits pick the slot.
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::size_t StringIndex::Probe(std::string_view text, std::uint32_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        const Slot& slot = m_slots[s];
        if (slot.number == Empty || (slot.hash == hash && At(slot.number) == text)) {
            return s;
        }
    }
}

void StringIndex::Rehash(std::size_t slots) {
    std::vector<Slot> old(slots);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.number != Empty) {
            std::size_t s = slot.hash & mask;
            while (m_slots[s].number != Empty) {
                s = (s + 1) & mask;
            }
            m_slots[s] = slot;
        }
    }
}

std::pair<std::uint32_t, bool> StringIndex::Intern(std::string_view text) {
    if (2 * (Size() + 1) > m_slots.size()) {
        if (Size() >= Empty) {
            throw std::length_error("too many distinct strings");
        }
        Rehash(m_slots.empty() ? 64 : 2 * m_slots.size());
    }
    const std::uint32_t hash = Hash(text);
    Slot& slot = m_slots[Probe(text, hash)];
    if (slot.number != Empty) {
        return {slot.number, false};
    }
    // The string first: running out of memory on the way leaves the index as it was.
    m_bytes.append(text);
    try {
        m_starts.push_back(m_bytes.size());
    } catch (...) {
        m_bytes.resize(m_bytes.size() - text.size());
        throw;
    }
    slot = {static_cast<std::uint32_t>(Size() - 1), hash};
    return {slot.number, true};
}

std::optional<std::uint32_t> StringIndex::Find(std::string_view text) const {
    if (m_slots.empty()) {
        return std::nullopt;
    }
    const Slot& slot = m_slots[Probe(text, Hash(text))];
    if (slot.number == Empty) {
        return std::nullopt;
    }
    return slot.number;
}

} // namespace bitexa
