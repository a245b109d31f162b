#pragma once

#include "run/RunCommand.h"
#include "text/SentenceList.h"

#include <cstdint>

namespace bitexa {

// How much memory aligning and exporting two loaded sides will take, in bytes, on one thread.
// The bulk is the path table of the largest stretch between shared anchors, a third of a byte
// per cell; then the bead-cost tables of that stretch, and the copies of the text that a run
// holds at once (the lists, the aligner's copies, the columns, the result text). The lexical
// model adds its analyser's dictionary and the tokens and evidence of the text.
std::uint64_t EstimatePairMemory(const SentenceList& source, const SentenceList& target,
                                 AlignModel model = AlignModel::Length);

} // namespace bitexa
