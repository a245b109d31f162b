#include "align/detail/MoveComparison.h"

#include <algorithm>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define BITEXA_SSE2 1
#endif

// Eight columns at a time where the processor has them (asked once, at run time): the program
// is built for any x86-64.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define BITEXA_AVX2 1
#endif

namespace bitexa {

namespace {

template <typename Cost>
void CompareMovesFrom(std::size_t k, const MovePass<Cost>& pass, Cost* best, std::int32_t* code) {
    for (; k < pass.count; ++k) {
        const std::uint32_t bySingle = pass.bySingle[pass.single[k]];
        const std::uint32_t byPair = pass.byPair[pass.pair[k]];
        Cost value = pass.oneBack[k] + pass.sourceAlone;
        std::int32_t move = 1;
        // The rows above reach two columns left of the pass's first one: step back from the
        // column's own pointer, never through an index that wraps below zero.
        const Cost* oneBack = pass.oneBack + k;
        const Cost* twoBack = pass.twoBack + k;
        const Cost candidates[4] = {
            oneBack[-1] + static_cast<Cost>(bySingle & 0xFFFF),
            oneBack[-2] + static_cast<Cost>(byPair & 0xFFFF),
            twoBack[-1] + static_cast<Cost>(bySingle >> 16),
            twoBack[-2] + static_cast<Cost>(byPair >> 16),
        };
        for (std::int32_t c = 0; c < 4; ++c) {
            move = candidates[c] < value ? c + 2 : move;
            value = candidates[c] < value ? candidates[c] : value;
        }
        best[k] = value;
        code[k] = move;
    }
}

// costs[k] = min(costs[k-1] + targetAlone[k], best[k]), the first term winning ties. The
// recurrence is serial, but which term wins tends to stay the same for long runs of columns:
// move 0 wins throughout the part of the table far right of the diagonal, and loses throughout
// the part far left of it. So the choice is a branch, which the processor predicts, rather than
// a select: where the best other move wins, the next column does not wait for this one.
template <typename Cost>
void AddTargetAloneScalar(std::size_t count, const Cost* targetAlone, const Cost* best,
                          const std::int32_t* moves, Cost* costs, std::uint8_t* codes) {
    Cost left = costs[-1];
    for (std::size_t k = 0; k < count; ++k) {
        const Cost alone = left + targetAlone[k];
        if (alone <= best[k]) {
            left = alone;
            codes[k] = 0;
        } else {
            left = best[k];
            codes[k] = static_cast<std::uint8_t>(moves[k]);
        }
        costs[k] = left;
    }
}

#ifdef BITEXA_SSE2

__m128i Load(const std::int32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

void Store(std::int32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// The entries of `table` at four keys.
__m128i Lookup(const std::uint32_t* table, const std::uint32_t* keys) {
    return _mm_set_epi32(static_cast<int>(table[keys[3]]), static_cast<int>(table[keys[2]]),
                         static_cast<int>(table[keys[1]]), static_cast<int>(table[keys[0]]));
}

// mask ? a : b
__m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

#endif

#ifdef BITEXA_AVX2

#define BITEXA_TARGET_AVX2 __attribute__((target("avx2")))

BITEXA_TARGET_AVX2 inline __m256i Load8(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

// A candidate replaces the choice only when strictly lower; on a tie the minimum is the same
// value and the earlier move stays.
BITEXA_TARGET_AVX2 inline void Consider8(__m256i candidate, std::int32_t number, __m256i& value,
                                         __m256i& move) {
    const __m256i lower = _mm256_cmpgt_epi32(value, candidate);
    value = _mm256_min_epi32(value, candidate);
    move = _mm256_blendv_epi8(move, _mm256_set1_epi32(number), lower);
}

BITEXA_TARGET_AVX2 void CompareMovesAvx2(const MovePass<std::int32_t>& pass, std::int32_t* best,
                                         std::int32_t* code) {
    // The pass's fields in locals: the stores below may alias anything, so fields read through
    // `pass` would be read again after every store.
    const std::size_t count = pass.count;
    const std::int32_t* const oneBack = pass.oneBack;
    const std::int32_t* const twoBack = pass.twoBack;
    const std::uint32_t* const singleKeys = pass.single;
    const std::uint32_t* const pairKeys = pass.pair;
    const auto* const bySingle = reinterpret_cast<const int*>(pass.bySingle);
    const auto* const byPair = reinterpret_cast<const int*>(pass.byPair);
    const __m256i sourceAlone = _mm256_set1_epi32(pass.sourceAlone);
    const __m256i lowHalf = _mm256_set1_epi32(0xFFFF);
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i singles = _mm256_i32gather_epi32(bySingle, Load8(singleKeys + k), 4);
        const __m256i pairs = _mm256_i32gather_epi32(byPair, Load8(pairKeys + k), 4);
        __m256i value = _mm256_add_epi32(Load8(oneBack + k), sourceAlone);
        __m256i move = _mm256_set1_epi32(1);
        Consider8(_mm256_add_epi32(Load8(oneBack + k - 1), _mm256_and_si256(singles, lowHalf)), 2,
                  value, move);
        Consider8(_mm256_add_epi32(Load8(oneBack + k - 2), _mm256_and_si256(pairs, lowHalf)), 3,
                  value, move);
        Consider8(_mm256_add_epi32(Load8(twoBack + k - 1), _mm256_srli_epi32(singles, 16)), 4,
                  value, move);
        Consider8(_mm256_add_epi32(Load8(twoBack + k - 2), _mm256_srli_epi32(pairs, 16)), 5, value,
                  move);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(best + k), value);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(code + k), move);
    }
    CompareMovesFrom(k, pass, best, code);
}

// AddTargetAlone eight columns at a time, exactly. Unrolling the running minimum
//
//   costs[j] = min(costs[j-1] + targetAlone[j], best[j])
//
// from the cost `left` before the columns gives, with P[j] the sum of targetAlone[0 .. j],
//
//   costs[j] = min(left + P[j], min over i <= j of (best[i] + P[j] - P[i]))
//            = min(left, min over i <= j of (best[i] - P[i])) + P[j]
//
// (by induction: the step adds targetAlone[j] to every term and brings in best[j] as the term
// i = j). So a column needs a prefix sum and a prefix minimum across the eight lanes, and only
// `left` is carried from one group to the next; whichever move 0 does, long runs of wins or of
// losses or a mix, the work is the same. The arithmetic is on integers and exact. No sum leaves
// 32 bits where the scalar loop's would not: P is at most eight beads, best[i] - P[i] lies
// between -8 * LargestBead and best[i], and the term kept is costs[j] itself, at most best[j].
// The code follows from the costs as in the scalar loop: move 0 won column j, ties included,
// exactly where costs[j-1] + targetAlone[j] <= best[j].
BITEXA_TARGET_AVX2 void AddTargetAloneAvx2(std::size_t count, const std::int32_t* targetAlone,
                                           const std::int32_t* best, const std::int32_t* moves,
                                           std::int32_t* costs, std::uint8_t* codes) {
    const __m256i none = _mm256_set1_epi32(std::numeric_limits<std::int32_t>::max());
    const __m256i lastLane = _mm256_set1_epi32(7);
    const __m256i oneLaneUp = _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6);
    // Byte 0 of every 32-bit lane to the front of its half.
    const __m256i lowBytes =
        _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 8, 12,
                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    __m256i left = _mm256_set1_epi32(costs[-1]);
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i alone = Load8(targetAlone + k);
        const __m256i others = Load8(best + k);
        // Prefix sums: within each half by shifting in zeros, then the low half's total added
        // to the high half.
        __m256i sums = _mm256_add_epi32(alone, _mm256_slli_si256(alone, 4));
        sums = _mm256_add_epi32(sums, _mm256_slli_si256(sums, 8));
        sums = _mm256_add_epi32(
            sums, _mm256_shuffle_epi32(_mm256_permute2x128_si256(sums, sums, 0x08), 0xFF));
        // Prefix minima of best - P the same way, shifting in the largest value.
        __m256i least = _mm256_sub_epi32(others, sums);
        least = _mm256_min_epi32(least, _mm256_alignr_epi8(least, none, 12));
        least = _mm256_min_epi32(least, _mm256_alignr_epi8(least, none, 8));
        least = _mm256_min_epi32(
            least, _mm256_shuffle_epi32(_mm256_permute2x128_si256(least, none, 0x02), 0xFF));
        const __m256i result = _mm256_add_epi32(_mm256_min_epi32(left, least), sums);
        // The cost left of each column: `left`, then the results moved up one lane.
        const __m256i before =
            _mm256_blend_epi32(_mm256_permutevar8x32_epi32(result, oneLaneUp), left, 0x01);
        const __m256i otherWon = _mm256_cmpgt_epi32(_mm256_add_epi32(before, alone), others);
        const __m256i code = _mm256_and_si256(otherWon, Load8(moves + k));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(costs + k), result);
        const __m256i packed = _mm256_shuffle_epi8(code, lowBytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(codes + k),
                         _mm_unpacklo_epi32(_mm256_castsi256_si128(packed),
                                            _mm256_extracti128_si256(packed, 1)));
        left = _mm256_permutevar8x32_epi32(result, lastLane);
    }
    AddTargetAloneScalar(count - k, targetAlone + k, best + k, moves + k, costs + k, codes + k);
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

#endif

} // namespace

void CompareMoves(const MovePass<std::int32_t>& pass, std::int32_t* best, std::int32_t* code) {
#ifdef BITEXA_AVX2
    if (HasAvx2()) {
        CompareMovesAvx2(pass, best, code);
        return;
    }
#endif
    std::size_t k = 0;
#ifdef BITEXA_SSE2
    const __m128i sourceAlone = _mm_set1_epi32(pass.sourceAlone);
    const __m128i lowHalf = _mm_set1_epi32(0xFFFF);
    for (; k + 4 <= pass.count; k += 4) {
        const __m128i singles = Lookup(pass.bySingle, pass.single + k);
        const __m128i pairs = Lookup(pass.byPair, pass.pair + k);
        __m128i value = _mm_add_epi32(Load(pass.oneBack + k), sourceAlone);
        __m128i move = _mm_set1_epi32(1);
        const auto consider = [&](__m128i candidate, std::int32_t number) {
            const __m128i lower = _mm_cmplt_epi32(candidate, value);
            value = Select(lower, candidate, value);
            move = Select(lower, _mm_set1_epi32(number), move);
        };
        consider(_mm_add_epi32(Load(pass.oneBack + k - 1), _mm_and_si128(singles, lowHalf)), 2);
        consider(_mm_add_epi32(Load(pass.oneBack + k - 2), _mm_and_si128(pairs, lowHalf)), 3);
        consider(_mm_add_epi32(Load(pass.twoBack + k - 1), _mm_srli_epi32(singles, 16)), 4);
        consider(_mm_add_epi32(Load(pass.twoBack + k - 2), _mm_srli_epi32(pairs, 16)), 5);
        Store(best + k, value);
        Store(code + k, move);
    }
#endif
    CompareMovesFrom(k, pass, best, code);
}

void CompareMoves(const MovePass<std::int64_t>& pass, std::int64_t* best, std::int32_t* code) {
    CompareMovesFrom(0, pass, best, code);
}

void AddTargetAlone(std::size_t count, const std::int32_t* targetAlone, const std::int32_t* best,
                    const std::int32_t* moves, std::int32_t* costs, std::uint8_t* codes) {
#ifdef BITEXA_AVX2
    if (HasAvx2()) {
        AddTargetAloneAvx2(count, targetAlone, best, moves, costs, codes);
        return;
    }
#endif
    AddTargetAloneScalar(count, targetAlone, best, moves, costs, codes);
}

void AddTargetAlone(std::size_t count, const std::int64_t* targetAlone, const std::int64_t* best,
                    const std::int32_t* moves, std::int64_t* costs, std::uint8_t* codes) {
    AddTargetAloneScalar(count, targetAlone, best, moves, costs, codes);
}

} // namespace bitexa
