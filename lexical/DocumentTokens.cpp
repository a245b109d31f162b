#include "lexical/DocumentTokens.h"

#include "lexical/Dictionary.h"
#include "lexical/SideAnalysis.h"
#include "lexical/WordStemmer.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

namespace bitexa {

namespace {

// Runs `first` on a thread of its own and `second` on this one where `threads` allows two (0:
// one per core), else one after the other; either's exception comes out of here.
template <typename First, typename Second>
void BothAtOnce(unsigned threads, First first, Second second) {
    if (threads == 0) {
        threads = std::thread::hardware_concurrency();
    }
    std::thread thread;
    std::exception_ptr failed;
    if (threads > 1) {
        try {
            thread = std::thread([&] {
                try {
                    first();
                } catch (...) {
                    failed = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the same work on this one.
        }
    }
    if (!thread.joinable()) {
        first();
        second();
        return;
    }
    try {
        second();
    } catch (...) {
        thread.join();
        throw;
    }
    thread.join();
    if (failed) {
        std::rethrow_exception(failed);
    }
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
                               const LexicalResources& resources, unsigned threads) {
    SideAnalysis sourceSide;
    SideAnalysis targetSide;
    BothAtOnce(
        threads, [&] { sourceSide = AnalyzeSide(source, resources.analyserDictionaries); },
        [&] { targetSide = AnalyzeSide(target, resources.analyserDictionaries); });
    DocumentTokens document;
    document.table = std::move(sourceSide.table);
    document.source = std::move(sourceSide.tokens);
    document.target = std::move(targetSide.tokens);
    document.target.Renumber(document.table.Merge(targetSide.table));
    document.gaps.analyser = (sourceSide.japanese && !sourceSide.analyser) ||
                             (targetSide.japanese && !targetSide.analyser);
    targetSide = {};

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
    WordStemmer stemmer;
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
