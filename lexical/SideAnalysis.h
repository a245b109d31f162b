#pragma once

#include "lexical/SideTokens.h"
#include "lexical/TokenTable.h"
#include "text/SentenceList.h"

#include <string>
#include <vector>

namespace bitexa {

// One side of a document as token sets, in a table of the side's own: the two sides are
// tokenised at once, one a thread, and the target's table is merged into the source's after
// (TokenTable::Merge), which gives every token the id that one table for both would have.
struct SideAnalysis {
    TokenTable table;
    SideTokens tokens;
    bool japanese = false; // some segment has kana or kanji
    bool analyser = false; // and MeCab with a UTF-8 dictionary was there for it
};

// Latin-script tokens everywhere, Japanese words wherever a segment has kana or kanji. The
// analyser is loaded from the first of `analyserDictionaries` that serves (see JapaneseWords)
// only when a segment needs it, and freed before this returns.
SideAnalysis AnalyzeSide(const SentenceList& segments,
                         const std::vector<std::string>& analyserDictionaries);

} // namespace bitexa
