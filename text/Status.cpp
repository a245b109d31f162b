#include "text/Status.h"

#include "text/Utf16.h"

#include <cstring>
#include <utility>

namespace bitexa {

Status Status::FromErrno(Kind kind, std::wstring path, int error) {
    // strerror may share one buffer between threads; the GNU strerror_r gives a safe copy.
    char buffer[256];
    const char* text = strerror_r(error, buffer, sizeof buffer);
    Status status = WithReason(kind, std::move(path), FromUtf8(text));
    status.error = error;
    return status;
}

Status Status::WithReason(Kind kind, std::wstring path, std::wstring reason) {
    Status status;
    status.kind = kind;
    status.path = std::move(path);
    status.reason = std::move(reason);
    return status;
}

} // namespace bitexa
