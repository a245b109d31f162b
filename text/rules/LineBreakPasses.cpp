#include "text/rules/LineBreakPasses.h"

namespace bitexa {

void UnifyLineEnds(std::wstring& text) {
    const std::size_t n = text.size();
    // Most texts have no CR at all: nothing to move then.
    std::size_t read = text.find(L'\r');
    if (read == std::wstring::npos) {
        return;
    }
    std::size_t write = read;
    for (; read < n; ++read) {
        const wchar_t c = text[read];
        if (c == L'\r' && read + 1 < n && text[read + 1] == L'\n') {
            continue; // the LF behind it is kept instead
        }
        text[write++] = c;
    }
    text.resize(write);
}

void LimitEmptyLines(std::wstring& text) {
    const std::size_t n = text.size();
    std::size_t read = text.find(L"\n\n\n");
    if (read == std::wstring::npos) {
        return;
    }
    std::size_t write = read;
    while (read < n) {
        const wchar_t c = text[read++];
        text[write++] = c;
        if (c == L'\n' && read < n && text[read] == L'\n') {
            text[write++] = L'\n';
            while (read < n && text[read] == L'\n') {
                ++read;
            }
        }
    }
    text.resize(write);
}

} // namespace bitexa
