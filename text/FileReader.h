#pragma once

#include <string>
#include <vector>

namespace bitexa {

// The whole file, whatever its size. Empty when the file is missing, unreadable, not a regular
// file, or empty: the caller cannot tell these apart and does not need to.
std::vector<unsigned char> ReadFileBytes(const std::wstring& path);

} // namespace bitexa
