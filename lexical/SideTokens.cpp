#include "lexical/SideTokens.h"

#include <algorithm>

namespace bitexa {

void SideTokens::Append(std::vector<TokenId>& tokens) {
    std::sort(tokens.begin(), tokens.end());
    tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
    m_ids.insert(m_ids.end(), tokens.begin(), tokens.end());
    m_starts.push_back(static_cast<std::uint32_t>(m_ids.size()));
}

} // namespace bitexa
