#include "align/detail/BeadTables.h"
#include "align/model/BeadKind.h"
#include "align/model/LengthModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// The looked-up match costs against the formula: every length pair up to some thousands at the
// slider's ratios, random pairs at random ratios, and z itself anywhere in the table's range,
// its steps' ends included.

namespace bitexa {
namespace {

const MatchCostTable* const Table = &MatchCostTable::Shared();

std::vector<double> SliderRatios() {
    std::vector<double> ratios;
    for (int position = -9; position <= 9; ++position) {
        ratios.push_back(position <= 0 ? position * 0.1 + 1.0 : 1.0 / (1.0 - 0.1 * position));
    }
    return ratios;
}

TEST(MatchCostTable, GivesTheFormulasCostForEveryPairOfLengthsAtTheSlidersRatios) {
    const std::vector<double> ratios = SliderRatios();
    // Every pair up to 700 at every ratio; up to 2,500 at the usual -5 and its mirror +5.
    for (const double ratio : ratios) {
        const LengthModel model(ratio);
        const std::int64_t longest = ratio == 0.5 || ratio == 2.0 ? 2500 : 700;
        for (std::int64_t a = 0; a <= longest; ++a) {
            for (std::int64_t b = 0; b <= longest; ++b) {
                ASSERT_EQ(model.MatchCost(a, b, Table), model.MatchCost(a, b))
                    << "ratio " << ratio << ", lengths " << a << " and " << b;
            }
        }
    }
}

TEST(MatchCostTable, GivesTheFormulasCostAtRandomRatiosAndLengths) {
    std::mt19937 random(41);
    std::uniform_real_distribution<double> logRatio(std::log(0.05), std::log(20.0));
    std::uniform_int_distribution<std::int64_t> length(0, 60000);
    std::uniform_int_distribution<std::int64_t> near(-400, 400);
    for (int k = 0; k < 2000000; ++k) {
        const LengthModel model(std::exp(logRatio(random)));
        const std::int64_t a = length(random);
        // Half the pairs near the expected length, where the costs are not all impossible.
        const std::int64_t b =
            k % 2 == 0 ? length(random)
                       : std::max<std::int64_t>(
                             0, static_cast<std::int64_t>(model.Ratio() * static_cast<double>(a)) +
                                    near(random));
        ASSERT_EQ(model.MatchCost(a, b, Table), model.MatchCost(a, b))
            << "ratio " << model.Ratio() << ", lengths " << a << " and " << b;
    }
}

// The formula from z on, as MatchCost computes it past z.
int CostOfZ(double z) {
    if (z > 9) {
        return ImpossibleCost;
    }
    const double p = 2 * (1 - NormalCdf(z));
    return p > 0 ? static_cast<int>(-100 * std::log(p)) : ImpossibleCost;
}

TEST(MatchCostTable, KnowsOnlyTheFormulasCostForAnyZ) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> anywhere(0.0, 9.0);
    int known = 0;
    int tested = 0;
    const auto check = [&](double z) {
        const int cost = Table->Lookup(z);
        ++tested;
        if (cost >= 0) {
            ++known;
            ASSERT_EQ(cost, CostOfZ(z)) << "z " << z;
        }
    };
    for (int k = 0; k < 3000000; ++k) {
        check(anywhere(random));
    }
    // Each step's two ends and the doubles right beside them.
    for (double z = 0; z <= 9; z += 1.0 / 16384) {
        check(z);
        check(std::nextafter(z, 10.0));
        if (z > 0) {
            check(std::nextafter(z, 0.0));
        }
    }
    check(9.0);
    // The table is worth having: most steps hold one cost.
    EXPECT_GT(known, tested * 9 / 10);
}

TEST(MatchCostTable, KnowsTheFormulasCostRightBesideEveryChangeOfCost) {
    // Where the computed cost changes within a step, found by bisection over the doubles, and
    // the doubles beside it near and far: the table splits such steps a hair from the change.
    int changes = 0;
    for (int step = 0; step < 9 * 16384; ++step) {
        double low = step / 16384.0;
        double high = std::nextafter((step + 1) / 16384.0, 0.0);
        const int first = CostOfZ(low);
        if (CostOfZ(high) == first) {
            continue;
        }
        ++changes;
        while (std::nextafter(low, high) < high) {
            const double middle = low + (high - low) / 2;
            (CostOfZ(middle) == first ? low : high) = middle;
        }
        for (const double offset : {0.0, 1e-12, 1e-10, 1e-9, 3e-9, 1e-8, 1e-7, 1e-6, 1e-5}) {
            for (double z : {low - offset, high + offset}) {
                for (int ulp = 0; ulp < 3; ++ulp, z = std::nextafter(z, 10.0)) {
                    const int cost = Table->Lookup(z);
                    if (cost >= 0) {
                        ASSERT_EQ(cost, CostOfZ(z)) << "z " << z;
                    }
                }
            }
        }
    }
    EXPECT_GT(changes, 3000);
}

TEST(MatchCosts, GiveEachMatchCostAndPassOverOnlyImpossibleTargets) {
    // Ascending targets, dense near the expected length and sparse far from it, at the slider's
    // ratios and at ratios that the search for the impossible ends must leave alone.
    std::mt19937 random(44);
    std::vector<double> ratios = SliderRatios();
    ratios.insert(ratios.end(), {0.0, -1.0, 1e-9, 1e9, std::nan(""), HUGE_VAL});
    std::lognormal_distribution<double> spread(std::log(300.0), 1.5);
    for (int k = 0; k < 3000; ++k) {
        const LengthModel model(ratios[static_cast<std::size_t>(k) % ratios.size()]);
        const std::int64_t source = k % 10 == 0 ? 0 : static_cast<std::int64_t>(spread(random));
        std::vector<std::int64_t> targets;
        for (int n = std::uniform_int_distribution<int>(0, 300)(random); n > 0; --n) {
            targets.push_back(static_cast<std::int64_t>(spread(random)) % 20000);
        }
        if (k % 7 == 0) {
            targets.push_back(0);
        }
        std::sort(targets.begin(), targets.end());
        const MatchTargets prepared(model, targets);
        const TargetWindow window = model.PossibleTargets(source, prepared);
        for (const MatchCostTable* table : {Table, static_cast<const MatchCostTable*>(nullptr)}) {
            // Beyond the window every cost must be impossible.
            std::vector<std::uint16_t> costs(targets.size(), ImpossibleCost);
            model.MatchCosts(source, prepared, window, costs.data() + window.first, table);
            for (std::size_t t = 0; t < targets.size(); ++t) {
                ASSERT_EQ(costs[t], model.MatchCost(source, targets[t]))
                    << "ratio " << model.Ratio() << ", lengths " << source << " and " << targets[t];
            }
        }
    }
}

TEST(BeadTables, LookedUpHoldTheBeadCostOfEveryCell) {
    // Paragraphs: lengths of thousands, some empty, so that every shape of bead occurs.
    std::mt19937 random(43);
    std::lognormal_distribution<double> paragraph(std::log(2000.0), 0.8);
    for (int k = 0; k < 20; ++k) {
        std::vector<std::int64_t> s{0};
        std::vector<std::int64_t> t{0};
        for (int n = 0; n < 60; ++n) {
            s.push_back(n % 9 == 0 ? 0 : static_cast<std::int64_t>(paragraph(random)));
            t.push_back(n % 7 == 0 ? 0 : static_cast<std::int64_t>(paragraph(random) / 2));
        }
        const LengthModel model(k % 2 == 0 ? 0.5 : 0.3 + 0.05 * k);
        BeadTables tables(model, s, t, BeadTables::DefaultCapEntries, 0);
        const std::vector<std::uint32_t>& single = tables.TargetSingles();
        const std::vector<std::uint32_t>& pair = tables.TargetPairs();
        if (k % 2 == 1) {
            tables.FillAll(2); // every row in one block
        }
        std::vector<std::uint32_t> bySingle(tables.TargetSingleKeys());
        std::vector<std::uint32_t> byPair(tables.TargetPairKeys());
        for (std::size_t i = 3; i < s.size(); ++i) {
            tables.PackRow(i, bySingle.data(), byPair.data());
            for (std::size_t d = 3; d < t.size(); ++d) {
                ASSERT_EQ(bySingle[single[d]] & 0xFFFF, model.BeadCost(s[i], t[d], 0, 0));
                ASSERT_EQ(byPair[pair[d]] & 0xFFFF, model.BeadCost(s[i], t[d - 1], 0, t[d]));
                ASSERT_EQ(bySingle[single[d]] >> 16, model.BeadCost(s[i - 1], t[d], s[i], 0));
                ASSERT_EQ(byPair[pair[d]] >> 16, model.BeadCost(s[i - 1], t[d - 1], s[i], t[d]));
            }
        }
    }
}

} // namespace
} // namespace bitexa
