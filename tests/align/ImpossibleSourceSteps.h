#pragma once

#include "align/SentenceAligner.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bitexa {

// Source segments of length 300 against empty target segments, ratio 1.0. MatchCost(300, 0) and
// MatchCost(600, 0) are impossible, so every move that uses a source segment costs 50450 (alone,
// one to one, one to two with an empty pair) or 50230 (two to one, two to two), and an empty
// target segment alone costs 450. Every cell of the first two rows and columns has an unavailable
// move at 50000, so no cost there exceeds 50000.
inline SentenceList ImpossibleSourceSteps(std::size_t count) {
    SentenceList source{std::wstring()};
    source.reserve(count + 1);
    for (std::size_t k = 1; k <= count; ++k) {
        std::wstring segment = L"s" + std::to_wstring(k);
        segment.resize(300, L'x');
        source.push_back(std::move(segment));
    }
    return source;
}

struct ExpectedCell {
    std::int64_t cost;
    BeadKind code;
};

// Cells (i, 1) to (i, 4) against four empty target segments.
inline std::vector<ExpectedCell> ExpectedImpossibleRow(std::size_t i) {
    using enum BeadKind;
    switch (i) {
    case 1: // only targets alone are available
        return {{0, OneToOne}, {450, TargetOnly}, {900, TargetOnly}, {1350, TargetOnly}};
    case 2: // every available move costs more than the first unavailable one
        return {{50000, TargetOnly}, {50000, OneToTwo}, {50000, TwoToOne}, {50000, TwoToOne}};
    case 3:
        // (3, 3): two to two from the origin, 0 + 50230. (3, 4): target alone, 50230 + 450,
        // ties with two to two from (1, 2), 450 + 50230; the lower code wins.
        return {{50000, TargetOnly}, {50000, OneToTwo}, {50230, TwoToTwo}, {50680, TargetOnly}};
    default:
        // Target alone from (i, 2) beats everything that starts from an impossible cell.
        return {{50000, TargetOnly}, {50000, OneToTwo}, {50450, TargetOnly}, {50900, TargetOnly}};
    }
}

} // namespace bitexa
