#pragma once

#include "text/Status.h"

#include <functional>
#include <string>
#include <string_view>

namespace bitexa {

// Where a file's content goes, piece by piece, so that a large file is never held twice.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all of `bytes`; false when the write failed (the writer keeps the reason).
    virtual bool Write(std::string_view bytes) = 0;
};

// Produces a file's content into the sink; false to give up (after a failed write).
using FileContent = std::function<bool(ByteSink&)>;

// The one way the program writes a file, for the result file and the settings file alike. A
// regular file, or a name that does not exist yet, is written whole to a temporary file beside
// it, flushed to disk and renamed over it, so a failure at any point leaves the old file as it
// was. A replaced file keeps its owner, group, permissions and extended attributes (ACLs
// included); where the writer cannot give them to the new file (another user's file), or the
// file has other names (hard links), the whole temporary file is copied over the old content in
// place instead, so the file stays the same file; a new file gets the permissions of the user's
// umask. A symbolic link is followed to the file it names (a dangling one to the name it points
// at). A device or FIFO is an output in its own right and is written in place; a FIFO that no
// program reads from fails at once. A folder, a file the user may not write and every failure
// give CannotWrite with the system's reason.
//
// While a write runs, SIGINT, SIGTERM and SIGHUP remove the temporary file before they end the
// program, and a file-size limit fails the write (EFBIG) instead of ending the program.
Status WriteFile(const std::wstring& path, const FileContent& content);

// Writes through a descriptor that the caller holds open (standard output, say) at its current
// offset, in place; the descriptor stays open. `name` is what the user called it, for the
// status.
Status WriteToDescriptor(int fd, const std::wstring& name, const FileContent& content);

} // namespace bitexa
