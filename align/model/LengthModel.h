#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitexa {

// Standard normal distribution function for z >= 0 (polynomial approximation of Abramowitz and
// Stegun 26.2.17).
double NormalCdf(double z);

// The match cost as a function of z alone, in a table of small steps of z: for each step the one
// cost that every z in it gives, exactly as the formula computes it, or where a step holds a
// change of cost (about one step in forty-five), the costs below and above a hair around the
// change. A stretch of long segments needs the costs of tens of millions of length pairs; looked
// up, they cost a square root and a division each rather than an exponential and a logarithm too.
class MatchCostTable {
public:
    // Built on first use (a few milliseconds), then shared, read-only, by every thread.
    static const MatchCostTable& Shared();

    // The cost for z (0 <= z <= 9, computed as MatchCost computes it), or -1 if unknown.
    int Lookup(double z) const;

private:
    friend class LengthModel;
    MatchCostTable();

    // An entry of a step that holds no one cost: Unknown, or from FirstSplit on, the index
    // (less FirstSplit) of the step's split into the part below its change of cost and the part
    // above.
    static constexpr std::uint16_t Unknown = 0xFFFF;
    static constexpr std::uint16_t FirstSplit = 0xF000;
    struct Split {
        double lowUntil; // every z of the step up to this one costs `low`
        double highFrom; // every z from this one to the step's end costs `high`
        std::uint16_t low;
        std::uint16_t high;
    };

    // The cost of z from its step's entry, or -1 if it must be computed.
    int Resolve(std::uint16_t entry, double z) const;

    // One entry a step, and after the last one the impossible cost, for any z beyond.
    std::vector<std::uint16_t> m_costs;
    std::vector<Split> m_splits;
};

class LengthModel;

// Targets [first, end) of a list.
struct TargetWindow {
    std::size_t first;
    std::size_t end;
};

// Target lengths in ascending order, set out once for the match costs of many source lengths:
// each as a double and divided by the ratio, as MatchCost computes them.
class MatchTargets {
public:
    MatchTargets(const LengthModel& model, std::vector<std::int64_t> ascending);

    std::size_t size() const { return m_lengths.size(); }

private:
    friend class LengthModel;
    std::vector<std::int64_t> m_lengths;
    std::vector<double> m_asDoubles;
    std::vector<double> m_overRatio;
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

    // The same cost, looked up in `table` where it knows it (null: computed).
    int MatchCost(std::int64_t a, std::int64_t b, const MatchCostTable* table) const;

    // The targets outside which every match of the source length is impossible: those far from
    // the source length times the ratio on either side.
    TargetWindow PossibleTargets(std::int64_t source, const MatchTargets& targets) const;

    // The costs of one source length against the targets of `window` into `costs`, the first
    // target's first, as MatchCost gives them; several at a time where the processor allows.
    void MatchCosts(std::int64_t source, const MatchTargets& targets, TargetWindow window,
                    std::uint16_t* costs, const MatchCostTable* table) const;

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
