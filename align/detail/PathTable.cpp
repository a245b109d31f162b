#include "align/detail/PathTable.h"

namespace bitexa {

namespace {

constexpr std::uint8_t PowersOfSix[3] = {1, 6, 36};

} // namespace

std::size_t PathRowBytes(std::size_t targetCount) {
    return targetCount < 2 ? 0 : (targetCount - 1 + 2) / 3;
}

BeadKind PathCodeAt(const std::uint8_t* path, std::size_t rowBytes, std::size_t i, std::size_t d) {
    const std::uint8_t digits = path[(i - 1) * rowBytes + (d - 1) / 3];
    return static_cast<BeadKind>(digits / PowersOfSix[(d - 1) % 3] % 6);
}

} // namespace bitexa
