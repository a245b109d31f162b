#include "align/model/LengthModel.h"

#include "align/model/BeadKind.h"

#include <cmath>

namespace bitexa {

namespace {

// Variance of the target length per source length unit, in the model's length units.
constexpr double LengthVariance = 6.8;

// Penalties on the -100 ln p scale for beads that are not one-to-one: a segment left alone, a
// segment paired with two, and two paired with two.
constexpr int AlonePenalty = 450;
constexpr int OneToTwoPenalty = 230;
constexpr int TwoToTwoPenalty = 440;

} // namespace

double NormalCdf(double z) {
    const double t = 1 / (1 + 0.2316419 * z);
    return 1 - 0.3989423 * std::exp(-0.5 * z * z) * t *
                   (0.31938153 +
                    t * (-0.356563782 + t * (1.781477937 + t * (-1.821255978 + t * 1.330274429))));
}

int LengthModel::MatchCost(std::int64_t a, std::int64_t b) const {
    if (a == 0 && b == 0) {
        return 0;
    }
    // The operations keep this exact order: a row can hang on the last bit of the cost.
    const double c = m_ratio;
    const double sourceLength = static_cast<double>(a);
    const double targetLength = static_cast<double>(b);
    double z = (c * sourceLength - targetLength) /
               std::sqrt(LengthVariance * (sourceLength + targetLength / c) * 0.5);
    z = std::abs(z);
    // Beyond z = 9 the tail that NormalCdf subtracts from 1 is below 1.2e-19, far under half
    // the spacing of doubles just below 1 (5.5e-17): 1 minus it rounds to 1 exactly, so p is 0.
    // Said here without the exponential and the logarithm, which a stretch of long segments
    // would otherwise compute for millions of pairs that can never be matched.
    if (z > 9) {
        return ImpossibleCost;
    }
    const double p = 2 * (1 - NormalCdf(z));
    // A NaN (ratio 0 against an empty target) fails the test as well and counts as impossible.
    if (p > 0) {
        return static_cast<int>(-100 * std::log(p));
    }
    return ImpossibleCost;
}

int LengthModel::BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                          std::int64_t y2) const {
    // The shape is judged by which lengths are zero: an empty segment counts as absent.
    if (x2 == 0 && y2 == 0) {
        if (x1 == 0) {
            return MatchCost(0, y1) + AlonePenalty;
        }
        if (y1 == 0) {
            return MatchCost(x1, 0) + AlonePenalty;
        }
        return MatchCost(x1, y1);
    }
    if (x2 == 0) {
        return MatchCost(x1, y1 + y2) + OneToTwoPenalty;
    }
    if (y2 == 0) {
        return MatchCost(x1 + x2, y1) + OneToTwoPenalty;
    }
    return MatchCost(x1 + x2, y1 + y2) + TwoToTwoPenalty;
}

} // namespace bitexa
