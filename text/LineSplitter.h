#pragma once

#include "text/SentenceList.h"

#include <string>
#include <string_view>

namespace bitexa {

// Appends one entry per line (CR LF, LF and a lone CR each end a line) and then puts the empty
// leading entry at index 0. Does not clear the list: callers do.
void SplitLines(const std::wstring& text, SentenceList& list);

// SplitLines for a text given in pieces, as it is decoded: the lines are the same wherever the
// text is cut, a CR LF across two pieces included.
class LineCutter {
public:
    // The lines go to the end of `list`, which must outlive the cutter.
    explicit LineCutter(SentenceList& list) : m_list(list) {}

    void Add(std::wstring_view piece);
    // The last line, if the text does not end with a break; then the leading entry.
    void Finish();

private:
    SentenceList& m_list;
    std::wstring m_line;    // the start of a line that an earlier piece left open
    bool m_afterCr = false; // an LF that opens the next piece belongs to the CR before it
};

} // namespace bitexa
