#pragma once

#include "text/Status.h"

#include <string>
#include <vector>

namespace bitexa {

// Whether the file can be read as an input: it opens for reading and is a regular file (a
// directory cannot be read, a device such as /dev/zero never ends and a FIFO has no fixed
// content). Opens nothing that could block, and reads nothing.
Status CheckReadable(const std::wstring& path);

// The whole file, whatever its size, into `bytes` (emptied first). A failure to open or read
// (CannotRead, with the system's reason) is never confused with an empty file.
Status ReadFileBytes(const std::wstring& path, std::vector<unsigned char>& bytes);

} // namespace bitexa
