#pragma once

#include "align/LargeBuffer.h"
#include "text/SentenceList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bitexa {

// Ordered cell texts of one column of the alignment, one entry per row, no leading entry.
using ColumnList = std::vector<std::wstring>;

// The shape of an aligned row. The code is what the path table stores, and the code order is the
// tie-break order of the dynamic programme: on equal costs the lower code wins.
enum class BeadKind : std::uint8_t {
    TargetOnly = 0, // one target segment alone
    SourceOnly = 1, // one source segment alone
    OneToOne = 2,
    OneToTwo = 3,
    TwoToOne = 4,
    TwoToTwo = 5,
};

// The cost of a pairing whose probability is zero, and of a move that is unavailable at a cell.
inline constexpr int ImpossibleCost = 50000;

// Appends one line per row to `text`: the source cell, a tab, the target cell and a line feed,
// nothing escaped. The columns have the same length.
void AppendRowText(std::wstring& text, const ColumnList& sourceColumn,
                   const ColumnList& targetColumn);

// Standard normal distribution function for z >= 0 (polynomial approximation of Abramowitz and
// Stegun 26.2.17).
double NormalCdf(double z);

// Pairs the segments of one stretch by length. Element 0 of each list is a placeholder that the
// caller puts in front; the dynamic programme starts from pairing element 1 with element 1.
//
// Align keeps only the cost rows that the recurrence reads (the current row and the two before
// it) and the path codes, three to a byte, so a stretch of N x M segments needs about N * M / 3
// bytes: 133 MB for 20,000 x 20,000.
class CSentenceAligner {
public:
    CSentenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                     std::wstring sourceJoiner, std::wstring targetJoiner, double ratio);
    CSentenceAligner(CSentenceAligner&&) = default;
    CSentenceAligner& operator=(CSentenceAligner&&) = default;
    virtual ~CSentenceAligner() = default;

    // -100 ln p of a source length a against a target length b (UTF-16 code units), truncated.
    // Always either 50000 or between 0 and 3604: p is 0, or at least 2^-52.
    int MatchCost(std::int64_t a, std::int64_t b) const;
    // The cost of a bead: x1, x2 source lengths, y1, y2 target lengths, 0 for an absent segment.
    int BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) const;

    // Fills the path table and finds the cost of the last cell. Called once, after construction.
    virtual void Align();

    // The rows of the stretch, in text order, as two columns and as tab-separated lines.
    void GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn) const;
    void GetText(std::wstring& text) const;

    const SentenceList& SourceSegments() const { return m_sourceSegments; }
    const SentenceList& TargetSegments() const { return m_targetSegments; }
    const std::wstring& SourceJoiner() const { return m_sourceJoiner; }
    const std::wstring& TargetJoiner() const { return m_targetJoiner; }
    double Ratio() const { return m_ratio; }

    // The code of cell (i, d), 0 <= i <= N, 0 <= d <= M, after Align; 0 where nothing was
    // written (the first and last rows and columns, or a stretch with nothing to pair). Throws
    // std::out_of_range outside the table.
    virtual BeadKind PathCode(std::size_t i, std::size_t d) const;
    // The cost of the last cell (N-1, M-1) after Align; 0 when nothing was computed. 64-bit: a
    // long enough stretch of expensive steps goes past 2^31.
    std::int64_t TotalCost() const { return m_totalCost; }

protected:
    SentenceList m_sourceSegments;
    SentenceList m_targetSegments;
    std::vector<std::int64_t> m_sourceLengths;
    std::vector<std::int64_t> m_targetLengths;
    double m_ratio;
    std::wstring m_sourceJoiner;
    std::wstring m_targetJoiner;

private:
    // Codes of cells (1, 1) to (N-1, M-1), row by row, three to a byte (see PathTable.h).
    LargeBuffer m_path;
    std::size_t m_pathRowBytes = 0;
    std::int64_t m_totalCost = 0;
};

} // namespace bitexa
