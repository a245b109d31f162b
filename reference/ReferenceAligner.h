#pragma once

#include "align/AnchoredAligner.h"
#include "align/SentenceAligner.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bitexa {

// The aligner written the plain way: both full (N+1) x (M+1) tables, all six candidates of a
// cell priced by their own bead cost, by the length model or, given evidence (SetLexical), the
// lexical model, its evidence looked up bead by bead. The fast aligner must agree with it on every
// path code and on the last cell's cost. The models (MatchCost, BeadCost, the lexical bonuses)
// and the walk that turns codes into rows are the production ones: only the table filling is
// written again here.
class ReferenceAligner : public CSentenceAligner {
public:
    ReferenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                     std::wstring sourceJoiner, std::wstring targetJoiner, double ratio);

    void Align() override;
    BeadKind PathCode(std::size_t i, std::size_t d) const override;
    // Cell (i, d), 0 <= i <= N, 0 <= d <= M; 0 where nothing was written.
    std::int64_t Cost(std::size_t i, std::size_t d) const;

private:
    void MakeTables();
    std::size_t Cell(std::size_t i, std::size_t d) const;

    std::vector<std::int64_t> m_costTable;
    std::vector<BeadKind> m_pathTable;
};

// A whole run whose stretches the plain aligner aligns.
class ReferenceAnchoredAligner : public CAnchoredAligner {
public:
    using CAnchoredAligner::CAnchoredAligner;
    std::unique_ptr<CSentenceAligner> MakeStretchAligner() const override;
};

} // namespace bitexa
