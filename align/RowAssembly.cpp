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

// The cell text of `count` segments of one side ending at `last`: nothing, one segment, or two
// joined by the side's joiner.
std::wstring Cell(const SentenceList& segments, std::ptrdiff_t last, std::ptrdiff_t count,
                  const std::wstring& joiner) {
    if (count == 0) {
        return {};
    }
    const std::wstring& lastSegment = segments[static_cast<std::size_t>(last)];
    if (count == 1) {
        return lastSegment;
    }
    return segments[static_cast<std::size_t>(last - 1)] + joiner + lastSegment;
}

// Where the joiner stands in that cell: after the first of two segments.
std::size_t JoinOf(const SentenceList& segments, std::ptrdiff_t last, std::ptrdiff_t count) {
    return count == 2 ? segments[static_cast<std::size_t>(last - 1)].size() : NoJoin;
}

} // namespace

void CSentenceAligner::GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn,
                                  JoinList* joins) const {
    // Walks the path back from the last cell. It stops as soon as either index falls below 1,
    // which happens at the origin or where the path took a move that was unavailable at the
    // table's edge; the segments left over on one side then form rows of their own. The rows
    // come out last first and are turned around at the end.
    const SentenceList& source = m_sourceSegments;
    const SentenceList& target = m_targetSegments;
    // Signed: an index may drop to -1 when a list lacks even its placeholder.
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(source.size()) - 1;
    std::ptrdiff_t w = static_cast<std::ptrdiff_t>(target.size()) - 1;

    sourceColumn.clear();
    targetColumn.clear();
    const std::size_t mostRows =
        static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, n) + std::max<std::ptrdiff_t>(0, w));
    sourceColumn.reserve(mostRows);
    targetColumn.reserve(mostRows);
    if (joins != nullptr) {
        joins->clear();
        joins->reserve(mostRows);
    }
    while (n >= 1 && w >= 1) {
        const BeadKind code = PathCode(static_cast<std::size_t>(n), static_cast<std::size_t>(w));
        const BeadShape shape = Shapes[static_cast<std::size_t>(code)];
        sourceColumn.push_back(Cell(source, n, shape.sourceCount, m_sourceJoiner));
        targetColumn.push_back(Cell(target, w, shape.targetCount, m_targetJoiner));
        if (joins != nullptr) {
            joins->push_back(
                {JoinOf(source, n, shape.sourceCount), JoinOf(target, w, shape.targetCount)});
        }
        n -= shape.sourceCount;
        w -= shape.targetCount;
    }
    for (; n >= 1; --n) {
        sourceColumn.push_back(source[static_cast<std::size_t>(n)]);
        targetColumn.emplace_back();
    }
    for (; w >= 1; --w) {
        sourceColumn.emplace_back();
        targetColumn.push_back(target[static_cast<std::size_t>(w)]);
    }
    std::reverse(sourceColumn.begin(), sourceColumn.end());
    std::reverse(targetColumn.begin(), targetColumn.end());
    if (joins != nullptr) {
        // Leftover rows hold one segment each.
        joins->resize(sourceColumn.size());
        std::reverse(joins->begin(), joins->end());
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
