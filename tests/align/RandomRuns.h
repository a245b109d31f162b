#pragma once

#include "align/detail/BeadTables.h"
#include "align/detail/StretchPath.h"

#include <cstddef>
#include <random>

// Random draws shared by the differential tests of the fast engine against the plain one.

namespace bitexa {

using Random = std::mt19937;

inline std::size_t Uniform(Random& random, std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random);
}

inline bool Chance(Random& random, double p) {
    return std::bernoulli_distribution(p)(random);
}

// How a stretch's programme is run, drawn at random: a full table or checkpoints with blocks of a
// few rows (cut again and again when the budget is tiny) and tiles of a few columns or the whole
// width, one to three threads on stripes of a few columns, bead tables of a row or a few, 64-bit
// sums from some row at or after `firstWideRow` on, or never. None of it may change a code, the
// cost or a row.
inline DpSettings DrawSettings(Random& random, std::size_t sourceCount, unsigned threads,
                               std::size_t firstWideRow) {
    DpSettings settings;
    settings.threads = threads;
    settings.minThreadCells = 0;
    settings.minStripeColumns = Uniform(random, 1, 12);
    settings.costTableCap =
        Chance(random, 0.5) ? Uniform(random, 1, 200) : BeadTables::DefaultCapEntries;
    settings.wideFromRow =
        Chance(random, 0.5) ? Uniform(random, firstWideRow, sourceCount) : DpSettings().wideFromRow;
    if (Chance(random, 0.8)) {
        settings.fullTableBytes = 0;
        settings.memoryBudget = Chance(random, 0.7) ? Uniform(random, 0, 3000) : 1 << 20;
        if (Chance(random, 0.6)) {
            settings.tileColumns = 3 * Uniform(random, 1, 8);
        }
    }
    return settings;
}

} // namespace bitexa
