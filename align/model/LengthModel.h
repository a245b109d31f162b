#pragma once

#include <cstdint>

namespace bitexa {

// Standard normal distribution function for z >= 0 (polynomial approximation of Abramowitz and
// Stegun 26.2.17).
double NormalCdf(double z);

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

private:
    double m_ratio;
};

} // namespace bitexa
