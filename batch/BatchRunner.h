#pragma once

#include "batch/BatchPair.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace bitexa {

struct BatchOptions {
    unsigned jobs = 1;                                   // worker threads, at least 1
    std::uint64_t memoryBudget = std::uint64_t{1} << 30; // bytes the pairs may plan to use at once
    bool skipExisting = false;                           // leave outputs newer than both inputs
};

// Told of each pair as it ends, from the worker that ran it; calls never overlap.
using PairDone = std::function<void(const PairResult&)>;

struct BatchSummary {
    std::size_t written = 0;
    std::size_t skipped = 0;
    std::size_t failed = 0;
    ExportCounts counts; // the written pairs' export counts, added up
};

// Runs every pair (see RunPair) on `jobs` worker threads, the pairs with the largest inputs
// first so that a long pair does not start last, and waits for all of them. A failed pair stops
// nothing else.
BatchSummary RunBatch(const std::vector<BatchPair>& pairs, const BatchOptions& options,
                      const PairDone& done);

} // namespace bitexa
