#pragma once

#include "lexical/TokenTable.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct mecab_t;
struct mecab_model_t;

namespace bitexa {

// The analyser's dictionary, loaded the first time a thread asks for it and shared by the taggers
// of every thread (MeCab's model is safe to share; a tagger is not).
class JapaneseAnalyser {
public:
    // Tries the dictionaries in `dictionaryFolders` in order, an empty entry meaning the system's
    // default, and keeps the first that loads and is in UTF-8 (the base forms would come back in
    // another encoding). An empty list leaves the analyser out.
    explicit JapaneseAnalyser(std::vector<std::string> dictionaryFolders);
    ~JapaneseAnalyser();
    JapaneseAnalyser(const JapaneseAnalyser&) = delete;
    JapaneseAnalyser& operator=(const JapaneseAnalyser&) = delete;

    // Null where no dictionary serves.
    mecab_model_t* Model() const;

private:
    std::vector<std::string> m_folders;
    mutable std::once_flag m_loaded;
    mutable mecab_model_t* m_model = nullptr;
};

// The Japanese words of a text as the base forms of its content words (nouns, verbs, adjectives,
// adverbs), from a morphological analyser: MeCab through its C API, a tagger of its own.
//
// Without the analyser (a build without MeCab, or no dictionary in UTF-8 installed) runs of kanji
// and runs of katakana stand for the words: nouns (設定, ファイル) still come out whole and meet
// the bilingual dictionary's headwords; verbs lose their endings.
class JapaneseWords {
public:
    // With an analyser of its own, loaded from `dictionaryFolders` (see JapaneseAnalyser).
    explicit JapaneseWords(const std::vector<std::string>& dictionaryFolders);
    // With a tagger on `analyser`'s dictionary, which must outlive this.
    explicit JapaneseWords(const JapaneseAnalyser& analyser);
    ~JapaneseWords();
    JapaneseWords(const JapaneseWords&) = delete;
    JapaneseWords& operator=(const JapaneseWords&) = delete;

    bool HasAnalyser() const { return m_tagger != nullptr; }

    // Appends the word tokens (TokenKind::JapaneseWord) of `text`; text in Latin script is left
    // to AddLatinTokens.
    void Add(std::wstring_view text, TokenTable& table, std::vector<TokenId>& out);

private:
    void OpenTagger(const JapaneseAnalyser& analyser);
    void AddMorphemes(std::wstring_view text, TokenTable& table, std::vector<TokenId>& out);

    std::unique_ptr<JapaneseAnalyser> m_own; // destroyed after the tagger, which uses it
    mecab_t* m_tagger = nullptr;
};

// Whether the text holds kana or kanji, and so is worth the analyser.
bool HasJapaneseScript(std::wstring_view text);

} // namespace bitexa
