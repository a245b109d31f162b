#include "text/rules/JapanesePasses.h"

#include "text/rules/LineFeedInsertion.h"
#include "text/rules/LineStart.h"

#include <vector>

namespace bitexa {

namespace {

bool IsSentenceMark(wchar_t c) {
    return c == L'\u3002' || c == L'\uFF01' || c == L'\uFF1F'; // 。！？
}

bool IsOpeningBracket(wchar_t c) {
    return c == L'(' || c == L'\uFF08' || c == L'\uFF1C' || c == L'\u3014'; // ( （ ＜ 〔
}

bool IsClosingBracket(wchar_t c) {
    return c == L')' || c == L'\uFF09' || c == L'\uFF1E' || c == L'\u3015'; // ) ） ＞ 〕
}

bool IsIndentation(wchar_t c) {
    return c == L' ' || c == L'\u3000';
}

} // namespace

void BreakAfterSentenceMarks(std::wstring& text) {
    const std::size_t n = text.size();
    std::vector<std::size_t> lineFeeds;
    std::size_t i = 0;
    while (i < n) {
        if (!IsSentenceMark(text[i])) {
            ++i;
            continue;
        }
        while (i < n && IsSentenceMark(text[i])) {
            ++i;
        }
        while (i < n && text[i] == L'\u300D') { // 」
            ++i;
        }
        lineFeeds.push_back(i);
    }
    InsertLineFeeds(text, lineFeeds);
}

void SetBracketedItemsApart(std::wstring& text) {
    const std::size_t n = text.size();
    std::vector<std::size_t> lineFeeds;
    // The nearest closing bracket at or after the position asked for last, or n when there is
    // none. The positions asked for only grow, so the text is searched for closing brackets once
    // in all, however many line starts open a bracket that closes far away or never.
    std::size_t nearestClose = 0;
    const auto closeAtOrAfter = [&](std::size_t from) {
        if (nearestClose < from) {
            nearestClose = from;
            while (nearestClose < n && !IsClosingBracket(text[nearestClose])) {
                ++nearestClose;
            }
        }
        return nearestClose;
    };
    // An item needs its opening bracket, at least one character and its closing bracket.
    std::size_t i = 0;
    while (i + 2 < n) {
        if (!IsOpeningBracket(text[i]) || !StartsLine(text, i)) {
            ++i;
            continue;
        }
        const std::size_t close = closeAtOrAfter(i + 2);
        if (close == n) {
            break; // no bracket closes from here on, so no later item closes either
        }
        lineFeeds.push_back(i);
        lineFeeds.push_back(close + 1);
        // Behind the closing bracket no line starts, so the next item begins further on.
        i = close + 1;
    }
    InsertLineFeeds(text, lineFeeds);
}

void BreakAfterIndentation(std::wstring& text) {
    const std::size_t n = text.size();
    std::vector<std::size_t> lineFeeds;
    std::size_t i = 0;
    while (i < n) {
        if (!IsIndentation(text[i]) || !StartsLine(text, i)) {
            ++i;
            continue;
        }
        while (i < n && IsIndentation(text[i])) {
            ++i;
        }
        lineFeeds.push_back(i);
    }
    InsertLineFeeds(text, lineFeeds);
}

void DropIndentation(std::wstring& text) {
    const std::size_t n = text.size();
    std::size_t write = 0;
    std::size_t read = 0;
    // Line starts are judged on the text as it came in: the character in front of a position is
    // kept apart, since the place it stood in may already be overwritten. Behind a deleted run
    // stands no indentation, so what stood before that character does not matter.
    wchar_t before = 0;
    while (read < n) {
        const wchar_t c = text[read];
        if (IsIndentation(c) && (read == 0 || StartsLineAfter(before, c))) {
            while (read < n && IsIndentation(text[read])) {
                ++read;
            }
            continue;
        }
        text[write++] = c;
        before = c;
        ++read;
    }
    text.resize(write);
}

} // namespace bitexa
