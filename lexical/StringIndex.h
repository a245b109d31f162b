#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bitexa {

// Gives each distinct string a number, counting up from 0 in the order the strings are first
// seen. A text has hundreds of thousands of distinct words at worst, so the strings are kept one
// after another in one buffer and looked up through an open-addressed table of numbers: no
// allocation per string, and one buffer to free at the end.
class StringIndex {
public:
    // The string's number, and whether it is new.
    std::pair<std::uint32_t, bool> Intern(std::string_view text);
    std::optional<std::uint32_t> Find(std::string_view text) const;

    // Valid until the next Intern.
    std::string_view At(std::uint32_t number) const {
        return std::string_view(m_bytes).substr(m_starts[number],
                                                m_starts[number + 1] - m_starts[number]);
    }
    std::size_t Size() const { return m_starts.size() - 1; }

private:
    // A number and the low bits of its string's hash: a slot whose bits differ is passed over
    // without reading the string, and growing the table reads no string at all.
    struct Slot {
        std::uint32_t number = Empty;
        std::uint32_t hash = 0;
    };
    static constexpr std::uint32_t Empty = 0xFFFFFFFFu;

    static std::uint32_t Hash(std::string_view text);
    // The slot that holds `text`, or the empty slot where it would go.
    std::size_t Probe(std::string_view text, std::uint32_t hash) const;
    void Rehash(std::size_t slots);

    std::string m_bytes;
    std::vector<std::size_t> m_starts{0};
    std::vector<Slot> m_slots; // a power of two in size, never more than half full
};

} // namespace bitexa
