#pragma once

#include "text/SentenceList.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace bitexa {

// K segments of 1000 units on each side, aligned at ratio 10: every match costs 50000, whatever
// the two lengths, so every bead costs 50000 plus its penalty (one to one 50000, one to two and
// two to one 50230, two to two 50440, a segment alone 50450).
//
// For odd K >= 477 the last cell (K, K) costs exactly 100000 + 50230 * (K - 3) / 2. A path to a
// cell starts either at the origin at no cost or with a move that is unavailable at the edge of
// the table (rows and columns 1 and 2) at 50000, and then pays for every bead.
// - From the origin it covers K - 1 rows and K - 1 columns; no bead covers more of them for less
//   than two to two does (12610 a row or column), so it pays at least 25220 * (K - 1).
// - From column 2 it covers K - 2 columns, an odd number: at most two per bead (50230 at
//   least), and one bead with a single column (50000 at least) remains: 50000 + 50000 + 50230 *
//   (K - 3) / 2. From column 1 it pays at least 50000 + 50230 * (K - 1) / 2, more by 230. From
//   rows 1 and 2 the same holds by rows.
// 25220 * (K - 1) exceeds the column-2 sum once K > 475, and a path reaches it: one to two from
// cell ((K + 1) / 2, 2) up to (K - 1, K - 1), then one to one to (K, K).
inline SentenceList SegmentsOfThousandUnits(std::size_t count) {
    SentenceList segments{std::wstring()};
    segments.reserve(count + 1);
    const std::wstring segment(1000, L'x');
    for (std::size_t k = 0; k < count; ++k) {
        segments.push_back(segment);
    }
    return segments;
}

inline constexpr double ImpossibleMatchRatio = 10.0;

inline constexpr std::int64_t ImpossibleMatchTotal(std::int64_t k) {
    return 100000 + 50230 * (k - 3) / 2;
}

} // namespace bitexa
