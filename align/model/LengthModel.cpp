#include "align/model/LengthModel.h"

#include "align/model/BeadKind.h"

#include <algorithm>
#include <cmath>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace bitexa {

namespace {

// Variance of the target length per source length unit, in the model's length units.
constexpr double LengthVariance = 6.8;

// The term that NormalCdf subtracts from 1: the tail beyond z.
double Tail(double z) {
    const double t = 1 / (1 + 0.2316419 * z);
    return 0.3989423 * std::exp(-0.5 * z * z) * t *
           (0.31938153 +
            t * (-0.356563782 + t * (1.781477937 + t * (-1.821255978 + t * 1.330274429))));
}

// The cost of a two-sided tail probability p.
int CostOfProbability(double p) {
    // A NaN (ratio 0 against an empty target) fails the test as well and counts as impossible.
    if (p > 0) {
        return static_cast<int>(-100 * std::log(p));
    }
    return ImpossibleCost;
}

// The cost of |z| <= 9, computed.
int CostOfZ(double z) {
    return CostOfProbability(2 * (1 - NormalCdf(z)));
}

// |z| of a source length a against a target length b at ratio c.
double ZOf(double c, std::int64_t a, std::int64_t b) {
    // The operations keep this exact order: a row can hang on the last bit of the cost.
    const double sourceLength = static_cast<double>(a);
    const double targetLength = static_cast<double>(b);
    const double z = (c * sourceLength - targetLength) /
                     std::sqrt(LengthVariance * (sourceLength + targetLength / c) * 0.5);
    return std::abs(z);
}

// Beyond z = 9 the tail that NormalCdf subtracts from 1 is below 1.2e-19, far under half the
// spacing of doubles just below 1 (5.5e-17): 1 minus it rounds to 1 exactly, so p is 0. Said
// without the exponential and the logarithm, which a stretch of long segments would otherwise
// compute for millions of pairs that can never be matched.
constexpr double LastZ = 9;

// Steps of the table: 2^-14, so that z times the steps per unit is exact.
constexpr double StepsPerUnit = 1 << 14;

// How far the computed tail may stray from the exact value of the same expression, relatively:
// its dozen roundings, the exponential's argument (z * z rounded, up to 81, so 4.5e-15 off) and
// the exponential itself (within an ulp) come to 4e-15 at most, found by comparing with 200-bit
// arithmetic over [0, 9]; a margin of 25 times that.
constexpr double TailError = 1e-13;

// How far the computed -100 ln p may stray from its exact value: the logarithm (within an ulp
// of at most 37) and the product (within half an ulp of at most 3700) come to 2e-12.
constexpr double CostError = 1e-9;

} // namespace

double NormalCdf(double z) {
    return 1 - Tail(z);
}

// Why a step's cost is exact. The tail's exact value x(z) = 0.3989423 exp(-z^2 / 2) h(t) with
// t = 1 / (1 + 0.2316419 z) and h(t) = t (0.31938153 + t (-0.356563782 + ...)) falls strictly as
// z grows: exp(-z^2 / 2) and t fall, both are positive, and h is positive and rises with t on
// [0, 1] (its derivative is at least 0.29 there). The computed tail X(z) is within TailError of
// x(z), relatively. So for z in a step [z0, z1], X(z) lies between X(z1) (1 - 3 TailError) and
// X(z0) (1 + 3 TailError), each bound taken as computed. p = 2 (1 - (1 - X)) only rises with X,
// rounding included (rounding never reverses an order; 1 - N is exact, N being at least 1/2),
// so p(z) lies between the p of the two bounds, and -100 ln p, within CostError of its exact
// value, between their costs less and more CostError. When those truncate alike, so does every
// z of the step; when not, the step is marked unknown and its z are computed.
MatchCostTable::MatchCostTable() {
    const std::size_t steps = static_cast<std::size_t>(LastZ * StepsPerUnit) + 1;
    m_costs.resize(steps);
    constexpr std::uint16_t unknown = 0xFFFF;
    const auto probability = [](double tail) { return 2 * (1 - (1 - tail)); };
    double tailAtStart = Tail(0);
    for (std::size_t k = 0; k < steps; ++k) {
        const double tailAtEnd = Tail(static_cast<double>(k + 1) / StepsPerUnit);
        const double most = probability(tailAtStart * (1 + 3 * TailError));
        const double least = probability(tailAtEnd * (1 - 3 * TailError));
        tailAtStart = tailAtEnd;
        if (most <= 0) {
            m_costs[k] = ImpossibleCost; // every p of the step is 0
            continue;
        }
        if (least <= 0) {
            m_costs[k] = unknown;
            continue;
        }
        const double lowest = -100 * std::log(most) - CostError;
        const double highest = -100 * std::log(least) + CostError;
        m_costs[k] = static_cast<int>(lowest) == static_cast<int>(highest)
                         ? static_cast<std::uint16_t>(static_cast<int>(lowest))
                         : unknown;
    }
}

const MatchCostTable& MatchCostTable::Shared() {
    static const MatchCostTable table;
    return table;
}

int MatchCostTable::Lookup(double z) const {
    const std::uint16_t cost = m_costs[static_cast<std::size_t>(z * StepsPerUnit)];
    return cost == 0xFFFF ? -1 : cost;
}

int LengthModel::MatchCost(std::int64_t a, std::int64_t b) const {
    return MatchCost(a, b, nullptr);
}

int LengthModel::MatchCost(std::int64_t a, std::int64_t b, const MatchCostTable* table) const {
    if (a == 0 && b == 0) {
        return 0;
    }
    const double z = ZOf(m_ratio, a, b);
    // NaN fails the test too, and is impossible either way.
    if (!(z <= LastZ)) {
        return ImpossibleCost;
    }
    if (table != nullptr) {
        if (const int cost = table->Lookup(z); cost >= 0) {
            return cost;
        }
    }
    return CostOfZ(z);
}

int LengthModel::BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                          std::int64_t y2) const {
    return BeadCost(x1, y1, x2, y2, nullptr);
}

int LengthModel::BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          const MatchCostTable* table) const {
    // By shape: a segment alone matches its length against 0 (or 0 against 0, which costs
    // nothing); one to one, the two lengths; one to two, two to one and two to two, the totals.
    // An empty segment counts as absent, so each of these is the match of the totals.
    return MatchCost(x1 + x2, y1 + y2, table) + Penalty(x1, y1, x2, y2);
}

namespace {

// z of `count` (at most ZBatch) pairs into `z`, exactly as ZOf computes each: the same
// operations in the same order, each rounded alike whether on one double or on four.
constexpr std::size_t ZBatch = 64;

void ZOfEach(double c, std::int64_t source, std::size_t count, const std::int64_t* targets,
             double* z) {
    for (std::size_t k = 0; k < count; ++k) {
        z[k] = ZOf(c, source, targets[k]);
    }
}

#if defined(__GNUC__) && defined(__x86_64__)
#define BITEXA_MODEL_AVX 1

__attribute__((target("avx"))) void ZOfEachAvx(double c, std::int64_t source, std::size_t count,
                                               const std::int64_t* targets, double* z) {
    const __m256d ratio = _mm256_set1_pd(c);
    const __m256d sourceLength = _mm256_set1_pd(static_cast<double>(source));
    const __m256d variance = _mm256_set1_pd(LengthVariance);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d sign = _mm256_set1_pd(-0.0);
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m256d target = _mm256_setr_pd(
            static_cast<double>(targets[k]), static_cast<double>(targets[k + 1]),
            static_cast<double>(targets[k + 2]), static_cast<double>(targets[k + 3]));
        const __m256d difference = _mm256_sub_pd(_mm256_mul_pd(ratio, sourceLength), target);
        const __m256d mean = _mm256_add_pd(sourceLength, _mm256_div_pd(target, ratio));
        const __m256d spread = _mm256_sqrt_pd(_mm256_mul_pd(_mm256_mul_pd(variance, mean), half));
        _mm256_storeu_pd(z + k, _mm256_andnot_pd(sign, _mm256_div_pd(difference, spread)));
    }
    ZOfEach(c, source, count - k, targets + k, z + k);
}

bool HasAvx() {
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

#endif

// Where the impossible matches of ascending targets begin and end: every target before
// `first` and from `end` on is impossible against the source. With a ratio c > 0, the exact z of
// a source length a against a target length b, |c a - b| / sqrt(3.4 (a + b / c)), falls as b
// rises to c a and rises with b beyond it (for b > c a its derivative has the sign of
// 4 a + (b - c a) / c). The computed z is within 1e-12 of it, relatively, for any lengths a text
// can have; so a target whose computed z exceeds FarZ has an exact z above 9.4, as has every
// target further out, whose computed z then exceeds 9: impossible, as MatchCost says.
struct PossibleTargets {
    std::size_t first;
    std::size_t end;
};

constexpr double FarZ = 9.5;

PossibleTargets FindPossibleTargets(double c, std::int64_t source, std::size_t count,
                                    const std::int64_t* targets) {
    if (!(c > 0) || !std::isfinite(c) || count == 0) {
        return {0, count};
    }
    const auto far = [&](std::size_t k) { return ZOf(c, source, targets[k]) > FarZ; };
    const double expected = c * static_cast<double>(source);
    const std::int64_t* const end = targets + count;
    const std::int64_t* const middle = std::partition_point(
        targets, end, [expected](std::int64_t b) { return static_cast<double>(b) < expected; });
    // Binary searches for the edges; each edge found is checked, since the search assumes
    // what rounding may break near FarZ (z falling, then rising), and a doubtful edge widens
    // the range to the end.
    std::size_t last = static_cast<std::size_t>(
        std::partition_point(middle, end,
                             [&](const std::int64_t& b) { return !far(&b - targets); }) -
        targets);
    if (last < count && !far(last)) {
        last = count;
    }
    std::size_t first = static_cast<std::size_t>(
        std::partition_point(targets, middle,
                             [&](const std::int64_t& b) { return far(&b - targets); }) -
        targets);
    if (first > 0 && !far(first - 1)) {
        first = 0;
    }
    return {first, last};
}

} // namespace

void LengthModel::MatchCosts(std::int64_t source, std::size_t count, const std::int64_t* targets,
                             std::uint16_t* costs, const MatchCostTable* table,
                             bool ascending) const {
    if (ascending) {
        const PossibleTargets possible = FindPossibleTargets(m_ratio, source, count, targets);
        std::fill(costs, costs + possible.first, static_cast<std::uint16_t>(ImpossibleCost));
        std::fill(costs + possible.end, costs + count, static_cast<std::uint16_t>(ImpossibleCost));
        MatchCosts(source, possible.end - possible.first, targets + possible.first,
                   costs + possible.first, table, false);
        return;
    }
    double z[ZBatch];
    for (std::size_t start = 0; start < count; start += ZBatch) {
        const std::size_t n = std::min(ZBatch, count - start);
        const std::int64_t* batch = targets + start;
#ifdef BITEXA_MODEL_AVX
        if (HasAvx()) {
            ZOfEachAvx(m_ratio, source, n, batch, z);
        } else {
            ZOfEach(m_ratio, source, n, batch, z);
        }
#else
        ZOfEach(m_ratio, source, n, batch, z);
#endif
        for (std::size_t k = 0; k < n; ++k) {
            // As MatchCost goes on from z.
            int cost = ImpossibleCost;
            if (source == 0 && batch[k] == 0) {
                cost = 0;
            } else if (z[k] <= LastZ) {
                cost = table != nullptr ? table->Lookup(z[k]) : -1;
                if (cost < 0) {
                    cost = CostOfZ(z[k]);
                }
            }
            costs[start + k] = static_cast<std::uint16_t>(cost);
        }
    }
}

} // namespace bitexa
