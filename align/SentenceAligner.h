#pragma once

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

// Standard normal distribution function for z >= 0 (polynomial approximation of Abramowitz and
// Stegun 26.2.17).
double NormalCdf(double z);

// Pairs the segments of one stretch by length. Element 0 of each list is a placeholder that the
// caller puts in front; the dynamic programme starts from pairing element 1 with element 1.
class CSentenceAligner {
public:
    CSentenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                     std::wstring sourceJoiner, std::wstring targetJoiner, double ratio);
    virtual ~CSentenceAligner() = default;

    // -100 ln p of a source length a against a target length b (UTF-16 code units), truncated.
    int MatchCost(std::int64_t a, std::int64_t b) const;
    // The cost of a bead: x1, x2 source lengths, y1, y2 target lengths, 0 for an absent segment.
    int BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) const;

    // Fills the cost and path tables. Called once, after construction.
    void Align();

    // The rows of the stretch, in text order, as two columns and as tab-separated lines.
    void GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn) const;
    void GetText(std::wstring& text) const;

    const SentenceList& SourceSegments() const { return m_sourceSegments; }
    const SentenceList& TargetSegments() const { return m_targetSegments; }
    const std::wstring& SourceJoiner() const { return m_sourceJoiner; }
    const std::wstring& TargetJoiner() const { return m_targetJoiner; }
    double Ratio() const { return m_ratio; }

    // Cells (i, d), 0 <= i <= N, 0 <= d <= M, after Align.
    BeadKind PathCode(std::size_t i, std::size_t d) const;
    std::int64_t Cost(std::size_t i, std::size_t d) const;

protected:
    SentenceList m_sourceSegments;
    SentenceList m_targetSegments;
    std::vector<std::int64_t> m_sourceLengths;
    std::vector<std::int64_t> m_targetLengths;
    // Row-major (N+1) x (M+1). Sums are 64-bit: a long stretch of impossible steps overflows 32.
    std::vector<std::int64_t> m_cost;
    std::vector<BeadKind> m_path;
    double m_ratio;
    std::wstring m_sourceJoiner;
    std::wstring m_targetJoiner;
};

} // namespace bitexa
