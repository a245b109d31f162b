#include "text/EnglishRules.h"

#include "text/EnglishAbbreviations.h"
#include "text/RegexPass.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

namespace bitexa {

namespace {

// Character classes come from ICU's Unicode data, which needs no installed locale and no change
// to the process-wide one. On Linux a wchar_t holds a whole code point.
template <typename Predicate> bool AllOf(const std::wstring& s, Predicate predicate) {
    return std::all_of(s.begin(), s.end(),
                       [&](wchar_t c) { return predicate(static_cast<UChar32>(c)) != 0; });
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

// Passes before the sentence ends: unify line ends, drop indentation, join broken lines, and set
// numbered headings apart.
const std::array<ReplacePass, 4>& PassesBefore() {
    static const std::array<ReplacePass, 4> passes{{
        {boost::wregex(L"\r\n"), L"\n"},
        // Tabs, spaces and ideographic spaces at the start of every line but the first.
        {boost::wregex(L"\n[\t \u3000]+"), L"\n"},
        // A line break between a lower-case letter, space or comma and a letter, space or
        // double quote was put there by the writer's editor, not by the sentence: join.
        {boost::wregex(L"([a-z ,])\n([a-z A-Z\"])"), L"\\1 \\2"},
        // A line that starts with digits, dots or spaces (a numbered heading or item) gets an
        // empty line after it.
        {boost::wregex(L"(\n[0-9\\. ]+ *.+?\n)"), L"\\1\n"},
    }};
    return passes;
}

// Passes after the sentence ends: page-number lines such as "- 12 -" go with the line breaks
// around them, and at most one empty line remains between lines.
const std::array<ReplacePass, 2>& PassesAfter() {
    static const std::array<ReplacePass, 2> passes{{
        {boost::wregex(L"[\r\n][-\u2015] ?[0-9]+ ?[-\u2015][\r\n][\r\n]"), L""},
        {boost::wregex(L"\n\n+"), L"\n\n"},
    }};
    return passes;
}

// The word that ends at the period at `p`: ASCII letters and periods back to the first other
// character (or the start of the text). Empty when the punctuation run starts with "!", "?" or
// the full-width full stop. Only words up to the longest abbreviation can match, so collecting
// stops one character beyond that length; the word then still matches nothing, and a text such
// as "a.a.a.a…" is not scanned back to its start at every period.
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

// The character in front of the digits that end at `s`, i.e. what starts a numbered line such
// as "2. Methods" (a line break there). Empty when the walk reaches the first character of the
// text, which is never looked at.
std::wstring LineStartCharacter(const std::wstring& text, std::size_t s) {
    std::size_t i = s;
    if (i == 0) {
        return {};
    }
    for (;;) {
        if (!(text[i] >= L'0' && text[i] <= L'9')) {
            return std::wstring(1, text[i]);
        }
        --i;
        if (i == 0) {
            return {};
        }
    }
}

// Whether the punctuation between `before` and `after` ends a sentence.
bool EndsSentence(wchar_t before, wchar_t after, const std::wstring& lineStart,
                  std::wstring_view word) {
    // The period closes a quotation: the quotation mark stays with it.
    if (after == L'"' || after == L'\u201D') {
        return false;
    }
    // "2. Methods" at a line start: a numbered heading, not a sentence.
    if ((lineStart == L"\r" || lineStart == L"\n") && IsUpper(after)) {
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
    return !IsEnglishAbbreviation(word);
}

// Puts a line feed behind every run of sentence punctuation (and the spaces after it) that ends
// a sentence. The text is searched unchanged while the result grows apart, and each search
// starts where the last match's character after stands, so that character can begin the next
// match; each part of the text is copied once.
std::wstring MarkSentenceEnds(const std::wstring& text) {
    static const boost::wregex pattern(L"(.)([\\.\uFF0E!?]+ *)(.)");
    std::wstring result;
    result.reserve(text.size() + text.size() / 8);
    const auto begin = text.begin();
    auto searchStart = begin;
    boost::wsmatch match;
    while (boost::regex_search(searchStart, text.end(), match, pattern)) {
        const auto s = static_cast<std::size_t>(match[1].first - begin);
        const auto e = static_cast<std::size_t>(match[3].first - begin);
        result.append(searchStart, match[3].first);
        searchStart = match[3].first;
        if (EndsSentence(text[s], text[e], LineStartCharacter(text, s),
                         PrecedingWord(text, s + 1))) {
            result.push_back(L'\n');
        }
    }
    result.append(searchStart, text.end());
    return result;
}

} // namespace

bool IsAllDigits(const std::wstring& s) {
    return AllOf(s, u_isdigit);
}

bool IsAllUpper(const std::wstring& s) {
    return AllOf(s, u_isupper);
}

bool IsAllLower(const std::wstring& s) {
    return AllOf(s, u_islower);
}

void SplitEnglish(std::wstring& text) {
    for (const ReplacePass& pass : PassesBefore()) {
        ApplyRegexPass(text, pass);
    }
    // Same rule as for the replace passes: should the engine give up, the text goes on as it was
    // before this pass.
    try {
        text = MarkSentenceEnds(text);
    } catch (const std::runtime_error&) {
        // Left as it was: the line breaks of the file still cut it into lines.
    }
    for (const ReplacePass& pass : PassesAfter()) {
        ApplyRegexPass(text, pass);
    }
}

} // namespace bitexa
