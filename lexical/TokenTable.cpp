#include "lexical/TokenTable.h"

namespace bitexa {

TokenId TokenTable::Intern(TokenKind kind, std::string_view text) {
    m_key.assign(1, static_cast<char>(kind));
    m_key.append(text);
    return m_names.Intern(m_key).first;
}

std::optional<TokenId> TokenTable::Find(TokenKind kind, std::string_view text) const {
    std::string key(1, static_cast<char>(kind));
    key.append(text);
    return m_names.Find(key);
}

std::vector<TokenId> TokenTable::Merge(const TokenTable& other) {
    std::vector<TokenId> ids(other.Size());
    for (TokenId id = 0; id < ids.size(); ++id) {
        ids[id] = m_names.Intern(other.Name(id)).first;
    }
    return ids;
}

} // namespace bitexa
