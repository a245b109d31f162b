#include "text/LineSplitter.h"

#include <cstdint>

namespace bitexa {

void SplitLines(const std::wstring& text, SentenceList& list) {
    LineCutter cutter(list);
    cutter.Add(text);
    cutter.Finish();
}

void LineCutter::Add(std::wstring_view piece) {
    const std::size_t size = piece.size();
    std::size_t i = 0;
    if (m_afterCr && size > 0) {
        m_afterCr = false;
        if (piece[0] == L'\n') {
            i = 1;
        }
    }
    std::size_t lineStart = i;
    while (i < size) {
        const wchar_t c = piece[i];
        // Both breaks are below 14: one comparison passes over every other character.
        if (static_cast<std::uint32_t>(c) > L'\r' || (c != L'\r' && c != L'\n')) {
            ++i;
            continue;
        }
        const std::wstring_view line = piece.substr(lineStart, i - lineStart);
        if (m_line.empty()) {
            m_list.emplace_back(line);
        } else {
            m_line += line;
            m_list.push_back(std::move(m_line));
            m_line.clear();
        }
        if (c == L'\r' && i + 1 == size) {
            m_afterCr = true;
        }
        i += (c == L'\r' && i + 1 < size && piece[i + 1] == L'\n') ? 2 : 1;
        lineStart = i;
    }
    m_line += piece.substr(lineStart);
}

void LineCutter::Finish() {
    // A last line without a break still counts; a break at the very end adds no empty line.
    if (!m_line.empty()) {
        m_list.push_back(std::move(m_line));
        m_line.clear();
    }
    m_list.insert(m_list.begin(), std::wstring());
}

} // namespace bitexa
