#include "lexical/TokenTable.h"

namespace bitexa {

TokenId TokenTable::Intern(TokenKind kind, std::string_view text) {
    m_key.assign(1, static_cast<char>(kind));
    m_key.append(text);
    const auto [it, added] = m_ids.try_emplace(m_key, static_cast<TokenId>(m_names.size()));
    if (added) {
        m_names.push_back(m_key);
    }
    return it->second;
}

std::optional<TokenId> TokenTable::Find(TokenKind kind, std::string_view text) const {
    std::string key(1, static_cast<char>(kind));
    key.append(text);
    const auto found = m_ids.find(key);
    if (found == m_ids.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace bitexa
