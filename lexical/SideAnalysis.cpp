#include "lexical/SideAnalysis.h"

#include "lexical/JapaneseWords.h"
#include "lexical/LatinTokens.h"
#include "lexical/WordStemmer.h"

#include <optional>

namespace bitexa {

void SideAnalysis::Join(SideAnalysis&& later) {
    later.tokens.Renumber(table.Merge(later.table));
    tokens.Extend(later.tokens);
    const bool missing = (japanese && !analyser) || (later.japanese && !later.analyser);
    japanese = japanese || later.japanese;
    analyser = japanese && !missing;
    later = {};
}

SideAnalysis AnalyzeSide(std::span<const std::wstring> segments, const JapaneseAnalyser& analyser) {
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
                japanese.emplace(analyser);
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
