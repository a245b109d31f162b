#include "lexical/SideAnalysis.h"

#include "lexical/JapaneseWords.h"
#include "lexical/LatinTokens.h"
#include "lexical/WordStemmer.h"

#include <optional>

namespace bitexa {

SideAnalysis AnalyzeSide(const SentenceList& segments,
                         const std::vector<std::string>& analyserDictionaries) {
    SideAnalysis side;
    WordStemmer stemmer;
    // An English side never loads the analyser's dictionary.
    std::optional<JapaneseWords> japanese;
    std::vector<TokenId> tokens;
    for (const std::wstring& segment : segments) {
        tokens.clear();
        AddLatinTokens(segment, stemmer, side.table, tokens);
        if (HasJapaneseScript(segment)) {
            if (!japanese) {
                japanese.emplace(analyserDictionaries);
                side.japanese = true;
                side.analyser = japanese->HasAnalyser();
            }
            japanese->Add(segment, side.table, tokens);
        }
        side.tokens.Append(tokens);
    }
    return side;
}

} // namespace bitexa
