#pragma once

#include "align/model/RowSpan.h"
#include "lexical/LexicalEvidence.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitexa {

// Word pairs learnt from an alignment. Rows that pair one segment with one, between neighbours
// that do the same, are nearly always right; in them every Japanese word of one side meets every
// English word of the other. A pair that meets at least `minimumCount` times, with a Dice
// coefficient 2 c / (rows with the one + rows with the other) of at least `minimumDice`, is a
// candidate; each Japanese word is linked to its strongest candidate, with the coefficient as the
// link's factor. Words the dictionary lacks (names of features, new terms) are found so, and so
// are the senses it has that a text happens to use.
struct LearnOptions {
    std::uint32_t minimumCount = 2;
    double minimumDice = 0.5;
};

// Adds the learnt links to the evidence (source word to target word) and returns how many.
// `rows` are the alignment's rows in text order, positions in the document.
std::size_t LearnPairs(const std::vector<RowSpan>& rows, LexicalEvidence& evidence,
                       const LearnOptions& options = {});

} // namespace bitexa
