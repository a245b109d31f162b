#pragma once

#include "text/Status.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace bitexa {

// The ICU converter that decodes a code page, or nullptr for a code page we do not read.
const char* IcuConverterName(int codePage);

// Decodes the whole buffer from the code page into `units` (emptied first). A code page we do not
// read or a failing converter gives CannotDecode and no units.
Status ConvertToUtf16(const unsigned char* bytes, std::size_t size, int codePage,
                      std::u16string& units);

// Decodes the whole buffer as ConvertToUtf16 does and hands the text out as a wide string
// (WidenUtf16 of all the units) in pieces of up to a million characters, in order, never
// between the two halves of a surrogate pair: a large file is decoded without ever holding its
// UTF-16 whole. On failure the pieces handed out so far are not the text.
Status ConvertToWide(const unsigned char* bytes, std::size_t size, int codePage,
                     const std::function<void(std::wstring_view)>& piece);

} // namespace bitexa
