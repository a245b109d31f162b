#pragma once

#include "text/SentenceList.h"

#include <cstdint>
#include <random>
#include <string>

namespace bitexa::bench {

// Parallel texts with the shape of real ones: sentence lengths spread like prose, a target that
// is a noisy multiple of its source, a few sentences without a counterpart, and optional
// paragraph labels that both sides share.
struct CorpusShape {
    std::size_t sentences = 1000;
    double meanLength = 110;    // typical source sentence length in characters (a paragraph: 2000)
    double ratio = 0.5;         // expected target length per source length
    double noise = 0.15;        // relative spread of each target length around ratio * source
    double dropRate = 0.03;     // share of sentences missing on one side or the other
    std::size_t labelEvery = 0; // a shared label "(k)" before every labelEvery-th sentence; 0: none
    std::size_t labelsRestartAfter = 0; // the labels count (1) to (n) and start again; 0: never
    std::uint32_t start = 1;            // the random generator's starting value, so runs repeat
};

struct ParallelSegments {
    SentenceList source; // with the empty leading entry, as the loader gives it
    SentenceList target;
};

// Segments of random letters with realistic lengths (source Latin, target kana).
ParallelSegments GenerateSegments(const CorpusShape& shape);

// The same as two files' contents, one segment per line (UTF-8, LF).
struct ParallelFiles {
    std::string source;
    std::string target;
};
ParallelFiles GenerateFiles(const CorpusShape& shape);

// Exactly `characters` characters of English prose with sentence ends, abbreviations, numbers,
// headings and wrapped lines, for the English rules.
std::wstring GenerateEnglishProse(std::size_t characters, std::uint32_t start);

// Exactly `characters` characters of Japanese prose with sentence ends, quotes, bracketed notes
// and indented paragraphs.
std::wstring GenerateJapaneseProse(std::size_t characters, std::uint32_t start);

} // namespace bitexa::bench
