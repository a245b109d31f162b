#include "text/LineSplitter.h"

namespace bitexa {

void SplitLines(const std::wstring& text, SentenceList& list) {
    std::size_t lineStart = 0;
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            list.emplace_back(text, lineStart, i - lineStart);
            i += (c == L'\r' && i + 1 < size && text[i + 1] == L'\n') ? 2 : 1;
            lineStart = i;
        } else {
            ++i;
        }
    }
    // A last line without a break still counts; a break at the very end adds no empty line.
    if (lineStart < size) {
        list.emplace_back(text, lineStart, size - lineStart);
    }
    list.insert(list.begin(), std::wstring());
}

} // namespace bitexa
