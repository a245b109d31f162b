#include "window/AlignmentRows.h"

#include "align/model/LengthModel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace bitexa {

std::wstring CellText(const Segments& segments, const std::wstring& joiner) {
    std::wstring text;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (k > 0) {
            text += joiner;
        }
        text += segments[k];
    }
    return text;
}

namespace {

// The next `count` segments of a side from `cursor` on. A column list that does not match the
// segment lists (it never happens with a run's own lists) is taken as it reads: one segment.
Segments TakeSegments(const SentenceList& segments, std::size_t& cursor, std::size_t count,
                      const std::wstring& cell) {
    if (cursor + count > segments.size()) {
        return cell.empty() ? Segments() : Segments{cell};
    }
    Segments taken(segments.begin() + static_cast<std::ptrdiff_t>(cursor),
                   segments.begin() + static_cast<std::ptrdiff_t>(cursor + count));
    cursor += count;
    return taken;
}

// The cell's segments that hold text.
std::vector<const std::wstring*> Solid(const Segments& cell) {
    std::vector<const std::wstring*> solid;
    for (const std::wstring& segment : cell) {
        if (!segment.empty()) {
            solid.push_back(&segment);
        }
    }
    return solid;
}

Doubt DoubtOfRunRow(const AlignedRow& row, const LengthModel& model) {
    if (row.info.kind == RowKind::Anchor) {
        return Doubt::None;
    }
    const auto source = Solid(row.source);
    const auto target = Solid(row.target);
    if (source.empty() && target.empty()) {
        return Doubt::None;
    }
    if (source.empty() || target.empty()) {
        return Doubt::OneSided;
    }
    if (source.size() > 1 || target.size() > 1) {
        return Doubt::Uneven;
    }
    // The pair as the model weighs one segment against one: a bead that also took a blank
    // line carries a shape penalty that says nothing about the pair.
    const int cost = model.MatchCost(static_cast<std::int64_t>(SegmentLength(*source.front())),
                                     static_cast<std::int64_t>(SegmentLength(*target.front())));
    return cost >= CostlyPairCost ? Doubt::Costly : Doubt::None;
}

} // namespace

AlignedRows RowsOfRun(const ColumnList& sourceColumn, const ColumnList& targetColumn,
                      const RowInfoList& rowInfo, const SentenceList& sourceSegments,
                      const SentenceList& targetSegments, double ratio) {
    const LengthModel model(ratio);
    const std::size_t count = std::max(sourceColumn.size(), targetColumn.size());
    const std::wstring none;
    AlignedRows rows;
    rows.reserve(count);
    std::size_t sourceCursor = 0;
    std::size_t targetCursor = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::wstring& sourceCell = k < sourceColumn.size() ? sourceColumn[k] : none;
        const std::wstring& targetCell = k < targetColumn.size() ? targetColumn[k] : none;
        AlignedRow row;
        if (k < rowInfo.size()) {
            row.info = rowInfo[k];
            row.source =
                TakeSegments(sourceSegments, sourceCursor, row.info.sourceSegments, sourceCell);
            row.target =
                TakeSegments(targetSegments, targetCursor, row.info.targetSegments, targetCell);
        } else {
            row.source = sourceCell.empty() ? Segments() : Segments{sourceCell};
            row.target = targetCell.empty() ? Segments() : Segments{targetCell};
        }
        row.doubt = DoubtOfRunRow(row, model);
        rows.push_back(std::move(row));
    }
    return rows;
}

ColumnList ColumnOf(const AlignedRows& rows, Side side, const std::wstring& joiner) {
    ColumnList column;
    column.reserve(rows.size());
    for (const AlignedRow& row : rows) {
        column.push_back(CellText(row.Cell(side), joiner));
    }
    return column;
}

Doubt DoubtOf(const AlignedRow& row) {
    return row.corrected ? Doubt::None : row.doubt;
}

} // namespace bitexa
