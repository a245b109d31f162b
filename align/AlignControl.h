#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace bitexa {

// Thrown out of an alignment whose caller asked it to stop. The run command catches it; nothing
// the alignment was filling is left half done.
class AlignmentCancelled : public std::runtime_error {
public:
    AlignmentCancelled() : std::runtime_error("alignment cancelled") {}
};

// How a caller follows, stops and spreads a long alignment. The rows never depend on it.
struct AlignControl {
    // Work done so far and the whole work of the run, in cells of the dynamic programme. Called
    // from the aligning thread between stretches and every few thousand rows of a long one.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    // Set from any thread to stop the alignment; looked at as often as progress is given.
    const std::atomic<bool>* cancel = nullptr;
    // Threads for the dynamic programme of a large stretch; 0 means one per core.
    unsigned threads = 0;

    bool Cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
    void ThrowIfCancelled() const {
        if (Cancelled()) {
            throw AlignmentCancelled();
        }
    }
    void Report(std::uint64_t done, std::uint64_t total) const {
        if (progress) {
            progress(done, total);
        }
    }
};

} // namespace bitexa
