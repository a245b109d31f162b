#include "text/rules/EnglishPasses.h"

#include "text/rules/LineFeedInsertion.h"

#include <vector>

namespace bitexa {

namespace {

bool IsAsciiDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool IsAsciiLower(wchar_t c) {
    return c >= L'a' && c <= L'z';
}

bool IsAsciiUpper(wchar_t c) {
    return c >= L'A' && c <= L'Z';
}

bool IsLineBreak(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

bool IsPageNumberDash(wchar_t c) {
    return c == L'-' || c == L'\u2015'; // hyphen-minus, horizontal bar
}

// What may end a broken line, and what may begin its continuation.
bool EndsBrokenLine(wchar_t c) {
    return IsAsciiLower(c) || c == L' ' || c == L',';
}

bool ContinuesBrokenLine(wchar_t c) {
    return IsAsciiLower(c) || IsAsciiUpper(c) || c == L' ' || c == L'"';
}

bool IsHeadingNumberCharacter(wchar_t c) {
    return IsAsciiDigit(c) || c == L'.' || c == L' ';
}

// The length of the page-number line that starts with the line break at `s`: a dash, an optional
// space, digits, an optional space, a dash and two line breaks. 0 when there is none.
std::size_t PageNumberLineLength(const std::wstring& text, std::size_t s) {
    const std::size_t n = text.size();
    std::size_t k = s;
    if (!IsLineBreak(text[k++])) {
        return 0;
    }
    if (k >= n || !IsPageNumberDash(text[k++])) {
        return 0;
    }
    if (k < n && text[k] == L' ') {
        ++k;
    }
    const std::size_t digits = k;
    while (k < n && IsAsciiDigit(text[k])) {
        ++k;
    }
    if (k == digits) {
        return 0;
    }
    if (k < n && text[k] == L' ') {
        ++k;
    }
    if (k >= n || !IsPageNumberDash(text[k++])) {
        return 0;
    }
    for (int breaks = 0; breaks < 2; ++breaks) {
        if (k >= n || !IsLineBreak(text[k++])) {
            return 0;
        }
    }
    return k - s;
}

} // namespace

void DropIndentationAfterLineFeeds(std::wstring& text) {
    const std::size_t n = text.size();
    std::size_t read = text.find(L'\n');
    if (read == std::wstring::npos) {
        return;
    }
    std::size_t write = read;
    while (read < n) {
        const wchar_t c = text[read++];
        text[write++] = c;
        if (c == L'\n') {
            while (read < n &&
                   (text[read] == L'\t' || text[read] == L' ' || text[read] == L'\u3000')) {
                ++read;
            }
        }
    }
    text.resize(write);
}

void JoinBrokenLines(std::wstring& text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i + 2 < n) {
        if (text[i + 1] == L'\n' && EndsBrokenLine(text[i]) && ContinuesBrokenLine(text[i + 2])) {
            text[i + 1] = L' ';
            i += 3; // the next join may not use the character just joined
        } else {
            ++i;
        }
    }
}

void SetNumberedLinesApart(std::wstring& text) {
    const std::size_t n = text.size();
    const std::size_t lastLineFeed = text.rfind(L'\n');
    if (lastLineFeed == std::wstring::npos) {
        return;
    }
    std::vector<std::size_t> lineFeeds;
    std::size_t s = text.find(L'\n');
    while (s != std::wstring::npos) {
        // The run of digits, periods and spaces behind the line feed.
        std::size_t k = s + 1;
        while (k < n && IsHeadingNumberCharacter(text[k])) {
            ++k;
        }
        const std::size_t run = k - (s + 1);
        if (run == 0) {
            s = text.find(L'\n', s + 1);
            continue;
        }
        // At least one character behind the run, then the first line feed. Should there be no
        // line feed that far, the run may give back its last character to that one character,
        // provided a line feed follows the run directly and the run keeps one character.
        std::size_t end;
        if (k + 1 <= lastLineFeed) {
            end = text.find(L'\n', k + 1);
        } else if (run >= 2 && k < n && text[k] == L'\n') {
            end = k;
        } else {
            // No line feed behind this one would do either: no heading further on.
            break;
        }
        lineFeeds.push_back(end + 1);
        s = text.find(L'\n', end + 1);
    }
    InsertLineFeeds(text, lineFeeds);
}

void RemovePageNumberLines(std::wstring& text) {
    const std::size_t n = text.size();
    std::size_t write = 0;
    std::size_t read = 0;
    while (read < n) {
        const wchar_t c = text[read];
        if (IsLineBreak(c)) {
            // The match is checked on characters not yet overwritten: writing stays behind
            // reading.
            const std::size_t length = PageNumberLineLength(text, read);
            if (length > 0) {
                read += length;
                continue;
            }
        }
        text[write++] = c;
        ++read;
    }
    text.resize(write);
}

} // namespace bitexa
