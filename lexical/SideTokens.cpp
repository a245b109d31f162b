#include "lexical/SideTokens.h"

#include <algorithm>

namespace bitexa {

void SideTokens::Append(std::vector<TokenId>& tokens) {
    std::sort(tokens.begin(), tokens.end());
    tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
    m_ids.insert(m_ids.end(), tokens.begin(), tokens.end());
    m_starts.push_back(static_cast<std::uint32_t>(m_ids.size()));
}

void SideTokens::Renumber(const std::vector<TokenId>& ids) {
    for (TokenId& id : m_ids) {
        id = ids[id];
    }
    for (std::size_t k = 0; k < Segments(); ++k) {
        std::sort(m_ids.begin() + m_starts[k], m_ids.begin() + m_starts[k + 1]);
    }
}

void SideTokens::Extend(const SideTokens& later) {
    for (std::size_t k = 0; k < later.Segments(); ++k) {
        const std::span<const TokenId> tokens = later.Of(k);
        m_ids.insert(m_ids.end(), tokens.begin(), tokens.end());
        m_starts.push_back(static_cast<std::uint32_t>(m_ids.size()));
    }
}

} // namespace bitexa
