#include "reference/ReferenceSegmentation.h"

#include "text/rules/EnglishAbbreviations.h"
#include "text/rules/EnglishRules.h"

#include <boost/regex.hpp>

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace bitexa {

namespace {

struct ReplacePass {
    boost::wregex pattern;
    const wchar_t* replacement;
};

// Every match replaced, left to right and without overlap. The engine's error is not caught.
void Replace(std::wstring& text, const ReplacePass& pass) {
    text = boost::regex_replace(text, pass.pattern, pass.replacement);
}

// "^" matches after every line break and "." matches line breaks too, which the bracket pass
// relies on.
const std::array<ReplacePass, JapanesePassCount>& JapanesePasses() {
    static const std::array<ReplacePass, JapanesePassCount> passes{{
        {boost::wregex(L"([\u3002\uFF01\uFF1F]+[\u300D]*)"), L"\\1\n"},
        {boost::wregex(L"^([\\(\uFF08\uFF1C\u3014].+?[\\)\uFF09\uFF1E\u3015])"), L"\n\\1\n"},
        {boost::wregex(L"^([\u3000 ]+)"), L"\\1\n"},
        {boost::wregex(L"^[ \u3000]+"), L""},
        {boost::wregex(L"\r\n"), L"\n"},
        {boost::wregex(L"\n\n+"), L"\n\n"},
    }};
    return passes;
}

// The English passes before and after the sentence ends (pass 5).
const std::array<ReplacePass, 4>& EnglishPassesBefore() {
    static const std::array<ReplacePass, 4> passes{{
        {boost::wregex(L"\r\n"), L"\n"},
        {boost::wregex(L"\n[\t \u3000]+"), L"\n"},
        {boost::wregex(L"([a-z ,])\n([a-z A-Z\"])"), L"\\1 \\2"},
        {boost::wregex(L"(\n[0-9\\. ]+ *.+?\n)"), L"\\1\n"},
    }};
    return passes;
}

const std::array<ReplacePass, 2>& EnglishPassesAfter() {
    static const std::array<ReplacePass, 2> passes{{
        {boost::wregex(L"[\r\n][-\u2015] ?[0-9]+ ?[-\u2015][\r\n][\r\n]"), L""},
        {boost::wregex(L"\n\n+"), L"\n\n"},
    }};
    return passes;
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

// ASCII letters and periods back from the period at `p`; collecting stops one character beyond
// the longest abbreviation, which changes no outcome.
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

// The character in front of the digits that end at `s`; index 0 is never looked at.
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

bool EndsSentence(wchar_t before, wchar_t after, const std::wstring& lineStart,
                  std::wstring_view word) {
    if (after == L'"' || after == L'\u201D') {
        return false;
    }
    if ((lineStart == L"\r" || lineStart == L"\n") && IsUpper(after)) {
        return false;
    }
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

// The search loop: each search starts at the last match's character after, on the unchanged
// text, while the result grows apart.
std::wstring MarkSentenceEnds(const std::wstring& text) {
    static const boost::wregex pattern(L"(.)([\\.\uFF0E!?]+ *)(.)");
    std::wstring result;
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

void CheckPass(int pass, int count) {
    if (pass < 1 || pass > count) {
        throw std::out_of_range("no such pass: " + std::to_string(pass));
    }
}

} // namespace

std::wstring ReferenceJapanesePass(int pass, std::wstring text) {
    CheckPass(pass, JapanesePassCount);
    Replace(text, JapanesePasses()[static_cast<std::size_t>(pass - 1)]);
    return text;
}

std::wstring ReferenceEnglishPass(int pass, std::wstring text) {
    CheckPass(pass, EnglishPassCount);
    if (pass <= 4) {
        Replace(text, EnglishPassesBefore()[static_cast<std::size_t>(pass - 1)]);
    } else if (pass == 5) {
        text = MarkSentenceEnds(text);
    } else {
        Replace(text, EnglishPassesAfter()[static_cast<std::size_t>(pass - 6)]);
    }
    return text;
}

std::wstring ReferenceSplitJapanese(std::wstring text) {
    for (int pass = 1; pass <= JapanesePassCount; ++pass) {
        text = ReferenceJapanesePass(pass, std::move(text));
    }
    return text;
}

std::wstring ReferenceSplitEnglish(std::wstring text) {
    for (int pass = 1; pass <= EnglishPassCount; ++pass) {
        text = ReferenceEnglishPass(pass, std::move(text));
    }
    return text;
}

} // namespace bitexa
