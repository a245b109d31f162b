#pragma once

#include "align/model/BeadKind.h"

#include <cstddef>
#include <cstdint>

namespace bitexa {

// The path codes of a stretch, three to a byte (6 * 6 * 6 = 216 < 256): cells (i, 1) to
// (i, M-1) of row i >= 1 fill PathRowBytes(M) bytes, cell (i, d) being digit (d-1) % 3, in base
// 6 and the lowest first, of byte (d-1) / 3. 20,000 x 20,000 cells take 133 MB.
std::size_t PathRowBytes(std::size_t targetCount);
BeadKind PathCodeAt(const std::uint8_t* path, std::size_t rowBytes, std::size_t i, std::size_t d);

} // namespace bitexa
