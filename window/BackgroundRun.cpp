#include "window/BackgroundRun.h"

#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>

namespace bitexa {

struct BackgroundRun::Shared {
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> done{0};
    std::atomic<std::uint64_t> total{0};
    AlignControl control;

    std::mutex mutex;
    std::condition_variable answered;
    bool abandoned = false; // under the mutex
};

namespace {

// One message handed to the window's thread; it outlives the wait for it, since the window
// may show it after the run was abandoned.
struct Message {
    bool answered = false; // under the run's mutex
    std::exception_ptr failure;
};

} // namespace

BackgroundRun::BackgroundRun(QObject* context, Report show, Job job, Finished finished)
    : m_shared(std::make_shared<Shared>()) {
    const std::shared_ptr<Shared> shared = m_shared;
    shared->control.cancel = &shared->cancel;
    shared->control.progress = [raw = shared.get()](std::uint64_t done, std::uint64_t total) {
        raw->total.store(total, std::memory_order_relaxed);
        raw->done.store(done, std::memory_order_relaxed);
    };

    Report report = [shared, context, show = std::move(show)](const std::wstring& text,
                                                              const std::wstring& caption) {
        auto message = std::make_shared<Message>();
        {
            const std::lock_guard lock(shared->mutex);
            if (shared->abandoned) {
                return;
            }
        }
        QMetaObject::invokeMethod(
            context,
            [shared, show, message, text, caption] {
                bool abandoned = false;
                {
                    const std::lock_guard lock(shared->mutex);
                    abandoned = shared->abandoned;
                }
                if (!abandoned) {
                    try {
                        show(text, caption);
                    } catch (...) {
                        // Goes back to the run, which fails with it as if it had failed there.
                        message->failure = std::current_exception();
                    }
                }
                const std::lock_guard lock(shared->mutex);
                message->answered = true;
                shared->answered.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(shared->mutex);
        shared->answered.wait(lock, [&] { return message->answered || shared->abandoned; });
        if (message->answered && message->failure) {
            std::rethrow_exception(message->failure);
        }
    };

    try {
        m_thread = std::thread([shared, context, job = std::move(job),
                                finished = std::move(finished), report = std::move(report)] {
            std::exception_ptr failure;
            try {
                job(shared->control, report);
            } catch (...) {
                failure = std::current_exception();
            }
            QMetaObject::invokeMethod(
                context,
                [shared, finished, failure] {
                    bool abandoned = false;
                    {
                        const std::lock_guard lock(shared->mutex);
                        abandoned = shared->abandoned;
                    }
                    if (!abandoned) {
                        finished(failure);
                    }
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the system is out of the memory for one.
        throw std::bad_alloc();
    }
}

BackgroundRun::~BackgroundRun() {
    Abandon();
}

void BackgroundRun::Cancel() {
    m_shared->cancel.store(true);
}

bool BackgroundRun::CancelRequested() const {
    return m_shared->cancel.load();
}

void BackgroundRun::Abandon() {
    Cancel();
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->abandoned = true;
        m_shared->answered.notify_all();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

BackgroundRun::Progress BackgroundRun::CurrentProgress() const {
    return {m_shared->done.load(std::memory_order_relaxed),
            m_shared->total.load(std::memory_order_relaxed)};
}

} // namespace bitexa
