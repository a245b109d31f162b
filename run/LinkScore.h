#pragma once

#include "align/model/RowSpan.h"
#include "text/Status.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bitexa {

// The true alignment of a document: one bead a line, "SOURCE_IDS<TAB>TARGET_IDS", each a
// comma-separated list of segment numbers (1 for the first segment after the leading entry, as
// `bitexa-align --segments` prints them), empty for none. A bead may be larger than the aligner's
// beads. Segments in no bead (empty lines, say) are left out of the score.
struct GoldAlignment {
    struct Bead {
        std::vector<std::size_t> source;
        std::vector<std::size_t> target;
    };
    std::vector<Bead> beads;
};

// Reads a gold file; a line that is not two lists of numbers is a CannotDecode status naming the
// line.
Status ReadGoldAlignment(const std::wstring& path, GoldAlignment& gold);

// Unit links: every (source, target) pair of segments that a row (or bead) holds, and (s, none)
// or (none, t) for a segment alone. Precision is the share of the rows' links that the gold has,
// recall the share of the gold's links that the rows have.
struct LinkScore {
    std::uint64_t correct = 0;
    std::uint64_t proposed = 0;
    std::uint64_t expected = 0;

    double Precision() const;
    double Recall() const;
    double F1() const;
};

// `rows` as a run gives them (positions in the segment lists, the leading entries at 0).
LinkScore ScoreLinks(const GoldAlignment& gold, const std::vector<RowSpan>& rows);

} // namespace bitexa
