#include "lexical/TokenTable.h"
#include "lexical/SideTokens.h"
#include "lexical/StringIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bitexa {
namespace {

TEST(StringIndex, NumbersStringsInTheOrderFirstSeen) {
    StringIndex index;
    const struct {
        const char* text;
        std::uint32_t number;
        bool added;
    } steps[] = {
        {"file", 0, true}, {"open", 1, true}, {"file", 0, false}, {"", 2, true},
        {"fil", 3, true},  {"", 2, false},    {"open", 1, false},
    };
    for (const auto& step : steps) {
        const auto [number, added] = index.Intern(step.text);
        EXPECT_EQ(number, step.number) << step.text;
        EXPECT_EQ(added, step.added) << step.text;
        EXPECT_EQ(index.At(number), step.text);
    }
    EXPECT_EQ(index.Size(), 4u);
    EXPECT_EQ(index.Find("fil"), 3u);
    EXPECT_EQ(index.Find("files"), std::nullopt);
    EXPECT_EQ(StringIndex().Find(""), std::nullopt);
}

TEST(StringIndex, KeepsEveryStringThroughGrowth) {
    StringIndex index;
    const auto text = [](std::uint32_t k) { return "w" + std::to_string(k * 7919u % 100003u); };
    constexpr std::uint32_t Strings = 100000;
    for (std::uint32_t k = 0; k < Strings; ++k) {
        ASSERT_EQ(index.Intern(text(k)), std::make_pair(k, true));
    }
    for (std::uint32_t k = 0; k < Strings; ++k) {
        ASSERT_EQ(index.At(k), text(k));
        ASSERT_EQ(index.Find(text(k)), k);
        ASSERT_EQ(index.Intern(text(k)), std::make_pair(k, false));
    }
    EXPECT_EQ(index.Size(), Strings);
}

// Token names as the tests write them: the kind's letter, then the text.
TokenId Intern(TokenTable& table, const std::string& name) {
    return table.Intern(static_cast<TokenKind>(name[0]), name.substr(1));
}

TEST(TokenTable, MergingTablesGivesTheIdsOfOneTable) {
    // Tokens of the first table come again in the second, in another order, and a text comes
    // back under another kind.
    const std::vector<std::string> first = {"wfile", "n3", "j設定", "wsave", "n3", "w3"};
    const std::vector<std::string> second = {"j設定", "wopen", "n3",    "qx",   "wopen",
                                             "p%s",   "wfile", "j新規", "n3.5", "j設定"};
    TokenTable one;
    std::vector<TokenId> expected;
    for (const std::string& name : first) {
        Intern(one, name);
    }
    for (const std::string& name : second) {
        expected.push_back(Intern(one, name));
    }

    TokenTable merged;
    TokenTable other;
    for (const std::string& name : first) {
        Intern(merged, name);
    }
    std::vector<TokenId> local;
    for (const std::string& name : second) {
        local.push_back(Intern(other, name));
    }
    const std::vector<TokenId> ids = merged.Merge(other);
    ASSERT_EQ(ids.size(), other.Size());
    for (std::size_t k = 0; k < second.size(); ++k) {
        EXPECT_EQ(ids[local[k]], expected[k]) << second[k];
    }
    ASSERT_EQ(merged.Size(), one.Size());
    for (TokenId id = 0; id < one.Size(); ++id) {
        EXPECT_EQ(merged.Name(id), one.Name(id)) << id;
        EXPECT_EQ(merged.Kind(id), one.Kind(id)) << id;
    }
    EXPECT_EQ(merged.Text(*merged.Find(TokenKind::Placeholder, "%s")), "%s");
}

TEST(SideTokens, RenumberedSetsStaySorted) {
    SideTokens side;
    for (std::vector<TokenId> set : std::vector<std::vector<TokenId>>{{}, {2, 0, 1}, {1, 3}}) {
        side.Append(set);
    }
    side.Renumber({7, 5, 6, 2});
    ASSERT_EQ(side.Segments(), 3u);
    EXPECT_TRUE(side.Of(0).empty());
    EXPECT_EQ(std::vector<TokenId>(side.Of(1).begin(), side.Of(1).end()),
              (std::vector<TokenId>{5, 6, 7}));
    EXPECT_EQ(std::vector<TokenId>(side.Of(2).begin(), side.Of(2).end()),
              (std::vector<TokenId>{2, 5}));
}

} // namespace
} // namespace bitexa
