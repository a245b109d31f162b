#pragma once

#include <string>

namespace bitexa {

// How a library tells its caller that something could not be done: what kind of failure, which
// file, and the system's own words for why. The front ends turn it into the user's message (a
// box with the caption "エラー" in the window, a line on standard error on the command line).
struct Status {
    enum class Kind {
        Ok,
        RefusedName, // a file name the program does not read (not ".txt")
        CannotRead,  // the file could not be opened or read
        CannotDecode,
        CannotWrite, // the file could not be created, written or replaced
    };

    Kind kind = Kind::Ok;
    std::wstring path;
    std::wstring reason;
    int error = 0; // the errno behind the reason, 0 when the failure has none

    bool ok() const { return kind == Kind::Ok; }

    static Status Success() { return {}; }
    // The reason is the system's description of `error` (strerror).
    static Status FromErrno(Kind kind, std::wstring path, int error);
    static Status WithReason(Kind kind, std::wstring path, std::wstring reason);
};

} // namespace bitexa
