#include "batch/BatchRunner.h"

#include "batch/MemoryBudget.h"
#include "batch/PairRun.h"
#include "text/NativePath.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <numeric>
#include <thread>

namespace bitexa {

namespace {

std::uint64_t FileBytes(const std::wstring& path) {
    struct stat st {};
    return ::stat(PathToNative(path).c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size)
                                                        : 0;
}

// Largest inputs first: with the long pairs started early, the workers end close together.
std::vector<std::size_t> LargestFirst(const std::vector<BatchPair>& pairs) {
    std::vector<std::uint64_t> bytes;
    bytes.reserve(pairs.size());
    for (const BatchPair& pair : pairs) {
        bytes.push_back(FileBytes(pair.inputs.sourcePath) + FileBytes(pair.inputs.targetPath));
    }
    std::vector<std::size_t> order(pairs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&bytes](std::size_t a, std::size_t b) { return bytes[a] > bytes[b]; });
    return order;
}

void Add(ExportCounts& total, const ExportCounts& counts) {
    total.rowsWritten += counts.rowsWritten;
    total.oneSidedRowsLeftOut += counts.oneSidedRowsLeftOut;
    total.charactersDropped += counts.charactersDropped;
}

} // namespace

BatchSummary RunBatch(const std::vector<BatchPair>& pairs, const BatchOptions& options,
                      const PairDone& done) {
    const std::vector<std::size_t> order = LargestFirst(pairs);
    MemoryBudget budget(options.memoryBudget);
    std::atomic<std::size_t> next{0};
    std::mutex reporting;
    BatchSummary summary;

    const auto work = [&] {
        for (std::size_t k = next++; k < order.size(); k = next++) {
            const PairResult result = RunPair(pairs[order[k]], budget, options.skipExisting);
            const std::lock_guard lock(reporting);
            switch (result.outcome) {
            case PairResult::Outcome::Written:
                ++summary.written;
                Add(summary.counts, result.counts);
                break;
            case PairResult::Outcome::Skipped:
                ++summary.skipped;
                break;
            case PairResult::Outcome::Failed:
                ++summary.failed;
                break;
            }
            if (done) {
                done(result);
            }
        }
    };
    const unsigned jobs = static_cast<unsigned>(
        std::clamp<std::size_t>(options.jobs, 1, std::max<std::size_t>(1, pairs.size())));
    std::vector<std::jthread> workers;
    workers.reserve(jobs - 1);
    for (unsigned j = 1; j < jobs; ++j) {
        workers.emplace_back(work);
    }
    // The calling thread is the first worker.
    work();
    workers.clear();
    return summary;
}

} // namespace bitexa
