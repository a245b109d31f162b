#include "lexical/DocumentTokens.h"

#include "lexical/Dictionary.h"
#include "lexical/JapaneseWords.h"
#include "lexical/LatinTokens.h"
#include "lexical/WordStemmer.h"

#include <algorithm>

namespace bitexa {

namespace {

bool Tokenize(const SentenceList& segments, WordStemmer& stemmer, JapaneseWords& japanese,
              TokenTable& table, SideTokens& side) {
    std::vector<TokenId> tokens;
    bool anyJapanese = false;
    for (const std::wstring& segment : segments) {
        tokens.clear();
        AddLatinTokens(segment, stemmer, table, tokens);
        if (HasJapaneseScript(segment)) {
            anyJapanese = true;
            japanese.Add(segment, table, tokens);
        }
        side.Append(tokens);
    }
    return anyJapanese;
}

std::vector<bool> Present(const SideTokens& side, std::size_t tokens) {
    std::vector<bool> present(tokens, false);
    for (std::size_t k = 0; k < side.Segments(); ++k) {
        for (TokenId t : side.Of(k)) {
            present[t] = true;
        }
    }
    return present;
}

// The Japanese words of one side against the English words of the other.
void AddTranslations(const BilingualDictionary& dictionary, const TokenTable& table,
                     const std::vector<bool>& japaneseSide, const std::vector<bool>& englishSide,
                     bool japaneseIsSource, std::vector<std::pair<TokenId, TokenId>>& out) {
    for (TokenId y = 0; y < japaneseSide.size(); ++y) {
        if (!japaneseSide[y] || table.Kind(y) != TokenKind::JapaneseWord) {
            continue;
        }
        const std::vector<TokenId>* english = dictionary.Translations(std::string(table.Text(y)));
        if (english == nullptr) {
            continue;
        }
        for (TokenId x : *english) {
            if (x < englishSide.size() && englishSide[x]) {
                out.emplace_back(japaneseIsSource ? y : x, japaneseIsSource ? x : y);
            }
        }
    }
}

} // namespace

DocumentTokens AnalyzeDocument(const SentenceList& source, const SentenceList& target,
                               const LexicalResources& resources) {
    DocumentTokens document;
    WordStemmer stemmer;
    {
        JapaneseWords japanese(resources.analyserDictionaries);
        const bool sourceJapanese =
            Tokenize(source, stemmer, japanese, document.table, document.source);
        const bool targetJapanese =
            Tokenize(target, stemmer, japanese, document.table, document.target);
        document.gaps.analyser = (sourceJapanese || targetJapanese) && !japanese.HasAnalyser();
    }

    // The dictionary's glosses add English stems to the table: presence is judged on the text's
    // tokens alone.
    const std::size_t textTokens = document.table.Size();
    const std::vector<bool> onSource = Present(document.source, textTokens);
    const std::vector<bool> onTarget = Present(document.target, textTokens);
    std::vector<std::string> wanted;
    for (TokenId t = 0; t < textTokens; ++t) {
        if (document.table.Kind(t) == TokenKind::JapaneseWord) {
            wanted.emplace_back(document.table.Text(t));
        }
    }
    if (wanted.empty()) {
        return document;
    }
    BilingualDictionary dictionary;
    const Status loaded =
        dictionary.Load(resources.bilingualDictionary, wanted, stemmer, document.table);
    if (!loaded.ok()) {
        document.gaps.dictionary = true;
        document.gaps.dictionaryStatus = loaded;
        return document;
    }
    AddTranslations(dictionary, document.table, onTarget, onSource, false, document.translations);
    AddTranslations(dictionary, document.table, onSource, onTarget, true, document.translations);
    std::sort(document.translations.begin(), document.translations.end());
    document.translations.erase(
        std::unique(document.translations.begin(), document.translations.end()),
        document.translations.end());
    return document;
}

} // namespace bitexa
