#include "run/LinkScore.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bitexa {
namespace {

using Bead = GoldAlignment::Bead;

TEST(ScoreLinks, CountsTheUnitLinksOfRowsAgainstTheGold) {
    const struct {
        const char* what;
        std::vector<Bead> gold;
        std::vector<RowSpan> rows;
        LinkScore expected;
    } cases[] = {
        {"the same rows",
         {{{1}, {1}}, {{2}, {2, 3}}},
         {{0, 1, 0, 1}, {1, 1, 1, 1}, {2, 1, 2, 2}},
         {3, 3, 3}},
        {"a bead split in two", {{{1, 2}, {1}}}, {{1, 1, 1, 1}, {2, 1, 2, 0}}, {1, 2, 2}},
        {"a segment alone in both",
         {{{1}, {}}, {{}, {1}}},
         {{1, 1, 1, 0}, {2, 0, 1, 1}},
         {2, 2, 2}},
        {"a segment alone in the rows only", {{{1}, {1}}}, {{1, 1, 1, 0}, {2, 0, 1, 1}}, {0, 2, 1}},
        // Segment 2 of each side is in no gold bead (an empty line): it counts in no link.
        {"unknown segments left out",
         {{{1}, {1}}, {{3}, {3}}},
         {{1, 2, 1, 2}, {3, 1, 3, 1}},
         {2, 2, 2}},
        {"a bead larger than the aligner's",
         {{{1, 2, 3}, {1}}},
         {{1, 2, 1, 1}, {3, 1, 2, 0}},
         {2, 3, 3}},
    };
    for (const auto& c : cases) {
        GoldAlignment gold{c.gold};
        const LinkScore score = ScoreLinks(gold, c.rows);
        EXPECT_EQ(score.correct, c.expected.correct) << c.what;
        EXPECT_EQ(score.proposed, c.expected.proposed) << c.what;
        EXPECT_EQ(score.expected, c.expected.expected) << c.what;
    }
}

TEST(ScoreLinks, GivesPrecisionRecallAndF1) {
    const LinkScore score{2, 3, 4};
    EXPECT_DOUBLE_EQ(score.Precision(), 2.0 / 3);
    EXPECT_DOUBLE_EQ(score.Recall(), 0.5);
    EXPECT_DOUBLE_EQ(score.F1(), 2 * (2.0 / 3) * 0.5 / (2.0 / 3 + 0.5));
    EXPECT_DOUBLE_EQ(LinkScore{}.F1(), 1.0); // nothing to find, nothing found
    EXPECT_DOUBLE_EQ((LinkScore{0, 3, 4}).F1(), 0.0);
}

TEST(ReadGoldAlignment, ReadsBeadsAndRefusesAnythingElse) {
    TempDir dir;
    dir.Write("gold", "1,2\t3\n\t4\r\n5\t\n");
    GoldAlignment gold;
    ASSERT_TRUE(ReadGoldAlignment(dir.Wide("gold"), gold).ok());
    ASSERT_EQ(gold.beads.size(), 3u);
    EXPECT_EQ(gold.beads[0].source, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(gold.beads[0].target, (std::vector<std::size_t>{3}));
    EXPECT_TRUE(gold.beads[1].source.empty());
    EXPECT_EQ(gold.beads[2].source, (std::vector<std::size_t>{5}));
    EXPECT_TRUE(gold.beads[2].target.empty());

    for (const char* bad : {"1 2\n", "1\t2\n0\t1\n", "1,\t2\n", "a\tb\n", "1\t-2\n"}) {
        dir.Write("bad", bad);
        const Status status = ReadGoldAlignment(dir.Wide("bad"), gold);
        EXPECT_EQ(status.kind, Status::Kind::CannotDecode) << bad;
        EXPECT_TRUE(gold.beads.empty()) << bad;
    }
    EXPECT_EQ(ReadGoldAlignment(dir.Wide("missing"), gold).kind, Status::Kind::CannotRead);
}

} // namespace
} // namespace bitexa
