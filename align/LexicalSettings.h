#pragma once

#include "align/model/LexicalModel.h"
#include "lexical/DocumentTokens.h"
#include "lexical/LearntPairs.h"
#include "lexical/LexicalEvidence.h"

#include <cstdint>

namespace bitexa {

// How a run by the lexical model goes. It aligns twice: first with rare evidence (verbatim
// tokens, words that occur in few segments, dictionary translations), then, with word pairs
// learnt from the first path's safest rows and with commoner words near that path, again.
struct LexicalSettings {
    LexicalResources resources;
    LexicalWeights firstPass;
    // Evidence is surer the second time: the similarity counts twice as much.
    LexicalWeights secondPass{200, 20, 3200};
    EvidenceOptions evidence;
    LearnOptions learning;
    // Columns on either side of a source segment's row on the first path within which common
    // tokens pair segments in the second pass.
    std::uint32_t reach = 40;
    // The second pass keeps the first path's surest rows and aligns only between them: a row
    // that pairs one segment with one, between rows that do the same, whose segments' matched
    // weight is at least `sureSimilarity` of their mass (2m / W), at least `sureGap` rows after
    // the last row kept. Far from those rows the second pass has nothing to change, and between
    // them it visits a small part of the table.
    double sureSimilarity = 0.5;
    std::size_t sureGap = 200;
};

} // namespace bitexa
