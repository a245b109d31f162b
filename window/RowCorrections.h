#pragma once

#include "window/AlignmentRows.h"

#include <optional>
#include <string>

namespace bitexa {

// One correction as a change of rows: the rows from `first` on that were `before` become
// `after`. Undoing it is the same change turned around.
struct RowChange {
    int first = 0;
    AlignedRows before;
    AlignedRows after;
    // The cell that the correction leaves the user on.
    int focusRow = 0;
    Side focusSide = Side::Source;
};

// The corrections of the alignment view. Each gives the change it makes to `rows`, or nothing
// when it cannot be made there (no such row, no segment to move, ...). Corrections work on a
// cell's non-empty segments: an empty segment (a blank line of the text) goes where the cell's
// segments go together, and it goes away. A row that a merge or a move leaves without any text
// goes away too. Every row that a correction touches counts as corrected.

// The cell's segments go to the front of the cell below; the other column stays as it was.
std::optional<RowChange> MergeIntoNext(const AlignedRows& rows, int row, Side side);

// The cell is cut before its segment number `boundary` (1 to its segment count less one): the
// segments from there on go to a new row below, whose other cell is empty.
std::optional<RowChange> SplitRow(const AlignedRows& rows, int row, Side side, int boundary);

// The cell's first segment goes to the end of the cell above.
std::optional<RowChange> MoveFirstSegmentUp(const AlignedRows& rows, int row, Side side);

// The cell's last segment goes to the front of the cell below.
std::optional<RowChange> MoveLastSegmentDown(const AlignedRows& rows, int row, Side side);

// The cell's text becomes `text`. Segment boundaries outside the part the user changed stay,
// so a fixed typo does not weld the cell's segments together; a boundary whose joiner was
// edited goes. Nothing when the text is unchanged.
std::optional<RowChange> EditCell(const AlignedRows& rows, int row, Side side,
                                  const std::wstring& text, const std::wstring& joiner);

// An empty row at `row` (0 to the row count), before the row that stood there.
std::optional<RowChange> InsertEmptyRow(const AlignedRows& rows, int row);

// Takes away a row without text; a row with text cannot be deleted, so no text is ever lost.
std::optional<RowChange> DeleteEmptyRow(const AlignedRows& rows, int row);

// The cell's segments that a split or a move works on: those that are not empty.
Segments SolidSegments(const Segments& cell);

// Whether neither cell of the row has any text.
bool IsEmptyRow(const AlignedRow& row);

} // namespace bitexa
