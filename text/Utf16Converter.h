#pragma once

#include "text/Status.h"

#include <cstddef>
#include <string>

namespace bitexa {

// The ICU converter that decodes a code page, or nullptr for a code page we do not read.
const char* IcuConverterName(int codePage);

// Decodes the whole buffer from the code page into `units` (emptied first). A code page we do not
// read or a failing converter gives CannotDecode and no units.
Status ConvertToUtf16(const unsigned char* bytes, std::size_t size, int codePage,
                      std::u16string& units);

} // namespace bitexa
