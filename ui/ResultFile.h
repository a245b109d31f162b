#pragma once

#include <string>

namespace bitexa {

struct WriteResult {
    bool ok = true;
    std::wstring reason; // why it failed, in the system's words, for the message to the user
};

// Writes FF FE and then every UTF-16 code unit of the text, low byte first, nothing else. A
// regular file (or a new name) is written beside the target and renamed over it, so a failed
// write leaves the old file as it was; a device or FIFO is written in place. A symbolic link is
// followed to the file it names.
WriteResult WriteResultFile(const std::wstring& path, const std::wstring& text);

// What the user is told when a save fails: the path and the reason.
std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason);

} // namespace bitexa
