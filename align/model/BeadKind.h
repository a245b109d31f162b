#pragma once

#include <cstdint>

namespace bitexa {

// The shape of an aligned row. The code is what the path table stores, and the code order is the
// tie-break order of the dynamic programme: on equal costs the lower code wins.
enum class BeadKind : std::uint8_t {
    TargetOnly = 0, // one target segment alone
    SourceOnly = 1, // one source segment alone
    OneToOne = 2,
    OneToTwo = 3,
    TwoToOne = 4,
    TwoToTwo = 5,
};

// The cost of a pairing whose probability is zero, and of a move that is unavailable at a cell.
inline constexpr int ImpossibleCost = 50000;

} // namespace bitexa
