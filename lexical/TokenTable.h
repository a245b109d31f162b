#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace bitexa {

using TokenId = std::uint32_t;

// What a token stands for. The kind is the first byte of the token's name, so tokens of different
// kinds never meet even where their texts are the same, and one table serves both sides: a token
// found on both sides is the same id.
enum class TokenKind : char {
    Word = 'w',         // a word in Latin script, case-folded and stemmed (identifiers as written)
    JapaneseWord = 'j', // the base form of a Japanese content word, UTF-8
    Number = 'n',       // digits folded to ASCII, thousands separators dropped
    Placeholder = 'p',  // a printf, Qt, brace or shell placeholder, positional index dropped
    Url = 'u',
    Email = 'e',
    File = 'f',   // a file name or path
    Option = 'o', // a command-line option
    Quoted = 'q', // an ASCII literal inside quotation marks, case-folded
};

// Interns token names: equal names get equal ids, ids count up from 0.
class TokenTable {
public:
    TokenId Intern(TokenKind kind, std::string_view text);
    std::optional<TokenId> Find(TokenKind kind, std::string_view text) const;

    TokenKind Kind(TokenId id) const { return static_cast<TokenKind>(m_names[id][0]); }
    // The text without its kind.
    std::string_view Text(TokenId id) const { return std::string_view(m_names[id]).substr(1); }
    // The kind's letter followed by the text, as the tests and the notes print a token.
    const std::string& Name(TokenId id) const { return m_names[id]; }
    std::size_t Size() const { return m_names.size(); }

private:
    std::string m_key; // reused for lookups
    std::unordered_map<std::string, TokenId> m_ids;
    std::vector<std::string> m_names;
};

} // namespace bitexa
