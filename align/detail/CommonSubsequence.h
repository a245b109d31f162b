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
// Memory grows like 2 * sqrt(|a|) * |b| rather than |a| * |b|: the length table is kept only
// at every sqrt(|a|)-th row and recomputed block by block as the walk climbs; time is about
// twice |a| * |b|.
std::vector<std::pair<std::size_t, std::size_t>>
CommonSubsequence(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

} // namespace bitexa
