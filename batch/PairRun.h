#pragma once

#include "batch/BatchPair.h"
#include "batch/MemoryBudget.h"

namespace bitexa {

// Aligns one pair and writes its file, as a single run with -o would, except that every problem
// fails the pair and writes nothing: a missing or unreadable input, a refused name (a side
// without segments is no use in a corpus), an output that would replace an input, a failed
// write, a lack of memory. The alignment runs on the calling thread alone, after the pair's
// memory estimate has been reserved from the budget. With `skipExisting`, an output newer than
// both inputs is left as it is.
PairResult RunPair(const BatchPair& pair, MemoryBudget& budget, bool skipExisting);

} // namespace bitexa
