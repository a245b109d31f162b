#include "cli/BatchCommand.h"

#include "batch/BatchRunner.h"
#include "batch/SystemResources.h"
#include "cli/Manifest.h"
#include "text/NativePath.h"
#include "text/Utf16.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace bitexa {

namespace {

using Clock = std::chrono::steady_clock;

std::string Duration(double seconds) {
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

// Standard error as the batch uses it: failures as they come, and on a terminal a progress line
// that they push down.
class BatchDisplay {
public:
    BatchDisplay(std::string manifest, std::size_t total, std::size_t failedEarlier)
        : m_manifest(std::move(manifest)), m_total(total), m_failed(failedEarlier),
          m_terminal(isatty(STDERR_FILENO) == 1), m_start(Clock::now()) {
        if (m_terminal) {
            m_ticker = std::thread([this] { Tick(); });
        }
    }
    ~BatchDisplay() { Stop(); }
    BatchDisplay(const BatchDisplay&) = delete;
    BatchDisplay& operator=(const BatchDisplay&) = delete;

    void Failure(std::size_t line, const std::string& message) {
        const std::lock_guard lock(m_mutex);
        ClearProgress();
        std::fprintf(stderr, "%s:%zu: %s\n", m_manifest.c_str(), line, message.c_str());
        ++m_failed;
    }

    void PairEnded() {
        const std::lock_guard lock(m_mutex);
        ++m_done;
    }

    // Ends the progress line; what comes next starts on a clean line.
    void Stop() {
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopped) {
                return;
            }
            m_stopped = true;
            ClearProgress();
        }
        m_wake.notify_all();
        if (m_ticker.joinable()) {
            m_ticker.join();
        }
    }

private:
    void Tick() {
        std::unique_lock lock(m_mutex);
        while (!m_stopped) {
            ShowProgress();
            m_wake.wait_for(lock, std::chrono::milliseconds(500));
        }
    }

    void ShowProgress() {
        const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
        std::string line = std::to_string(m_done) + "/" + std::to_string(m_total) + " pairs, " +
                           std::to_string(m_failed) + " failed, " + Duration(elapsed) + " elapsed";
        if (m_done > 0 && m_done < m_total) {
            line += ", about " +
                    Duration(elapsed / static_cast<double>(m_done) *
                             static_cast<double>(m_total - m_done)) +
                    " left";
        }
        std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
        std::fflush(stderr);
        m_shown = true;
    }

    void ClearProgress() {
        if (m_shown) {
            std::fputs("\r\x1b[K", stderr);
            m_shown = false;
        }
    }

    const std::string m_manifest;
    const std::size_t m_total;
    std::size_t m_done = 0;
    std::size_t m_failed;
    const bool m_terminal;
    const Clock::time_point m_start;
    bool m_shown = false;
    bool m_stopped = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_ticker;
};

} // namespace

int RunBatchCommand(const CommandLine& line) {
    const std::string manifestName = PathToNative(line.batchPath);
    Manifest manifest;
    if (const Status read = ReadManifest(line.batchPath, line.pairOptions, manifest); !read.ok()) {
        std::fprintf(stderr, "bitexa-align: %s: %s\n", manifestName.c_str(),
                     ToUtf8(read.reason).c_str());
        return 2;
    }
    for (const Manifest::LineError& error : manifest.errors) {
        std::fprintf(stderr, "%s:%zu: %s\n", manifestName.c_str(), error.line,
                     error.message.c_str());
    }

    BatchOptions options;
    options.jobs = line.jobs > 0 ? line.jobs : UsableCores();
    options.memoryBudget = line.maxMemory > 0 ? line.maxMemory : DefaultMemoryBudget();
    options.skipExisting = line.skipExisting;

    BatchDisplay display(manifestName, manifest.pairs.size(), manifest.errors.size());
    const BatchSummary summary =
        RunBatch(manifest.pairs, options, [&display](const PairResult& result) {
            if (result.outcome == PairResult::Outcome::Failed) {
                display.Failure(result.line, ToUtf8(result.message));
            }
            display.PairEnded();
        });
    display.Stop();

    const std::size_t failed = summary.failed + manifest.errors.size();
    std::string totals = "bitexa-align: " + std::to_string(summary.written) + " written, " +
                         std::to_string(summary.skipped) + " skipped, " + std::to_string(failed) +
                         " failed";
    if (const std::string notice = LeftOutNotice(summary.counts); !notice.empty()) {
        totals += " (" + notice + ")";
    }
    std::fprintf(stderr, "%s\n", totals.c_str());
    return failed == 0 ? 0 : 1;
}

} // namespace bitexa
