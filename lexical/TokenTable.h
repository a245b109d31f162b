#pragma once

#include "lexical/StringIndex.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

    // Interns every token of `other` in the order of its ids and returns the id each got here,
    // by its id there. Ids count up in the order names are first interned, so tokens interned
    // into one table and then another, merged so, have the ids that interning both into one
    // table would have given them.
    std::vector<TokenId> Merge(const TokenTable& other);

    TokenKind Kind(TokenId id) const { return static_cast<TokenKind>(m_names.At(id)[0]); }
    // The text without its kind; valid until the next Intern.
    std::string_view Text(TokenId id) const { return Name(id).substr(1); }
    // The kind's letter followed by the text, as the tests and the notes print a token; valid
    // until the next Intern.
    std::string_view Name(TokenId id) const { return m_names.At(id); }
    std::size_t Size() const { return m_names.Size(); }

private:
    std::string m_key; // reused for lookups
    StringIndex m_names;
};

} // namespace bitexa
