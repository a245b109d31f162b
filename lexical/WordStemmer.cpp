#include "lexical/WordStemmer.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#ifdef BITEXA_HAVE_STEMMER
#include <libstemmer.h>
#endif

namespace bitexa {

namespace {

// Sorted, for a binary search.
constexpr std::string_view StopWords[] = {
    "a",       "about",    "all",      "also",      "am",         "an",      "and",     "any",
    "are",     "aren",     "as",       "at",        "be",         "because", "been",    "being",
    "both",    "but",      "by",       "can",       "cannot",     "could",   "couldn",  "d",
    "did",     "didn",     "do",       "does",      "doesn",      "don",     "done",    "e",
    "each",    "eg",       "either",   "else",      "etc",        "every",   "for",     "from",
    "g",       "had",      "hadn",     "has",       "hasn",       "have",    "haven",   "having",
    "he",      "her",      "here",     "him",       "his",        "how",     "i",       "ie",
    "if",      "in",       "into",     "is",        "isn",        "it",      "its",     "itself",
    "just",    "ll",       "m",        "may",       "me",         "might",   "must",    "my",
    "neither", "no",       "nor",      "not",       "of",         "off",     "on",      "one",
    "ones",    "oneself",  "only",     "onto",      "or",         "our",     "out",     "own",
    "per",     "re",       "s",        "shall",     "she",        "should",  "shouldn", "so",
    "some",    "somebody", "someone",  "something", "sth",        "such",    "t",       "than",
    "that",    "the",      "their",    "them",      "themselves", "then",    "there",   "these",
    "they",    "this",     "those",    "to",        "too",        "up",      "us",      "ve",
    "very",    "via",      "was",      "wasn",      "we",         "were",    "weren",   "what",
    "when",    "where",    "whether",  "which",     "while",      "who",     "whom",    "whose",
    "why",     "will",     "with",     "won",       "would",      "wouldn",  "x",       "yet",
    "you",     "your",     "yourself",
};
static_assert(std::is_sorted(std::begin(StopWords), std::end(StopWords)));

bool EndsWith(const std::string& word, std::string_view suffix) {
    return word.size() > suffix.size() &&
           word.compare(word.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

std::string StripSuffixes(std::string w) {
    if (w.size() > 4 && (EndsWith(w, "ies") || EndsWith(w, "ied"))) {
        w.resize(w.size() - 3);
        w += 'y';
    } else if (EndsWith(w, "sses")) {
        w.resize(w.size() - 2);
    } else if (w.size() > 3 && EndsWith(w, "s") && !EndsWith(w, "ss") && !EndsWith(w, "us") &&
               !EndsWith(w, "is")) {
        w.pop_back();
    }
    // Then the verb endings, so that "settings" and "setting" meet.
    if (w.size() > 5 && EndsWith(w, "ing")) {
        w.resize(w.size() - 3);
    } else if (w.size() > 4 && EndsWith(w, "ed")) {
        w.resize(w.size() - 2);
    }
    if (w.size() > 3 && w[w.size() - 1] == w[w.size() - 2] && !EndsWith(w, "ll") &&
        !EndsWith(w, "ss")) {
        w.pop_back(); // running -> run
    }
    if (w.size() > 3 && EndsWith(w, "e")) {
        w.pop_back();
    }
    return w;
}

WordStemmer::WordStemmer() {
#ifdef BITEXA_HAVE_STEMMER
    m_snowball = sb_stemmer_new("english", "UTF_8");
#endif
}

WordStemmer::~WordStemmer() {
#ifdef BITEXA_HAVE_STEMMER
    if (m_snowball != nullptr) {
        sb_stemmer_delete(m_snowball);
    }
#endif
}

bool WordStemmer::IsStopWord(std::string_view word) {
    return std::binary_search(std::begin(StopWords), std::end(StopWords), word);
}

std::string_view WordStemmer::Stem(std::string_view word) {
    const auto stemOf = [this](std::uint32_t w) {
        return std::string_view(m_stemBytes)
            .substr(m_stemStarts[w], m_stemStarts[w + 1] - m_stemStarts[w]);
    };
    if (const auto known = m_words.Find(word)) {
        return stemOf(*known);
    }
    std::string stem;
#ifdef BITEXA_HAVE_STEMMER
    const sb_symbol* stemmed =
        m_snowball == nullptr
            ? nullptr
            : sb_stemmer_stem(m_snowball, reinterpret_cast<const sb_symbol*>(word.data()),
                              static_cast<int>(word.size()));
    // Null without Snowball, and when it runs out of memory.
    if (stemmed != nullptr) {
        stem.assign(reinterpret_cast<const char*>(stemmed),
                    static_cast<std::size_t>(sb_stemmer_length(m_snowball)));
    } else {
        stem = StripSuffixes(std::string(word));
    }
#else
    stem = StripSuffixes(std::string(word));
#endif
    try {
        m_stemBytes.append(stem);
        m_stemStarts.push_back(m_stemBytes.size());
        m_words.Intern(word);
    } catch (...) {
        // Running out of memory on the way leaves the words and their stems in step.
        m_stemStarts.resize(m_words.Size() + 1);
        m_stemBytes.resize(m_stemStarts.back());
        throw;
    }
    return stemOf(static_cast<std::uint32_t>(m_words.Size() - 1));
}

} // namespace bitexa
