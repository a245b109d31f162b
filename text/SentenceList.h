#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bitexa {

// One segment per entry. A list filled by the loader keeps an empty entry at index 0, so the
// first row of every run pairs the two leading entries; displays leave that entry out.
using SentenceList = std::vector<std::wstring>;

// Length of a segment in UTF-16 code units. wchar_t holds a whole code point on Linux, so a
// character above U+FFFF counts two here: lengths, and with them the alignment, then agree
// with a platform whose wide strings are UTF-16.
inline std::size_t SegmentLength(const std::wstring& segment) {
    std::size_t units = segment.size();
    for (wchar_t c : segment) {
        if (static_cast<std::uint32_t>(c) > 0xFFFF) {
            ++units;
        }
    }
    return units;
}

} // namespace bitexa
