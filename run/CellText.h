#pragma once

#include "align/RowInfo.h"
#include "text/SplitMode.h"

#include <cstddef>
#include <string>
#include <vector>

namespace bitexa {

// A cell's text as a translation memory or a corpus wants it. On an English side the cell is
// taken apart at its joiner (`join`: see RowInfo) into its segments, and each segment loses the
// blanks (U+0020) at its end: the English rules leave the blanks that followed a sentence's
// punctuation on the sentence. The segments that keep any text are then joined by one blank, so
// the joiner's blank next to an empty segment (a paragraph break) goes too. Nothing else is
// touched: blanks inside a segment and at its start, other spaces, and the cells of Japanese and
// line sides (whose joiner is empty) stay as they are.
//
// A `join` that does not fit the cell (beyond its end, or not at a blank) is taken as none, so a
// cell changed after the run is still trimmed at its end.
std::wstring ExportCellText(const std::wstring& cell, std::size_t join, SplitMode mode);

// The same for a cell given as its segments, however many (a corrected row may hold more than
// two): on an English side each loses its trailing blanks and those with text are joined by one
// blank; on other sides they are run together.
std::wstring ExportSegmentsText(const std::vector<std::wstring>& segments, SplitMode mode);

// Row `row`'s information when the list has one entry per row, else a row of single segments.
inline RowInfo InfoOfRow(const RowInfoList* rowInfo, std::size_t rows, std::size_t row) {
    return rowInfo != nullptr && rowInfo->size() == rows ? (*rowInfo)[row] : RowInfo{};
}

} // namespace bitexa
