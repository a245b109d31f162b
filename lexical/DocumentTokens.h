#pragma once

#include "lexical/SideTokens.h"
#include "lexical/TokenTable.h"
#include "text/SentenceList.h"
#include "text/Status.h"

#include <string>
#include <utility>
#include <vector>

namespace bitexa {

// Where the lexical analysis finds its tools.
struct LexicalResources {
    // MeCab dictionaries to try in order; an empty entry is the system's default dictionary.
    // Debian's default is a link that may point at an EUC-JP build, so the UTF-8 IPA dictionary
    // comes first.
    std::vector<std::string> analyserDictionaries{"/var/lib/mecab/dic/ipadic-utf8", ""};
    // The EDICT file of Debian's edict package; empty for none.
    std::string bilingualDictionary = "/usr/share/edict/edict";
};

// What the analysis had to do without. Either way it goes on with what is there: without the
// analyser Japanese words are runs of kanji and katakana, without the dictionary only verbatim
// tokens, Latin words and the word pairs learnt from the text link the two sides.
struct LexicalGaps {
    bool analyser = false;   // the text has Japanese, but no MeCab dictionary in UTF-8 loaded
    bool dictionary = false; // the text has Japanese words, but the dictionary could not be read
    Status dictionaryStatus; // why not
};

// Every segment of both sides as a set of tokens from one table, and the translation pairs that
// the bilingual dictionary finds between the two sides.
struct DocumentTokens {
    TokenTable table;
    SideTokens source;
    SideTokens target;
    // (source token, target token): a Japanese word on one side and an English word that
    // translates it on the other, both present in the text.
    std::vector<std::pair<TokenId, TokenId>> translations;
    LexicalGaps gaps;
};

// Tokenises both sides (Latin-script tokens everywhere, Japanese words wherever a segment has
// kana or kanji, so either side may be the Japanese one) and looks the Japanese words up. The
// sides are tokenised at once where `threads` (0: one per core) allows two; the tokens and their
// ids never depend on it. The analyser is freed before this returns.
DocumentTokens AnalyzeDocument(const SentenceList& source, const SentenceList& target,
                               const LexicalResources& resources, unsigned threads = 0);

} // namespace bitexa
