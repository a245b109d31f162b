#pragma once

#include "lexical/TokenTable.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace bitexa {

// The token sets of the segments of one side, indexed as the side's segment list (the leading
// entry at 0), stored one after another: 20,000 segments of a few tokens take some 100 KB.
class SideTokens {
public:
    SideTokens() : m_starts{0} {}

    // Appends the next segment's set; `tokens` is sorted and made unique in place.
    void Append(std::vector<TokenId>& tokens);
    // Gives every token t the id `ids[t]` (distinct tokens keep distinct ids), as when the side's
    // table is merged into another.
    void Renumber(const std::vector<TokenId>& ids);
    // Appends every segment of `later`, the sets of the segments that follow this side's, whose
    // ids are already this side's.
    void Extend(const SideTokens& later);

    std::size_t Segments() const { return m_starts.size() - 1; }
    // Sorted, without repeats.
    std::span<const TokenId> Of(std::size_t segment) const {
        return {m_ids.data() + m_starts[segment], m_ids.data() + m_starts[segment + 1]};
    }

private:
    std::vector<std::uint32_t> m_starts;
    std::vector<TokenId> m_ids;
};

} // namespace bitexa
