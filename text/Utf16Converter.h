#pragma once

#include <cstddef>
#include <string>

namespace bitexa {

// The ICU converter that decodes a code page, or nullptr for a code page we do not read.
const char* IcuConverterName(int codePage);

// Decodes the whole buffer from the code page to UTF-16 code units. Empty when the code page is
// unknown or the converter fails.
std::u16string ConvertToUtf16(const unsigned char* bytes, std::size_t size, int codePage);

} // namespace bitexa
