#include "align/SentenceAligner.h"

#include <algorithm>
#include <cstddef>

namespace bitexa {

namespace {

struct Row {
    std::wstring source;
    std::wstring target;
};

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

// Walks the path back from the last cell. It stops as soon as either index falls below 1, which
// happens at the origin or where the path took a move that was unavailable at the table's edge;
// the segments left over on one side then form rows of their own. Rows come out in text order.
std::vector<Row> CollectRows(const CSentenceAligner& aligner) {
    const SentenceList& source = aligner.SourceSegments();
    const SentenceList& target = aligner.TargetSegments();
    // Signed: an index may drop to -1 when a list lacks even its placeholder.
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(source.size()) - 1;
    std::ptrdiff_t w = static_cast<std::ptrdiff_t>(target.size()) - 1;

    std::vector<Row> rows;
    while (n >= 1 && w >= 1) {
        const BeadKind code =
            aligner.PathCode(static_cast<std::size_t>(n), static_cast<std::size_t>(w));
        const BeadShape shape = Shapes[static_cast<std::size_t>(code)];
        rows.push_back({Cell(source, n, shape.sourceCount, aligner.SourceJoiner()),
                        Cell(target, w, shape.targetCount, aligner.TargetJoiner())});
        n -= shape.sourceCount;
        w -= shape.targetCount;
    }
    for (; n >= 1; --n) {
        rows.push_back({source[static_cast<std::size_t>(n)], {}});
    }
    for (; w >= 1; --w) {
        rows.push_back({{}, target[static_cast<std::size_t>(w)]});
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

} // namespace

void CSentenceAligner::GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn) const {
    sourceColumn.clear();
    targetColumn.clear();
    std::vector<Row> rows = CollectRows(*this);
    sourceColumn.reserve(rows.size());
    targetColumn.reserve(rows.size());
    for (Row& row : rows) {
        sourceColumn.push_back(std::move(row.source));
        targetColumn.push_back(std::move(row.target));
    }
}

void CSentenceAligner::GetText(std::wstring& text) const {
    text.clear();
    for (const Row& row : CollectRows(*this)) {
        text += row.source;
        text += L'\t';
        text += row.target;
        text += L'\n';
    }
}

} // namespace bitexa
