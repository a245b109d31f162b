#pragma once

#include "lexical/TokenTable.h"

#include <string>
#include <string_view>
#include <vector>

struct mecab_t;

namespace bitexa {

// The Japanese words of a text as the base forms of its content words (nouns, verbs, adjectives,
// adverbs), from a morphological analyser: MeCab through its C API, one tagger for the whole run.
//
// Without the analyser (a build without MeCab, or no dictionary in UTF-8 installed) runs of kanji
// and runs of katakana stand for the words: nouns (設定, ファイル) still come out whole and meet
// the bilingual dictionary's headwords; verbs lose their endings.
class JapaneseWords {
public:
    // Tries the dictionaries in `dictionaryFolders` in order, an empty entry meaning the system's
    // default, and keeps the first that loads and is in UTF-8 (the base forms would come back in
    // another encoding). An empty list leaves the analyser out.
    explicit JapaneseWords(const std::vector<std::string>& dictionaryFolders);
    ~JapaneseWords();
    JapaneseWords(const JapaneseWords&) = delete;
    JapaneseWords& operator=(const JapaneseWords&) = delete;

    bool HasAnalyser() const { return m_tagger != nullptr; }

    // Appends the word tokens (TokenKind::JapaneseWord) of `text`; text in Latin script is left
    // to AddLatinTokens.
    void Add(std::wstring_view text, TokenTable& table, std::vector<TokenId>& out);

    // Frees the analyser and its dictionary once the text is analysed: the alignment that
    // follows needs the memory. Add then cuts script runs.
    void Release();

private:
    void AddMorphemes(std::wstring_view text, TokenTable& table, std::vector<TokenId>& out);

    mecab_t* m_tagger = nullptr;
};

// Whether the text holds kana or kanji, and so is worth the analyser.
bool HasJapaneseScript(std::wstring_view text);

} // namespace bitexa
