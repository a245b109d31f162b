#pragma once

#include <cstddef>
#include <cstdint>

namespace bitexa {

// The inner loop of the aligner, column by column across a pass of one row (row >= 3, columns
// >= 3, where every move is available). Arrays are indexed by the pass's own column k = 0 ..
// count-1; `oneBack` and `twoBack` point at the pass's first column in the two rows above, and
// are read from two columns before it.
template <typename Cost> struct MovePass {
    std::size_t count;
    const Cost* oneBack;
    const Cost* twoBack;
    Cost sourceAlone;            // bead cost of the row's source segment alone
    const std::uint32_t* single; // target keys of each column
    const std::uint32_t* pair;
    // Bead costs of the row by target key, two to an entry: by single key one to one (low half)
    // and two to one (high half), by pair key one to two and two to two.
    const std::uint32_t* bySingle;
    const std::uint32_t* byPair;
};

// Moves 1 to 5 (all but a target segment alone), compared in code order, the first minimum
// winning: the least value of each column into `best`, its code into `code`.
void CompareMoves(const MovePass<std::int32_t>& pass, std::int32_t* best, std::int32_t* code);
void CompareMoves(const MovePass<std::int64_t>& pass, std::int64_t* best, std::int32_t* code);

// Move 0 (a target segment alone, priced `targetAlone` by column) reads the cell to its left, so
// it is added by a serial running minimum over the pass: `costs[-1]` is the cost left of the
// pass, and `costs[k]` receives the cost of each column, `codes[k]` its code: 0 where move 0
// won, which it does on every tie since it comes first in code order, else `moves[k]`.
void AddTargetAlone(std::size_t count, const std::int32_t* targetAlone, const std::int32_t* best,
                    const std::int32_t* moves, std::int32_t* costs, std::uint8_t* codes);
void AddTargetAlone(std::size_t count, const std::int64_t* targetAlone, const std::int64_t* best,
                    const std::int32_t* moves, std::int64_t* costs, std::uint8_t* codes);

} // namespace bitexa
