#pragma once

#include "lexical/StringIndex.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct sb_stemmer;

namespace bitexa {

// English words to the stems that the text and the dictionary's glosses share, so that "creates",
// "created", "creating" and "create" meet. Snowball's English stemmer where the program was built
// with it; otherwise a few suffix rules (plural, past, progressive, a final e), which pair the
// segments of our test documents as well.
class WordStemmer {
public:
    WordStemmer();
    ~WordStemmer();
    WordStemmer(const WordStemmer&) = delete;
    WordStemmer& operator=(const WordStemmer&) = delete;

    // `word` is lower-case ASCII letters. The stem is remembered for the next occurrence; the
    // view is valid until the next call.
    std::string_view Stem(std::string_view word);

    // Function words and the pieces that apostrophes leave: they occur in nearly every segment
    // and have no reliable counterpart.
    static bool IsStopWord(std::string_view word);

    // Whether Snowball does the work (false: the suffix rules).
    bool IsSnowball() const { return m_snowball != nullptr; }

private:
    sb_stemmer* m_snowball = nullptr;
    // The stem of word w at [m_stemStarts[w], m_stemStarts[w + 1]) of m_stemBytes.
    StringIndex m_words;
    std::string m_stemBytes;
    std::vector<std::size_t> m_stemStarts{0};
};

// The suffix rules alone, for a build without Snowball (and its tests).
std::string StripSuffixes(std::string word);

} // namespace bitexa
