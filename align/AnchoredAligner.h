#pragma once

#include "align/SentenceAligner.h"

#include <cstddef>
#include <string>
#include <vector>

namespace bitexa {

// One whole run: shared anchors cut both texts into stretches, each stretch is aligned by length.
class CAnchoredAligner : public CSentenceAligner {
public:
    CAnchoredAligner(SentenceList sourceSegments, SentenceList targetSegments,
                     std::wstring sourceJoiner, std::wstring targetJoiner, double ratio);

    // Longest common subsequence of the two key lists; replaces the anchor lists. The last pair
    // is always (n, m), the sizes of the lists.
    void MatchAnchors(const std::vector<std::wstring>& sourceKeys,
                      const std::vector<std::wstring>& targetKeys);

    // Positions (0-based, leading entry at 0) at which stretches end, pairwise.
    std::vector<std::size_t> sourceAnchors;
    std::vector<std::size_t> targetAnchors;
};

// Clears the three outputs, then fills them with the rows of every stretch in text order; `joins`,
// when given, likewise with where the joiner stands in each row's cells.
void RunAnchoredAlignment(std::wstring& resultText, ColumnList& targetColumn,
                          CAnchoredAligner& aligner, ColumnList& sourceColumn,
                          JoinList* joins = nullptr);

} // namespace bitexa
