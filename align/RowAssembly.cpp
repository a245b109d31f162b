#include "align/SentenceAligner.h"

#include <algorithm>
#include <cstddef>

namespace bitexa {

namespace {

// Segments used on each side by a bead of the given code.
struct BeadShape {
    std::ptrdiff_t sourceCount;
    std::ptrdiff_t targetCount;
};

constexpr BeadShape Shapes[] = {
    {0, 1}, // TargetOnly
    {1, 0}, // SourceOnly
    {1, 1}, // OneToOne
    {1, 2}, // OneToTwo
    {2, 1}, // TwoToOne
    {2, 2}, // TwoToTwo
};

// The cell text of `count` segments of one side from `first`: nothing, one segment, or two
// joined by the side's joiner.
std::wstring Cell(const SentenceList& segments, std::size_t first, std::size_t count,
                  const std::wstring& joiner) {
    if (count == 0) {
        return {};
    }
    if (count == 1) {
        return segments[first];
    }
    return segments[first] + joiner + segments[first + 1];
}

} // namespace

void CSentenceAligner::GetRows(std::vector<RowSpan>& rows) const {
    // Walks the path back from the last cell. It stops as soon as either index falls below 1,
    // which happens at the origin or where the path took a move that was unavailable at the
    // table's edge; the segments left over on one side then form rows of their own. The rows
    // come out last first and are turned around at the end.
    // Signed: an index may drop to -1 when a list lacks even its placeholder.
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(m_sourceSegments.size()) - 1;
    std::ptrdiff_t w = static_cast<std::ptrdiff_t>(m_targetSegments.size()) - 1;
    rows.clear();
    rows.reserve(
        static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, n) + std::max<std::ptrdiff_t>(0, w)));
    const auto add = [&rows](std::ptrdiff_t n, std::ptrdiff_t sourceCount, std::ptrdiff_t w,
                             std::ptrdiff_t targetCount) {
        rows.push_back(
            {static_cast<std::size_t>(n - sourceCount + 1), static_cast<std::size_t>(sourceCount),
             static_cast<std::size_t>(w - targetCount + 1), static_cast<std::size_t>(targetCount)});
    };
    while (n >= 1 && w >= 1) {
        const BeadKind code = PathCode(static_cast<std::size_t>(n), static_cast<std::size_t>(w));
        const BeadShape shape = Shapes[static_cast<std::size_t>(code)];
        add(n, shape.sourceCount, w, shape.targetCount);
        n -= shape.sourceCount;
        w -= shape.targetCount;
    }
    for (; n >= 1; --n) {
        add(n, 1, std::max<std::ptrdiff_t>(w, 0), 0);
    }
    for (; w >= 1; --w) {
        add(std::max<std::ptrdiff_t>(n, 0), 0, w, 1);
    }
    std::reverse(rows.begin(), rows.end());
}

void CSentenceAligner::GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn) const {
    std::vector<RowSpan> rows;
    GetRows(rows);
    sourceColumn.clear();
    targetColumn.clear();
    AppendRowCells(rows, m_sourceSegments, m_targetSegments, m_sourceJoiner, m_targetJoiner,
                   sourceColumn, targetColumn);
}

void AppendRowCells(const std::vector<RowSpan>& rows, const SentenceList& source,
                    const SentenceList& target, const std::wstring& sourceJoiner,
                    const std::wstring& targetJoiner, ColumnList& sourceColumn,
                    ColumnList& targetColumn) {
    sourceColumn.reserve(sourceColumn.size() + rows.size());
    targetColumn.reserve(targetColumn.size() + rows.size());
    for (const RowSpan& row : rows) {
        sourceColumn.push_back(Cell(source, row.sourceFirst, row.sourceCount, sourceJoiner));
        targetColumn.push_back(Cell(target, row.targetFirst, row.targetCount, targetJoiner));
    }
}

void CSentenceAligner::GetText(std::wstring& text) const {
    ColumnList sourceColumn;
    ColumnList targetColumn;
    GetColumns(sourceColumn, targetColumn);
    text.clear();
    AppendRowText(text, sourceColumn, targetColumn);
}

void AppendRowText(std::wstring& text, const ColumnList& sourceColumn,
                   const ColumnList& targetColumn) {
    std::size_t length = text.size();
    for (std::size_t row = 0; row < sourceColumn.size(); ++row) {
        length += sourceColumn[row].size() + targetColumn[row].size() + 2;
    }
    // Grown by doubling at least, so that appending stretch after stretch stays linear.
    if (length > text.capacity()) {
        text.reserve(std::max(length, 2 * text.capacity()));
    }
    for (std::size_t row = 0; row < sourceColumn.size(); ++row) {
        text += sourceColumn[row];
        text += L'\t';
        text += targetColumn[row];
        text += L'\n';
    }
}

} // namespace bitexa
