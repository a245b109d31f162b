#include "window/RowCorrections.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace bitexa {

Segments SolidSegments(const Segments& cell) {
    Segments solid;
    std::copy_if(cell.begin(), cell.end(), std::back_inserter(solid),
                 [](const std::wstring& segment) { return !segment.empty(); });
    return solid;
}

bool IsEmptyRow(const AlignedRow& row) {
    return SolidSegments(row.source).empty() && SolidSegments(row.target).empty();
}

namespace {

bool HasRow(const AlignedRows& rows, int row) {
    return row >= 0 && static_cast<std::size_t>(row) < rows.size();
}

const AlignedRow& RowAt(const AlignedRows& rows, int row) {
    return rows[static_cast<std::size_t>(row)];
}

Segments Joined(const Segments& first, const Segments& second) {
    Segments joined = SolidSegments(first);
    const Segments tail = SolidSegments(second);
    joined.insert(joined.end(), tail.begin(), tail.end());
    return joined;
}

AlignedRow Corrected(AlignedRow row) {
    row.corrected = true;
    return row;
}

// The change of rows `first` and `first + 1` into `upper` and `lower`, where an upper row
// without text goes away.
RowChange ChangeOfPair(const AlignedRows& rows, int first, AlignedRow upper, AlignedRow lower,
                       bool focusLower, Side side) {
    RowChange change;
    change.first = first;
    change.before = {RowAt(rows, first), RowAt(rows, first + 1)};
    const bool keepUpper = !IsEmptyRow(upper);
    const bool keepLower = !IsEmptyRow(lower);
    if (keepUpper) {
        change.after.push_back(Corrected(std::move(upper)));
    }
    if (keepLower) {
        change.after.push_back(Corrected(std::move(lower)));
    }
    const int focus = focusLower && keepUpper && keepLower ? first + 1 : first;
    change.focusRow = change.after.empty() ? std::max(0, first - 1) : focus;
    change.focusSide = side;
    return change;
}

} // namespace

std::optional<RowChange> MergeIntoNext(const AlignedRows& rows, int row, Side side) {
    if (!HasRow(rows, row) || !HasRow(rows, row + 1) ||
        SolidSegments(RowAt(rows, row).Cell(side)).empty()) {
        return std::nullopt;
    }
    AlignedRow upper = RowAt(rows, row);
    AlignedRow lower = RowAt(rows, row + 1);
    lower.Cell(side) = Joined(upper.Cell(side), lower.Cell(side));
    upper.Cell(side).clear();
    return ChangeOfPair(rows, row, std::move(upper), std::move(lower), true, side);
}

std::optional<RowChange> SplitRow(const AlignedRows& rows, int row, Side side, int boundary) {
    if (!HasRow(rows, row)) {
        return std::nullopt;
    }
    const Segments solid = SolidSegments(RowAt(rows, row).Cell(side));
    if (boundary < 1 || static_cast<std::size_t>(boundary) >= solid.size()) {
        return std::nullopt;
    }
    AlignedRow upper = Corrected(RowAt(rows, row));
    upper.Cell(side).assign(solid.begin(), solid.begin() + boundary);
    AlignedRow lower;
    lower.corrected = true;
    lower.Cell(side).assign(solid.begin() + boundary, solid.end());
    RowChange change;
    change.first = row;
    change.before = {RowAt(rows, row)};
    change.after = {std::move(upper), std::move(lower)};
    change.focusRow = row + 1;
    change.focusSide = side;
    return change;
}

std::optional<RowChange> MoveFirstSegmentUp(const AlignedRows& rows, int row, Side side) {
    if (!HasRow(rows, row - 1) || !HasRow(rows, row)) {
        return std::nullopt;
    }
    Segments solid = SolidSegments(RowAt(rows, row).Cell(side));
    if (solid.empty()) {
        return std::nullopt;
    }
    AlignedRow upper = RowAt(rows, row - 1);
    AlignedRow lower = RowAt(rows, row);
    upper.Cell(side) = Joined(upper.Cell(side), {solid.front()});
    solid.erase(solid.begin());
    lower.Cell(side) = std::move(solid);
    // The user follows the segment up.
    RowChange change = ChangeOfPair(rows, row - 1, std::move(upper), AlignedRow(), false, side);
    if (!IsEmptyRow(lower)) {
        change.after.push_back(Corrected(std::move(lower)));
    }
    return change;
}

std::optional<RowChange> MoveLastSegmentDown(const AlignedRows& rows, int row, Side side) {
    if (!HasRow(rows, row) || !HasRow(rows, row + 1)) {
        return std::nullopt;
    }
    Segments solid = SolidSegments(RowAt(rows, row).Cell(side));
    if (solid.empty()) {
        return std::nullopt;
    }
    AlignedRow upper = RowAt(rows, row);
    AlignedRow lower = RowAt(rows, row + 1);
    lower.Cell(side) = Joined({solid.back()}, lower.Cell(side));
    solid.pop_back();
    upper.Cell(side) = std::move(solid);
    return ChangeOfPair(rows, row, std::move(upper), std::move(lower), true, side);
}

namespace {

// The edited text cut into segments where the old text's boundaries lie outside the edit. The
// edit is the span between the longest common beginning and end of the two texts; a boundary
// (the joiner between two segments) in the common beginning or end is found at the same place
// of the new text, counted from its start or from its end.
Segments Resegment(const Segments& old, const std::wstring& joiner, const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const std::wstring before = CellText(old, joiner);
    const std::size_t shorter = std::min(before.size(), text.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == text[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == text[text.size() - 1 - suffix]) {
        ++suffix;
    }
    Segments segments;
    std::size_t start = 0;    // of the next segment, in the new text
    std::size_t joinerAt = 0; // in the old text
    for (std::size_t k = 0; k + 1 < old.size(); ++k) {
        joinerAt += old[k].size();
        std::size_t at = 0;
        if (joinerAt + joiner.size() <= prefix) {
            at = joinerAt;
        } else if (joinerAt >= before.size() - suffix) {
            at = joinerAt + text.size() - before.size();
        } else {
            joinerAt += joiner.size();
            continue; // the edit went through this boundary
        }
        segments.push_back(text.substr(start, at - start));
        start = at + joiner.size();
        joinerAt += joiner.size();
    }
    segments.push_back(text.substr(start));
    return segments;
}

} // namespace

std::optional<RowChange> EditCell(const AlignedRows& rows, int row, Side side,
                                  const std::wstring& text, const std::wstring& joiner) {
    if (!HasRow(rows, row) || CellText(RowAt(rows, row).Cell(side), joiner) == text) {
        return std::nullopt;
    }
    AlignedRow edited = Corrected(RowAt(rows, row));
    edited.Cell(side) = Resegment(edited.Cell(side), joiner, text);
    RowChange change;
    change.first = row;
    change.before = {RowAt(rows, row)};
    change.after = {std::move(edited)};
    change.focusRow = row;
    change.focusSide = side;
    return change;
}

std::optional<RowChange> InsertEmptyRow(const AlignedRows& rows, int row) {
    if (row < 0 || static_cast<std::size_t>(row) > rows.size()) {
        return std::nullopt;
    }
    RowChange change;
    change.first = row;
    AlignedRow empty;
    empty.corrected = true;
    change.after = {empty};
    change.focusRow = row;
    return change;
}

std::optional<RowChange> DeleteEmptyRow(const AlignedRows& rows, int row) {
    if (!HasRow(rows, row) || !IsEmptyRow(RowAt(rows, row))) {
        return std::nullopt;
    }
    RowChange change;
    change.first = row;
    change.before = {RowAt(rows, row)};
    change.focusRow = std::max(0, std::min(row, static_cast<int>(rows.size()) - 2));
    return change;
}

} // namespace bitexa
