#pragma once

#include "lexical/TokenTable.h"
#include "lexical/WordStemmer.h"

#include <string_view>
#include <vector>

namespace bitexa {

// Appends the tokens of `text` that are written in Latin script, on either side of a translation:
//
//   verbatim tokens, which survive translation as they are: numbers (full and half width, 1,024
//   and 1024 alike), printf, Qt, brace and shell placeholders (%1$s and %s alike), URLs, e-mail
//   addresses, file names and paths, command-line options, and ASCII literals in quotation marks
//   of any kind (“Apply” and 「Apply」 alike);
//
//   words: runs of ASCII letters, case-folded, function words dropped, stemmed; identifiers
//   (x86_64, utf8, 64bit) as written, lower-cased. In Japanese text these are the names of
//   programs, products and code that a translation keeps in Latin letters.
//
// A chunk of text that is a URL, an address, a file name or an option as a whole gives that one
// token and no words. Tokens may repeat; the caller makes a set of them.
void AddLatinTokens(std::wstring_view text, WordStemmer& stemmer, TokenTable& table,
                    std::vector<TokenId>& out);

} // namespace bitexa
