#include "align/RowInfo.h"
#include "align/SentenceAligner.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

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

// A tab of the segment's own would be read as the edge between the cells by every tool that
// takes the rows in, and shift the columns of the row; it goes in as one space.
void AppendCell(std::wstring& text, const std::wstring& cell) {
    const std::size_t start = text.size();
    text += cell;
    std::replace(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), L'\t', L' ');
}

// The length model's cost of a bead of `shape` whose last segments are source n and target w,
// as the dynamic programme weighed it there.
int BeadCostAt(const CSentenceAligner& aligner, BeadShape shape, std::ptrdiff_t n,
               std::ptrdiff_t w) {
    const SentenceList& source = aligner.SourceSegments();
    const SentenceList& target = aligner.TargetSegments();
    const auto length = [](const SentenceList& segments, std::ptrdiff_t k) {
        return static_cast<std::int64_t>(SegmentLength(segments[static_cast<std::size_t>(k)]));
    };
    // The lengths in BeadCost's order: first segment of each side, then the second, where the
    // second is the later one of a pair and a lone segment is the first.
    const std::int64_t x1 = shape.sourceCount == 0 ? 0 : length(source, n - shape.sourceCount + 1);
    const std::int64_t x2 = shape.sourceCount == 2 ? length(source, n) : 0;
    const std::int64_t y1 = shape.targetCount == 0 ? 0 : length(target, w - shape.targetCount + 1);
    const std::int64_t y2 = shape.targetCount == 2 ? length(target, w) : 0;
    return aligner.BeadCost(x1, y1, x2, y2);
}

// Walks the path back from the last cell. It stops as soon as either index falls below 1, which
// happens at the origin or where the path took a move that was unavailable at the table's edge;
// the segments left over on one side then form rows of their own. The rows come out last first
// and are turned around at the end. `rowInfo`, when given, gets each row's kind and cost.
void WalkRows(const CSentenceAligner& aligner, ColumnList& sourceColumn, ColumnList& targetColumn,
              RowInfoList* rowInfo) {
    const SentenceList& source = aligner.SourceSegments();
    const SentenceList& target = aligner.TargetSegments();
    // Signed: an index may drop to -1 when a list lacks even its placeholder.
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(source.size()) - 1;
    std::ptrdiff_t w = static_cast<std::ptrdiff_t>(target.size()) - 1;

    sourceColumn.clear();
    targetColumn.clear();
    const std::size_t mostRows =
        static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, n) + std::max<std::ptrdiff_t>(0, w));
    sourceColumn.reserve(mostRows);
    targetColumn.reserve(mostRows);
    if (rowInfo != nullptr) {
        rowInfo->clear();
        rowInfo->reserve(mostRows);
    }
    // Where the joiner stands in a cell of two segments ending at `last`: after the first.
    const auto joinOf = [](const SentenceList& segments, std::ptrdiff_t last,
                           std::ptrdiff_t count) {
        return count == 2 ? segments[static_cast<std::size_t>(last - 1)].size() : NoJoin;
    };
    const auto addInfo = [&](RowKind kind, int cost, BeadShape shape) {
        if (rowInfo != nullptr) {
            rowInfo->push_back({kind, cost, static_cast<std::uint8_t>(shape.sourceCount),
                                static_cast<std::uint8_t>(shape.targetCount),
                                joinOf(source, n, shape.sourceCount),
                                joinOf(target, w, shape.targetCount)});
        }
    };
    while (n >= 1 && w >= 1) {
        const BeadKind code =
            aligner.PathCode(static_cast<std::size_t>(n), static_cast<std::size_t>(w));
        const BeadShape shape = Shapes[static_cast<std::size_t>(code)];
        sourceColumn.push_back(Cell(source, n, shape.sourceCount, aligner.SourceJoiner()));
        targetColumn.push_back(Cell(target, w, shape.targetCount, aligner.TargetJoiner()));
        if (rowInfo != nullptr) {
            if (n == 1 && w == 1) {
                addInfo(RowKind::Anchor, 0, shape);
            } else if (n - shape.sourceCount < 1 || w - shape.targetCount < 1) {
                addInfo(static_cast<RowKind>(code), ImpossibleCost, shape);
            } else {
                addInfo(static_cast<RowKind>(code), BeadCostAt(aligner, shape, n, w), shape);
            }
        }
        n -= shape.sourceCount;
        w -= shape.targetCount;
    }
    constexpr BeadShape sourceAlone = Shapes[static_cast<std::size_t>(BeadKind::SourceOnly)];
    constexpr BeadShape targetAlone = Shapes[static_cast<std::size_t>(BeadKind::TargetOnly)];
    for (; n >= 1; --n) {
        sourceColumn.push_back(source[static_cast<std::size_t>(n)]);
        targetColumn.emplace_back();
        if (rowInfo != nullptr) {
            addInfo(RowKind::SourceOnly, BeadCostAt(aligner, sourceAlone, n, 0), sourceAlone);
        }
    }
    for (; w >= 1; --w) {
        sourceColumn.emplace_back();
        targetColumn.push_back(target[static_cast<std::size_t>(w)]);
        if (rowInfo != nullptr) {
            addInfo(RowKind::TargetOnly, BeadCostAt(aligner, targetAlone, 0, w), targetAlone);
        }
    }
    std::reverse(sourceColumn.begin(), sourceColumn.end());
    std::reverse(targetColumn.begin(), targetColumn.end());
    if (rowInfo != nullptr) {
        std::reverse(rowInfo->begin(), rowInfo->end());
    }
}

} // namespace

void CSentenceAligner::GetRowSpans(std::vector<RowSpan>& rows) const {
    // The walk of WalkRows, giving positions rather than cells.
    std::ptrdiff_t n = static_cast<std::ptrdiff_t>(m_sourceSegments.size()) - 1;
    std::ptrdiff_t w = static_cast<std::ptrdiff_t>(m_targetSegments.size()) - 1;
    rows.clear();
    rows.reserve(
        static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, n) + std::max<std::ptrdiff_t>(0, w)));
    // A side without segments in the row keeps the position after those before it.
    const auto add = [&rows](std::ptrdiff_t n, std::ptrdiff_t sourceCount, std::ptrdiff_t w,
                             std::ptrdiff_t targetCount) {
        rows.push_back({static_cast<std::size_t>(std::max<std::ptrdiff_t>(n, 0) - sourceCount + 1),
                        static_cast<std::size_t>(sourceCount),
                        static_cast<std::size_t>(std::max<std::ptrdiff_t>(w, 0) - targetCount + 1),
                        static_cast<std::size_t>(targetCount)});
    };
    while (n >= 1 && w >= 1) {
        const BeadKind code = PathCode(static_cast<std::size_t>(n), static_cast<std::size_t>(w));
        const BeadShape shape = Shapes[static_cast<std::size_t>(code)];
        add(n, shape.sourceCount, w, shape.targetCount);
        n -= shape.sourceCount;
        w -= shape.targetCount;
    }
    for (; n >= 1; --n) {
        add(n, 1, w, 0);
    }
    for (; w >= 1; --w) {
        add(n, 0, w, 1);
    }
    std::reverse(rows.begin(), rows.end());
}

void CSentenceAligner::GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn) const {
    WalkRows(*this, sourceColumn, targetColumn, nullptr);
}

void GetRows(const CSentenceAligner& aligner, ColumnList& sourceColumn, ColumnList& targetColumn,
             RowInfoList& rowInfo) {
    WalkRows(aligner, sourceColumn, targetColumn, &rowInfo);
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
        AppendRow(text, sourceColumn[row], targetColumn[row]);
    }
}

void AppendRow(std::wstring& text, const std::wstring& sourceCell, const std::wstring& targetCell) {
    AppendCell(text, sourceCell);
    text += L'\t';
    AppendCell(text, targetCell);
    text += L'\n';
}

} // namespace bitexa
