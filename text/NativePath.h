#pragma once

#include <string>
#include <string_view>

namespace bitexa {

// Paths are wide strings inside the program. On Linux a file name is a byte string that need not
// be UTF-8, so bytes that are not valid UTF-8 are carried as the lone surrogates U+DC80..U+DCFF
// and turned back into the same bytes on the way out: every path the system gives us opens.

std::wstring PathFromNative(std::string_view bytes);
std::string PathToNative(std::wstring_view path);

} // namespace bitexa
