#include "lexical/DocumentTokens.h"

#include "lexical/Dictionary.h"
#include "lexical/SideAnalysis.h"
#include "lexical/WordStemmer.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <system_error>
#include <thread>

namespace bitexa {

namespace {

// Runs task(0) ... task(count - 1), on up to `threads` threads (0: one per core) that each take the
// next one not yet taken, this thread among them; the first exception comes out of here once all
// have ended.
void RunTasks(unsigned threads, std::size_t count, const std::function<void(std::size_t)>& task) {
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    std::atomic<std::size_t> next{0};
    std::mutex failureMutex;
    std::exception_ptr failure;
    const auto work = [&] {
        for (std::size_t k = next++; k < count; k = next++) {
            try {
                task(k);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureMutex);
                if (!failure) {
                    failure = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads && t < count; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer threads: the others take on the work
        }
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// A side cut into `parts` runs of segments as even as can be, each analysed on its own.
std::vector<std::span<const std::wstring>> Runs(const SentenceList& side, std::size_t parts) {
    std::vector<std::span<const std::wstring>> runs;
    const std::span<const std::wstring> all(side);
    for (std::size_t p = 0; p < parts; ++p) {
        const std::size_t from = all.size() * p / parts;
        const std::size_t to = all.size() * (p + 1) / parts;
        runs.push_back(all.subspan(from, to - from));
    }
    return runs;
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
    // Each side in two runs, whatever the number of threads, so that the ids never depend on it;
    // four runs keep two cores busy even where one side (the Japanese, as a rule) takes longer.
    constexpr std::size_t RunsASide = 2;
    std::vector<std::span<const std::wstring>> runs = Runs(source, RunsASide);
    for (const std::span<const std::wstring>& run : Runs(target, RunsASide)) {
        runs.push_back(run);
    }
    // One dictionary for every run's tagger, freed once the text is analysed: the alignment that
    // follows needs the memory.
    std::optional<JapaneseAnalyser> analyser(std::in_place, resources.analyserDictionaries);
    std::vector<SideAnalysis> analysed(runs.size());
    RunTasks(threads, runs.size(),
             [&](std::size_t r) { analysed[r] = AnalyzeSide(runs[r], *analyser); });
    analyser.reset();
    SideAnalysis sourceSide = std::move(analysed[0]);
    SideAnalysis targetSide = std::move(analysed[RunsASide]);
    for (std::size_t r = 1; r < RunsASide; ++r) {
        sourceSide.Join(std::move(analysed[r]));
        targetSide.Join(std::move(analysed[RunsASide + r]));
    }
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
