#include "align/detail/MoveComparison.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <vector>

// The inner loop's running minimum for move 0 against the recurrence written out one column at
// a time, on every shape of row that its vector form treats alike but must get right: move 0
// winning throughout, losing throughout, changing every few columns, ties at every column, and
// costs near the top of 32 bits, over every count around the vector width.

namespace bitexa {
namespace {

struct Row {
    std::int64_t left = 0;
    std::vector<std::int64_t> targetAlone;
    std::vector<std::int64_t> best;
    std::vector<std::int32_t> moves;
};

struct Filled {
    std::vector<std::int64_t> costs;
    std::vector<std::uint8_t> codes;
};

Filled Plainly(const Row& row) {
    Filled filled;
    std::int64_t left = row.left;
    for (std::size_t k = 0; k < row.best.size(); ++k) {
        const std::int64_t alone = left + row.targetAlone[k];
        const bool moveZero = alone <= row.best[k];
        left = moveZero ? alone : row.best[k];
        filled.costs.push_back(left);
        filled.codes.push_back(static_cast<std::uint8_t>(moveZero ? 0 : row.moves[k]));
    }
    return filled;
}

template <typename Cost> Filled Fast(const Row& row) {
    const std::size_t count = row.best.size();
    const std::vector<Cost> targetAlone(row.targetAlone.begin(), row.targetAlone.end());
    const std::vector<Cost> best(row.best.begin(), row.best.end());
    std::vector<Cost> costs(count + 1);
    costs[0] = static_cast<Cost>(row.left);
    std::vector<std::uint8_t> codes(count, 9);
    AddTargetAlone(count, targetAlone.data(), best.data(), row.moves.data(), costs.data() + 1,
                   codes.data());
    return {std::vector<std::int64_t>(costs.begin() + 1, costs.end()), codes};
}

enum class Regime { AloneWins, OthersWin, Changing, Ties, Random };

Row Draw(std::mt19937& random, Regime regime, std::size_t count, std::int64_t base) {
    const auto uniform = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    Row row;
    row.left = base + uniform(0, 2000);
    std::int64_t running = row.left;
    std::int64_t stretch = uniform(1, 20);
    bool aloneWins = uniform(0, 1) == 1;
    for (std::size_t k = 0; k < count; ++k) {
        const std::int64_t alone = uniform(0, 1) == 1 ? uniform(0, 700) : uniform(0, 50450);
        row.targetAlone.push_back(alone);
        row.moves.push_back(static_cast<std::int32_t>(uniform(1, 5)));
        if (regime == Regime::Changing && --stretch == 0) {
            aloneWins = !aloneWins;
            stretch = uniform(1, 20);
        }
        std::int64_t best = 0;
        switch (regime) {
        case Regime::AloneWins:
            best = running + alone + uniform(0, 300);
            break;
        case Regime::OthersWin:
            best = running + alone - uniform(1, 300);
            break;
        case Regime::Changing:
            best = running + alone + (aloneWins ? uniform(0, 300) : -uniform(1, 300));
            break;
        case Regime::Ties:
            best = running + alone; // move 0 wins every column, by the tie
            break;
        case Regime::Random:
            best = base + uniform(0, 60000);
            break;
        }
        best = std::max<std::int64_t>(best, base);
        row.best.push_back(best);
        running = std::min(running + alone, best);
    }
    return row;
}

TEST(AddTargetAlone, GivesTheRunningMinimumAndItsCodesInEveryRegime) {
    std::mt19937 random(31);
    // Rows of the 32-bit filler may reach two beads below 2^31 (see RowFiller::Fits).
    const std::int64_t nearTop = std::numeric_limits<std::int32_t>::max() - 2 * 50450 - 70000;
    for (const Regime regime :
         {Regime::AloneWins, Regime::OthersWin, Regime::Changing, Regime::Ties, Regime::Random}) {
        for (std::size_t count = 0; count <= 70; ++count) {
            for (const std::int64_t base : {std::int64_t{0}, std::int64_t{123456}, nearTop}) {
                const Row row = Draw(random, regime, count, base);
                if (base == nearTop && regime != Regime::Random) {
                    continue; // their costs climb from the base; the random rows stay near it
                }
                const Filled expected = Plainly(row);
                const Filled narrow = Fast<std::int32_t>(row);
                const Filled wide = Fast<std::int64_t>(row);
                ASSERT_EQ(narrow.costs, expected.costs)
                    << "regime " << static_cast<int>(regime) << ", count " << count;
                ASSERT_EQ(narrow.codes, expected.codes)
                    << "regime " << static_cast<int>(regime) << ", count " << count;
                ASSERT_EQ(wide.costs, expected.costs);
                ASSERT_EQ(wide.codes, expected.codes);
            }
        }
    }
}

TEST(AddTargetAlone, RowsThatChangeRegimeInsideAGroupOfColumns) {
    // Move 0 stops winning at every position of an eight-column group, and starts again.
    std::mt19937 random(32);
    for (std::size_t change = 0; change < 24; ++change) {
        Row row;
        row.left = 1000;
        std::int64_t running = row.left;
        for (std::size_t k = 0; k < 24; ++k) {
            row.targetAlone.push_back(450);
            row.moves.push_back(static_cast<std::int32_t>(1 + k % 5));
            const std::int64_t offset = k < change ? 1 : (k == change ? 0 : -1);
            const std::int64_t best =
                running + 450 + offset * (1 + static_cast<std::int64_t>(random() % 100));
            row.best.push_back(best);
            running = std::min(running + 450, best);
        }
        const Filled expected = Plainly(row);
        const Filled narrow = Fast<std::int32_t>(row);
        ASSERT_EQ(narrow.costs, expected.costs) << "change at " << change;
        ASSERT_EQ(narrow.codes, expected.codes) << "change at " << change;
    }
}

} // namespace
} // namespace bitexa
