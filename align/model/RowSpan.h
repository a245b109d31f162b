#pragma once

#include <cstddef>

namespace bitexa {

// One row of an alignment as the segments it holds: `sourceCount` source segments from
// `sourceFirst` and `targetCount` target segments from `targetFirst` (0, 1 or 2 each; a side
// with none keeps the position where it would be).
struct RowSpan {
    std::size_t sourceFirst = 0;
    std::size_t sourceCount = 0;
    std::size_t targetFirst = 0;
    std::size_t targetCount = 0;

    bool operator==(const RowSpan&) const = default;
};

} // namespace bitexa
