#pragma once

#include "lexical/TokenTable.h"
#include "lexical/WordStemmer.h"
#include "text/Status.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace bitexa {

// A Japanese-English dictionary in the EDICT format, as Debian's edict package installs it
// (/usr/share/edict/edict: EUC-JP, one entry a line, "HEADWORD [READING] /gloss/gloss/.../").
//
// Only the entries that a text needs are read: the wanted base forms are put into EUC-JP once
// and the file is scanned as bytes, block by block, so no line is converted and only the glosses
// of matching entries are parsed: a tenth of a second and a megabyte or two, where indexing the
// whole file would take over a second and some 50 MB.
//
// A headword stands for every translation of every sense of every entry it heads: the glosses'
// words, notes in parentheses dropped, function words dropped, stemmed as the English text is. A
// reading stands for its entry too where the entry is marked as usually written in kana (uk);
// elsewhere kana homographs would flood the matches.
class BilingualDictionary {
public:
    // Reads the entries of `path` whose headword (or kana reading) is one of `wantedForms`
    // (UTF-8). A file that cannot be read gives its Status and leaves the dictionary empty.
    Status Load(const std::string& path, const std::vector<std::string>& wantedForms,
                WordStemmer& stemmer, TokenTable& table);

    // The English word tokens that translate a Japanese form (UTF-8), sorted; null when the
    // dictionary has none.
    const std::vector<TokenId>* Translations(const std::string& form) const;

    std::size_t Headwords() const { return m_translations.size(); }

private:
    std::unordered_map<std::string, std::vector<TokenId>> m_translations;
};

} // namespace bitexa
