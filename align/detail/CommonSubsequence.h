#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace bitexa {

// The pairs (k, l), k indexing a and l indexing b, of the longest common subsequence of a and
// b that this walk picks, in order: from the end of both lists, drop an element of b whenever
// that keeps the length, else drop an element of a whenever that keeps it, else pair the two
// last elements. On equal lengths the walk thus drops before it pairs, and drops from b before
// it drops from a.
//
// The length table is computed a row at a time, 64 columns to a machine word (a row is one bit
// per element of b), so time grows like 2 * |a| * |b| / 64. Memory grows like
// 2 * sqrt(|a|) * |b| bits: the rows are kept only at every sqrt(|a|)-th one and recomputed
// block by block as the walk climbs, and the walk reads the lengths back from them.
std::vector<std::pair<std::size_t, std::size_t>>
CommonSubsequence(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

} // namespace bitexa
