#pragma once

#include "align/detail/BeadTables.h"
#include "align/model/BeadKind.h"
#include "align/model/LengthModel.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace bitexa {

// Told how many rows of a stretch are done; may throw to stop the work.
using RowObserver = std::function<void(std::size_t rowsDone)>;

// The path codes of a stretch, three to a byte (6 * 6 * 6 = 216 < 256): cells (i, 1) to
// (i, M-1) of row i >= 1 fill PathRowBytes(M) bytes, cell (i, d) being digit (d-1) % 3, in base
// 6 and the lowest first, of byte (d-1) / 3. 20,000 x 20,000 cells take 133 MB.
std::size_t PathRowBytes(std::size_t targetCount);
BeadKind PathCodeAt(const std::uint8_t* path, std::size_t rowBytes, std::size_t i, std::size_t d);

// Fills the path codes of cells (1, 1) to (N-1, M-1) of a stretch with source lengths s and
// target lengths t (N = s.size() >= 2, M = t.size() >= 2) into `path`, (N-1) rows of
// PathRowBytes(M) bytes. Returns the cost of cell (N-1, M-1).
//
// The costs are summed in 32 bits, four columns at a time, as long as no sum can reach 2^31, and
// in 64 bits from the first row where one could. `costTableCap` bounds the remembered bead costs
// (see BeadTables); `wideFromRow` makes the sums 64-bit from that row on at the latest. Both are
// there for tests: neither changes the result.
//
// `observer`, when given, is called with the number of rows filled every few thousand cells; it
// may stop the fill by throwing, which leaves the path incomplete.
std::int64_t FillPathTable(const LengthModel& model, const std::vector<std::int64_t>& s,
                           const std::vector<std::int64_t>& t, std::uint8_t* path,
                           const RowObserver* observer = nullptr,
                           std::size_t costTableCap = BeadTables::DefaultCapEntries,
                           std::size_t wideFromRow = std::numeric_limits<std::size_t>::max());

} // namespace bitexa
