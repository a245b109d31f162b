#include "text/rules/EnglishSentenceEnds.h"

#include "text/rules/EnglishAbbreviations.h"
#include "text/rules/EnglishRules.h"
#include "text/rules/LineFeedInsertion.h"

#include <string_view>
#include <vector>

namespace bitexa {

namespace {

bool IsSentencePunctuation(wchar_t c) {
    return c == L'.' || c == L'\uFF0E' || c == L'!' || c == L'?';
}

bool IsDigit(wchar_t c) {
    return IsAllDigits(std::wstring(1, c));
}

bool IsUpper(wchar_t c) {
    return IsAllUpper(std::wstring(1, c));
}

bool IsLower(wchar_t c) {
    return IsAllLower(std::wstring(1, c));
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// One place where the punctuation pattern matches: the character before at `before`, the run
// of punctuation and spaces, and the character after at `after`.
struct Candidate {
    std::size_t before;
    std::size_t after;
};

// The first place at or after `from` (the character before may stand at `from` itself): the
// run of punctuation is taken whole with all spaces behind it, unless that leaves no character
// after; then the last character of the run or its spaces becomes the character after, if the
// run keeps at least one punctuation mark. Returns false when there is no place left.
bool FindCandidate(const std::wstring& text, std::size_t from, Candidate& found) {
    const std::size_t n = text.size();
    std::size_t p = from + 1;
    while (p < n && !IsSentencePunctuation(text[p])) {
        ++p;
    }
    if (p >= n) {
        return false;
    }
    std::size_t k = p;
    while (k < n && IsSentencePunctuation(text[k])) {
        ++k;
    }
    while (k < n && text[k] == L' ') {
        ++k;
    }
    if (k < n) {
        found = {p - 1, k};
        return true;
    }
    // The run and its spaces reach the end of the text. A single mark there has no character
    // after it, and no place behind it has either.
    if (k - p < 2) {
        return false;
    }
    found = {p - 1, n - 1};
    return true;
}

// The word that ends at the period at `p`: ASCII letters and periods back to the first other
// character (or the start of the text). Empty when the run starts with "!", "?" or the
// full-width full stop. Only words up to the longest abbreviation can match, so collecting stops
// one character beyond that length; the word then still matches nothing, and a text such as
// "a.a.a.a…" is not scanned back to its start at every period.
std::wstring_view PrecedingWord(const std::wstring& text, std::size_t p) {
    if (text[p] != L'.') {
        return {};
    }
    std::size_t start = p;
    while (start > 0 && p - start < LongestEnglishAbbreviation &&
           (IsAsciiLetter(text[start - 1]) || text[start - 1] == L'.')) {
        --start;
    }
    return std::wstring_view(text).substr(start, p - start + 1);
}

// Whether the digits that end at `s` (none, if the character there is no digit) follow a line
// break, as the number of a heading such as "2. Methods" does. The first character of the text
// is never looked at. The walk back stops at the punctuation of the place before, so all walks
// together cross the text once.
bool FollowsLineBreak(const std::wstring& text, std::size_t s) {
    std::size_t i = s;
    while (i > 0) {
        const wchar_t c = text[i];
        if (!(c >= L'0' && c <= L'9')) {
            return c == L'\r' || c == L'\n';
        }
        --i;
    }
    return false;
}

bool EndsSentence(const std::wstring& text, const Candidate& place) {
    const wchar_t before = text[place.before];
    const wchar_t after = text[place.after];
    // The period closes a quotation: the quotation mark stays with it.
    if (after == L'"' || after == L'\u201D') {
        return false;
    }
    // "2. Methods" at a line start: a numbered heading, not a sentence.
    if (FollowsLineBreak(text, place.before) && IsUpper(after)) {
        return false;
    }
    // Two digits (3.14), two capitals (U.S.A.) or two small letters (e.g.) around the
    // punctuation hold one word together.
    if (IsDigit(before) && IsDigit(after)) {
        return false;
    }
    if (IsUpper(before) && IsUpper(after)) {
        return false;
    }
    if (IsLower(before) && IsLower(after)) {
        return false;
    }
    return !IsEnglishAbbreviation(PrecedingWord(text, place.before + 1));
}

} // namespace

void MarkEnglishSentenceEnds(std::wstring& text) {
    // The places are all found on the text as it came in; the line feeds go in afterwards.
    std::vector<std::size_t> lineFeeds;
    std::size_t searchStart = 0;
    Candidate place{};
    while (FindCandidate(text, searchStart, place)) {
        // The character before, the punctuation and its spaces stay on this line; the search
        // goes on at the character after.
        searchStart = place.after;
        if (EndsSentence(text, place)) {
            lineFeeds.push_back(place.after);
        }
    }
    InsertLineFeeds(text, lineFeeds);
}

} // namespace bitexa
