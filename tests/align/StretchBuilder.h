#pragma once

#include "text/SentenceList.h"

#include <cstddef>
#include <initializer_list>
#include <string>

namespace bitexa {

// A stretch as the anchored run hands it to the length aligner: an empty placeholder, then one
// segment of each given length (only lengths matter to the aligner).
inline SentenceList StretchOfLengths(std::initializer_list<std::size_t> lengths) {
    SentenceList stretch{std::wstring()};
    for (std::size_t length : lengths) {
        stretch.push_back(std::wstring(length, L'x'));
    }
    return stretch;
}

} // namespace bitexa
