#pragma once

#include "align/AnchoredAligner.h"

#include <cstddef>
#include <string>
#include <vector>

namespace bitexa {

// Anchor matching written the plain way: the length and direction tables over all (n+1) x (m+1)
// key pairs, filled cell by cell, then the walk back from (n, m). Replaces both anchor lists.
void ReferenceMatchAnchors(const std::vector<std::wstring>& sourceKeys,
                           const std::vector<std::wstring>& targetKeys,
                           std::vector<std::size_t>& sourceAnchors,
                           std::vector<std::size_t>& targetAnchors);

// A whole run written the plain way: the plain anchor matching, and a ReferenceAligner for
// every stretch. Replaces the aligner's anchor lists and the three outputs.
void ReferenceRunAnchoredAlignment(std::wstring& resultText, ColumnList& targetColumn,
                                   CAnchoredAligner& aligner, ColumnList& sourceColumn);

} // namespace bitexa
