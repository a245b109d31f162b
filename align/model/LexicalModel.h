#pragma once

#include "align/model/BeadKind.h"
#include "align/model/LengthModel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bitexa {

// The lexical model prices a bead by the lengths of its segments (LengthModel) and by how much of
// their content words and verbatim tokens find a partner across the bead.
//
// Each segment has a mass: the weight of its tokens that could find a partner on the other side
// at all (a token weighs ln(1 + N / df), so rare tokens count most). Two segments that share
// evidence have a matched weight m: half the weight of the source segment's tokens with a partner
// in the target segment plus half the weight of the target segment's tokens with a partner in the
// source segment. For a bead, M is the sum of m over its (source, target) pairs and W the sum of
// its segments' masses (2M <= W).
//
// A bead costs its length cost less a bonus, and a move that pairs one segment with two (or two
// with one) costs `oneToTwo` more, whatever the lengths of its segments:
//
//   a segment alone      miss * its mass
//   a paired bead        dice * min(1, 2M / W) + miss * min(2M, W)     where M > 0, else nothing
//
// Against leaving its segments alone, a paired bead so pays `miss` for every unit of its mass
// that finds no partner in it (W - 2M) and earns up to `dice` for the share that does. Written
// the other way round (a paired bead costing miss times its unmatched mass, a segment alone
// nothing) the model would add a term to every paired bead of the table; every complete path to
// a cell covers the same segments, so the two forms differ by the same amount on every path to a
// cell (where the table's first rows and columns cap a cost aside), and this one leaves the length
// model's tables alone and needs a correction only at the few cells whose segments share evidence.
// Each bonus is rounded once, to whole cost units, by the functions below, which every engine uses.
//
// The weights are those of the first pass, tuned on the development set that bench/devset builds;
// the second pass doubles `dice`. With content to go by, a pairing of one with two must earn its
// place: those moves pay 200 more than in the length model.
struct LexicalWeights {
    int oneToTwo = 200;
    double miss = 20;
    double dice = 1600;
};

// The lexical evidence of one stretch, indexed as its segment lists (the placeholder at 0, whose
// mass is 0 and which shares nothing).
struct StretchEvidence {
    std::vector<float> sourceMass; // by row
    std::vector<float> targetMass; // by column
    // The cells (i, d) whose segments share evidence, row by row, columns ascending within a row,
    // with their matched weights: row i's are entries rowStart[i] .. rowStart[i + 1] - 1.
    std::vector<std::uint32_t> rowStart;
    std::vector<std::uint32_t> column;
    std::vector<float> matched;

    // m of cell (i, d), 0 where the segments share nothing (a binary search: for the plain engine
    // and tests).
    float Matched(std::size_t i, std::size_t d) const;
    std::size_t Pairs() const { return column.size(); }
};

// The evidence of a bead: the matched weights of its pairs and the masses of its segments,
// earlier segment first on each side. Entries for segments the bead does not have are ignored.
struct BeadEvidence {
    float matched[2][2] = {}; // [source][target]
    float sourceMass[2] = {};
    float targetMass[2] = {};
};

// The bonus of a segment alone with the given mass.
std::int64_t AloneBonus(const LexicalWeights& weights, float mass);

// The bonuses of the four paired beads that end at one cell, from the evidence of the four
// segments they may hold: one to one, one to two, two to one, two to two; 0 for a bead whose
// segments share nothing. Each bead reads only the entries of its own segments.
void PairedBonuses(const LexicalWeights& weights, const BeadEvidence& bead, std::int64_t out[4]);

// The bonus of one paired bead (OneToOne, OneToTwo, TwoToOne or TwoToTwo), as PairedBonuses.
std::int64_t PairedBonus(const LexicalWeights& weights, BeadKind kind, const BeadEvidence& bead);

// The evidence of the bead of `kind` that ends at cell (i, d) of a stretch.
BeadEvidence EvidenceAt(const StretchEvidence& evidence, BeadKind kind, std::size_t i,
                        std::size_t d);

} // namespace bitexa
