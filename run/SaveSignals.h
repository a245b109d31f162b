#pragma once

#include <signal.h>

#include <string>

namespace bitexa {

// For as long as one lives (in any thread), SIGXFSZ is ignored, so that a file-size limit makes
// a write fail with EFBIG that the writer reports instead of killing the program silently; and
// SIGINT, SIGTERM and SIGHUP, where they would end the program, first remove the temporary files
// registered below and then end it with the same signal. Dispositions that the program has set
// itself are left alone. The previous dispositions come back with the last scope.
class SaveSignalScope {
public:
    SaveSignalScope();
    ~SaveSignalScope();
    SaveSignalScope(const SaveSignalScope&) = delete;
    SaveSignalScope& operator=(const SaveSignalScope&) = delete;
};

// A temporary file that a signal handler removes should the program end part-way through a save.
// Only async-signal-safe work happens in the handler: it reads the names registered here.
class RegisteredTemporary {
public:
    RegisteredTemporary() = default;
    ~RegisteredTemporary() { Unregister(); }
    RegisteredTemporary(const RegisteredTemporary&) = delete;
    RegisteredTemporary& operator=(const RegisteredTemporary&) = delete;

    // Registers the name (false when it is too long or every place is taken: the file is then
    // not removed by a signal, but the save goes on).
    bool Register(const std::string& name);
    void Unregister();

private:
    int m_slot = -1;
};

// Holds SIGINT, SIGTERM and SIGHUP back from this thread for its lifetime, so that creating and
// registering a temporary file, or renaming it and letting it go, is one step to a handler.
class HeldSignals {
public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t m_previous;
};

} // namespace bitexa
