#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

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

    // `word` is lower-case ASCII letters. The stem is remembered for the next occurrence.
    const std::string& Stem(const std::string& word);

    // Function words and the pieces that apostrophes leave: they occur in nearly every segment
    // and have no reliable counterpart.
    static bool IsStopWord(std::string_view word);

    // Whether Snowball does the work (false: the suffix rules).
    bool IsSnowball() const { return m_snowball != nullptr; }

private:
    sb_stemmer* m_snowball = nullptr;
    std::unordered_map<std::string, std::string> m_stems;
};

// The suffix rules alone, for a build without Snowball (and its tests).
std::string StripSuffixes(std::string word);

} // namespace bitexa
