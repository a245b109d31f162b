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

    // The costs of one source length against `count` target lengths into `costs`, as
    // MatchCost gives them; several at a time where the processor allows. Targets in ascending
    // order (`ascending`) are computed only near the source length times the ratio: far from
    // it on either side, every match is impossible.
    void MatchCosts(std::int64_t source, std::size_t count, const std::int64_t* targets,
                    std::uint16_t* costs, const MatchCostTable* table,
                    bool ascending = false) const;

    // What BeadCost adds to the match of the bead's totals, MatchCost(x1 + x2, y1 + y2): a
    // penalty for every shape but one to one, the shape judged by which lengths are zero.
    static int Penalty(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
        if (x2 == 0 && y2 == 0) {
            return x1 == 0 || y1 == 0 ? AlonePenalty : 0;
        }
        return x2 == 0 || y2 == 0 ? OneToTwoPenalty : TwoToTwoPenalty;
    }

private:
    // Penalties on the -100 ln p scale for beads that are not one-to-one: a segment left alone,
    // a segment paired with two, and two paired with two.
    static constexpr int AlonePenalty = 450;
    static constexpr int OneToTwoPenalty = 230;
    static constexpr int TwoToTwoPenalty = 440;

    double m_ratio;
};

} // namespace bitexa
