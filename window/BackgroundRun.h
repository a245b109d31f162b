#pragma once

#include "align/AlignControl.h"
#include "text/Report.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace bitexa {

// One run on a thread of its own, so that the window keeps answering while it goes on. The
// run's messages are shown on the window's thread, one at a time, and the run waits until the
// user has closed each; its progress can be read at any time and it can be asked to stop.
class BackgroundRun {
public:
    // The work: it follows `control` (progress and the stop request) and tells the user through
    // `report`.
    using Job = std::function<void(const AlignControl& control, const Report& report)>;
    // Called on the window's thread once the job has ended, with what it threw (null when it
    // ended normally). Never called for an abandoned run.
    using Finished = std::function<void(std::exception_ptr failure)>;

    struct Progress {
        std::uint64_t done = 0;
        std::uint64_t total = 0;
    };

    // Starts the job at once. `context` is the window: `show` puts a message in front of the
    // user on its thread, and `finished` is called there. Throws std::bad_alloc when no thread
    // can be had.
    BackgroundRun(QObject* context, Report show, Job job, Finished finished);
    // Abandons the run.
    ~BackgroundRun();
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // Asks the job to stop; it ends soon after, as `finished` tells.
    void Cancel();
    bool CancelRequested() const;
    // Stops the job and waits for its thread: a message it is waiting on is let go (one not
    // yet on screen is never shown) and `finished` is not called. Safe while one of its
    // messages is on screen.
    void Abandon();
    Progress CurrentProgress() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace bitexa
