#include "run/SaveSignals.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <mutex>

namespace bitexa {

namespace {

constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Saves that may run at once: the settings file and a result file, or one per worker of a batch
// on a machine of many cores. Untouched places cost only address space.
constexpr int Places = 256;

struct Place {
    std::atomic<bool> taken{false};
    std::atomic<bool> live{false}; // `name` holds a whole name that the handler may remove
    char name[PATH_MAX];
};
Place g_places[Places];

std::mutex g_mutex; // guards the counts and dispositions below, never taken by the handler
int g_scopes = 0;
bool g_handling[std::size(EndingSignals)] = {};
bool g_ignoringFileSize = false;

sigset_t EndingSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : EndingSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// Only async-signal-safe calls: unlink, sigaction, raise.
extern "C" void RemoveTemporariesAndEnd(int signal) {
    const int savedErrno = errno;
    for (Place& place : g_places) {
        if (place.live.load(std::memory_order_acquire)) {
            ::unlink(place.name);
        }
    }
    // End the way the signal would have ended the program: with its default action, raised
    // again. It is held back while this handler runs and arrives as soon as it returns.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    ::sigaction(signal, &defaults, nullptr);
    ::raise(signal);
    errno = savedErrno;
}

bool HasDisposition(int signal, void (*handler)(int)) {
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == handler;
}

void SetDisposition(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = EndingSignalSet();
    ::sigaction(signal, &action, nullptr);
}

} // namespace

SaveSignalScope::SaveSignalScope() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (g_scopes++ > 0) {
        return;
    }
    for (std::size_t k = 0; k < std::size(EndingSignals); ++k) {
        g_handling[k] = HasDisposition(EndingSignals[k], SIG_DFL);
        if (g_handling[k]) {
            SetDisposition(EndingSignals[k], RemoveTemporariesAndEnd);
        }
    }
    g_ignoringFileSize = HasDisposition(SIGXFSZ, SIG_DFL);
    if (g_ignoringFileSize) {
        SetDisposition(SIGXFSZ, SIG_IGN);
    }
}

SaveSignalScope::~SaveSignalScope() {
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (--g_scopes > 0) {
        return;
    }
    // Put back only what is still ours: the program may have set a disposition meanwhile.
    for (std::size_t k = 0; k < std::size(EndingSignals); ++k) {
        if (g_handling[k] && HasDisposition(EndingSignals[k], RemoveTemporariesAndEnd)) {
            SetDisposition(EndingSignals[k], SIG_DFL);
        }
    }
    if (g_ignoringFileSize && HasDisposition(SIGXFSZ, SIG_IGN)) {
        SetDisposition(SIGXFSZ, SIG_DFL);
    }
}

bool RegisteredTemporary::Register(const std::string& name) {
    Unregister();
    if (name.size() >= PATH_MAX) {
        return false;
    }
    for (int k = 0; k < Places; ++k) {
        bool expected = false;
        if (g_places[k].taken.compare_exchange_strong(expected, true)) {
            std::memcpy(g_places[k].name, name.c_str(), name.size() + 1);
            g_places[k].live.store(true, std::memory_order_release);
            m_slot = k;
            return true;
        }
    }
    return false;
}

void RegisteredTemporary::Unregister() {
    if (m_slot < 0) {
        return;
    }
    g_places[m_slot].live.store(false, std::memory_order_release);
    g_places[m_slot].taken.store(false, std::memory_order_release);
    m_slot = -1;
}

HeldSignals::HeldSignals() {
    const sigset_t set = EndingSignalSet();
    ::pthread_sigmask(SIG_BLOCK, &set, &m_previous);
}

HeldSignals::~HeldSignals() {
    ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

} // namespace bitexa
