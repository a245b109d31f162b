#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitexa {

// Standard normal distribution function for z >= 0 (polynomial approximation of Abramowitz and
// Stegun 26.2.17).
double NormalCdf(double z);

// The match cost as a function of z alone, in a table of small steps of z: for each step either
// the one cost that every z in it gives, exactly as the formula computes it, or "unknown" where
// a step holds a change of cost (or comes too near one to be sure), about one step in twenty.
// A stretch of long segments needs the costs of tens of millions of length pairs; looked up,
// they cost a square root and a division each rather than an exponential and a logarithm too.
class MatchCostTable {
public:
    // Built on first use (a few milliseconds), then shared, read-only, by every thread.
    static const MatchCostTable& Shared();

    // The cost for z (0 <= z <= 9, computed as MatchCost computes it), or -1 if unknown.
    int Lookup(double z) const;

private:
    MatchCostTable();
    std::vector<std::uint16_t> m_costs;
};

// What a bead costs by the lengths of its segments alone: -100 ln p of the length difference
// under a normal model whose mean is `ratio` target units per source unit, plus a penalty for
// every shape but one-to-one.
class LengthModel {
public:
    explicit LengthModel(double ratio) : m_ratio(ratio) {}

    double Ratio() const { return m_ratio; }

    // -100 ln p of a source length a against a target length b (UTF-16 code units), truncated.
    // Always either 50000 or between 0 and 3604: p is 0, or at least 2^-52.
    int MatchCost(std::int64_t a, std::int64_t b) const;
    // The cost of a bead: x1, x2 source lengths, y1, y2 target lengths, 0 for an absent segment.
    int BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) const;

    // The same costs, looked up in `table` where it knows them (null: computed).
    int MatchCost(std::int64_t a, std::int64_t b, const MatchCostTable* table) const;
    int BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                 const MatchCostTable* table) const;

    // What BeadCost matches (a source length against a target length) and the penalty it adds:
    // BeadCost(x1, y1, x2, y2) is MatchCost(source, target) + penalty.
    struct BeadMatch {
        std::int64_t source;
        std::int64_t target;
        int penalty;
    };
    static BeadMatch MatchOf(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);
    // The costs of `count` beads, given by what they match, into `costs`, as BeadCost gives
    // them; several at a time where the processor allows.
    void BeadCosts(std::size_t count, const BeadMatch* beads, std::uint16_t* costs,
                   const MatchCostTable* table) const;

private:
    double m_ratio;
};

} // namespace bitexa
