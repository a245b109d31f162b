#include "align/model/LengthModel.h"

#include "align/model/BeadKind.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

// The cost of a source length against a target length, from the match's z on (see MatchCost).
int CostFromZ(std::int64_t source, std::int64_t target, double z, const MatchCostTable* table) {
    if (source == 0 && target == 0) {
        return 0;
    }
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

} // namespace

double NormalCdf(double z) {
    return 1 - Tail(z);
}

// Why a step's cost is exact. The tail's exact value x(z) = 0.3989423 exp(-z^2 / 2) h(t) with
// t = 1 / (1 + 0.2316419 z) and h(t) = t (0.31938153 + t (-0.356563782 + ...)) falls strictly as
// z grows: exp(-z^2 / 2) and t fall, both are positive, and h is positive and rises with t on
// [0, 1] (its derivative is at least 0.29 there). The computed tail X(z) is within TailError of
// x(z), relatively. So for z in an interval [z0, z1], X(z) lies between X(z1) (1 - 3 TailError)
// and X(z0) (1 + 3 TailError), each bound taken as computed. p = 2 (1 - (1 - X)) only rises with
// X, rounding included (rounding never reverses an order; 1 - N is exact, N being at least 1/2),
// so p(z) lies between the p of the two bounds, and -100 ln p, within CostError of its exact
// value, between their costs less and more CostError. When those truncate alike, so does every
// z of the interval.
//
// A step where they do not holds a change of cost: about one step in forty-five. The cost
// rises by less than one over a step, so such a step holds one change; found from the costs at its
// ends, the step is split a hair below and a hair above it, and each part proven as above. Only a z
// within the hair is computed, and any step that will not split is computed throughout.
MatchCostTable::MatchCostTable() {
    const std::size_t steps = static_cast<std::size_t>(LastZ * StepsPerUnit) + 1;
    m_costs.resize(steps + 1);
    m_costs[steps] = ImpossibleCost;
    const auto probability = [](double tail) { return 2 * (1 - (1 - tail)); };
    // The one cost of every z from a tail of tailAtStart to one of tailAtEnd, or -1.
    const auto provenCost = [&](double tailAtStart, double tailAtEnd) {
        const double most = probability(tailAtStart * (1 + 3 * TailError));
        const double least = probability(tailAtEnd * (1 - 3 * TailError));
        if (most <= 0) {
            return static_cast<int>(ImpossibleCost); // every p is 0
        }
        if (least <= 0) {
            return -1;
        }
        const int lowest = static_cast<int>(-100 * std::log(most) - CostError);
        const int highest = static_cast<int>(-100 * std::log(least) + CostError);
        return lowest == highest ? lowest : -1;
    };
    // The costs as computed, as reals, for finding a change within a step.
    const auto realCost = [&](double tail) { return -100 * std::log(probability(tail)); };
    double tailAtStart = Tail(0);
    for (std::size_t k = 0; k < steps; ++k) {
        const double z0 = static_cast<double>(k) / StepsPerUnit;
        const double z1 = static_cast<double>(k + 1) / StepsPerUnit;
        const double tailAtEnd = Tail(z1);
        const double tailAtThisStart = tailAtStart;
        tailAtStart = tailAtEnd;
        const int cost = provenCost(tailAtThisStart, tailAtEnd);
        if (cost >= 0) {
            m_costs[k] = static_cast<std::uint16_t>(cost);
            continue;
        }
        m_costs[k] = Unknown;
        const double atStart = realCost(tailAtThisStart);
        const double atEnd = realCost(tailAtEnd);
        if (m_splits.size() >= Unknown - FirstSplit || !std::isfinite(atEnd) ||
            !(atEnd > atStart)) {
            continue;
        }
        // Where the cost reaches the next whole number: the straight line between the ends,
        // then once more between the nearer end and that point. The cost is so nearly straight
        // over a step that the second line finds the change to some 1e-10 in z.
        const double target = std::floor(atEnd);
        double change = z0 + (target - atStart) / (atEnd - atStart) * (z1 - z0);
        if (!(change > z0 && change < z1)) {
            continue;
        }
        const double atChange = realCost(Tail(change));
        change = atChange < target
                     ? change + (target - atChange) / (atEnd - atChange) * (z1 - change)
                     : z0 + (target - atStart) / (atChange - atStart) * (change - z0);
        // The hair must be wider than the error of the change found (some 1e-10 in z) and
        // than the steps in which the computed cost moves: the probability is a difference of
        // doubles near 1, so a tail of 1e-8 moves in steps of a millionth of a cost, one of
        // 1e-12 in steps of a fiftieth, which span a third of a step of z. From a
        // hundred-thousandth of a step, the hair widens until both parts are proven.
        int low = -1;
        int high = -1;
        double lowUntil = 0;
        double highFrom = 0;
        for (double hair = 1e-9; low < 0 || high < 0; hair *= 4) {
            lowUntil = change - hair;
            highFrom = change + hair;
            if (!(lowUntil > z0 && highFrom < z1)) {
                break;
            }
            low = provenCost(tailAtThisStart, Tail(lowUntil));
            high = provenCost(Tail(highFrom), tailAtEnd);
        }
        if (low < 0 || high < 0) {
            continue;
        }
        m_costs[k] = static_cast<std::uint16_t>(FirstSplit + m_splits.size());
        m_splits.push_back({lowUntil, highFrom, static_cast<std::uint16_t>(low),
                            static_cast<std::uint16_t>(high)});
    }
}

const MatchCostTable& MatchCostTable::Shared() {
    static const MatchCostTable table;
    return table;
}

int MatchCostTable::Resolve(std::uint16_t entry, double z) const {
    if (entry < FirstSplit) {
        return entry;
    }
    if (entry == Unknown) {
        return -1;
    }
    const Split& split = m_splits[entry - FirstSplit];
    if (z <= split.lowUntil) {
        return split.low;
    }
    return z >= split.highFrom ? split.high : -1;
}

int MatchCostTable::Lookup(double z) const {
    return Resolve(m_costs[static_cast<std::size_t>(z * StepsPerUnit)], z);
}

int LengthModel::MatchCost(std::int64_t a, std::int64_t b) const {
    return MatchCost(a, b, nullptr);
}

int LengthModel::MatchCost(std::int64_t a, std::int64_t b, const MatchCostTable* table) const {
    return CostFromZ(a, b, ZOf(m_ratio, a, b), table);
}

int LengthModel::BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2,
                          std::int64_t y2) const {
    // By shape: a segment alone matches its length against 0 (or 0 against 0, which costs
    // nothing); one to one, the two lengths; one to two, two to one and two to two, the totals.
    // An empty segment counts as absent, so each of these is the match of the totals.
    return MatchCost(x1 + x2, y1 + y2) + Penalty(x1, y1, x2, y2);
}

namespace {

#if defined(__GNUC__) && defined(__x86_64__)
#define BITEXA_MODEL_AVX2 1

// Costs of targets [0, count) four at a time from `table`, whose entries are `steps` (the one
// after the last step holding the impossible cost; an entry from `firstSplit` on needs z), for
// a source length other than 0; returns where it stopped, fewer than four before `count`. z is
// computed exactly as ZOf computes it: the same operations in the same order, each rounded
// alike whether on one double or on four, the targets' doubles and their quotients by the ratio
// being those ZOf would compute. No fused multiply-add is allowed here. The steps are read one by
// one: a gather of four costs more on some processors.
__attribute__((target("avx2"))) std::size_t
LookUpCostsAvx2(double c, std::int64_t source, std::size_t count, const double* lengths,
                const double* overRatio, const MatchCostTable& table, const std::uint16_t* steps,
                std::uint16_t firstSplit, std::uint16_t* costs) {
    const __m256d sourceLength = _mm256_set1_pd(static_cast<double>(source));
    const __m256d expected = _mm256_mul_pd(_mm256_set1_pd(c), sourceLength);
    const __m256d variance = _mm256_set1_pd(LengthVariance);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d sign = _mm256_set1_pd(-0.0);
    const __m256d last = _mm256_set1_pd(LastZ);
    const __m256d perUnit = _mm256_set1_pd(StepsPerUnit);
    const __m256i evenLanes = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    const __m128i beyond = _mm_set1_epi32(static_cast<int>(LastZ * StepsPerUnit) + 1);
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m256d difference = _mm256_sub_pd(expected, _mm256_loadu_pd(lengths + k));
        const __m256d mean = _mm256_add_pd(sourceLength, _mm256_loadu_pd(overRatio + k));
        const __m256d spread = _mm256_sqrt_pd(_mm256_mul_pd(_mm256_mul_pd(variance, mean), half));
        const __m256d z = _mm256_andnot_pd(sign, _mm256_div_pd(difference, spread));
        // Beyond the last step, and for a NaN, the match is impossible: the entry after the
        // last step. min gives its second operand for a NaN, so no step is out of range.
        const __m128i within = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(
            _mm256_castpd_si256(_mm256_cmp_pd(z, last, _CMP_LE_OQ)), evenLanes));
        const __m128i step = _mm_blendv_epi8(
            beyond, _mm256_cvttpd_epi32(_mm256_mul_pd(_mm256_min_pd(z, last), perUnit)), within);
        alignas(16) std::int32_t at[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(at), step);
        std::uint16_t entries[4] = {steps[at[0]], steps[at[1]], steps[at[2]], steps[at[3]]};
        // A cost is at most ImpossibleCost, whose bits with those of any other cost stay below
        // the first split: one test finds whether any of the four needs z.
        if ((entries[0] | entries[1] | entries[2] | entries[3]) >= firstSplit) {
            alignas(32) double zs[4];
            _mm256_store_pd(zs, z);
            for (int lane = 0; lane < 4; ++lane) {
                if (entries[lane] >= firstSplit) {
                    const int cost = table.Lookup(zs[lane]);
                    entries[lane] =
                        static_cast<std::uint16_t>(cost >= 0 ? cost : CostOfZ(zs[lane]));
                }
            }
        }
        std::copy_n(entries, 4, costs + k);
    }
    return k;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
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
constexpr double FarZ = 9.5;

TargetWindow FindPossibleTargets(double c, std::int64_t source, std::size_t count,
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

MatchTargets::MatchTargets(const LengthModel& model, std::vector<std::int64_t> ascending)
    : m_lengths(std::move(ascending)) {
    m_asDoubles.reserve(m_lengths.size());
    m_overRatio.reserve(m_lengths.size());
    for (const std::int64_t length : m_lengths) {
        // As ZOf computes them.
        const double targetLength = static_cast<double>(length);
        m_asDoubles.push_back(targetLength);
        m_overRatio.push_back(targetLength / model.Ratio());
    }
}

TargetWindow LengthModel::PossibleTargets(std::int64_t source, const MatchTargets& targets) const {
    return FindPossibleTargets(m_ratio, source, targets.size(), targets.m_lengths.data());
}

void LengthModel::MatchCosts(std::int64_t source, const MatchTargets& targets, TargetWindow window,
                             std::uint16_t* costs, const MatchCostTable* table) const {
    const std::size_t count = window.end - window.first;
    const std::int64_t* lengths = targets.m_lengths.data() + window.first;
    std::size_t k = 0;
#ifdef BITEXA_MODEL_AVX2
    if (table != nullptr && source != 0 && HasAvx2()) {
        static_assert((ImpossibleCost | 4095) < MatchCostTable::FirstSplit);
        k = LookUpCostsAvx2(m_ratio, source, count, targets.m_asDoubles.data() + window.first,
                            targets.m_overRatio.data() + window.first, *table,
                            table->m_costs.data(), MatchCostTable::FirstSplit, costs);
    }
#endif
    for (; k < count; ++k) {
        costs[k] = static_cast<std::uint16_t>(
            CostFromZ(source, lengths[k], ZOf(m_ratio, source, lengths[k]), table));
    }
}

} // namespace bitexa
