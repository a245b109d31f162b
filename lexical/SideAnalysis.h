#pragma once

#include "lexical/JapaneseWords.h"
#include "lexical/SideTokens.h"
#include "lexical/TokenTable.h"

#include <span>
#include <string>
#include <vector>

namespace bitexa {

// A run of a document's segments as token sets, in a table of its own: the runs of both sides are
// tokenised at once, on as many threads as there are, and then merged in text order
// (TokenTable::Merge), which gives every token the id that one table for both sides would have.
struct SideAnalysis {
    TokenTable table;
    SideTokens tokens;
    bool japanese = false; // some segment has kana or kanji
    bool analyser = false; // and MeCab with a UTF-8 dictionary was there for every such run

    // Takes in the run that follows this one.
    void Join(SideAnalysis&& later);
};

// Latin-script tokens everywhere, Japanese words wherever a segment has kana or kanji. A tagger
// on `analyser` is made only when a segment needs it (which loads the analyser's dictionary the
// first time), and freed before this returns.
SideAnalysis AnalyzeSide(std::span<const std::wstring> segments, const JapaneseAnalyser& analyser);

} // namespace bitexa
