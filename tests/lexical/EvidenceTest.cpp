#include "lexical/LearntPairs.h"
#include "lexical/LexicalEvidence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace bitexa {
namespace {

using Segments = std::vector<std::vector<std::string>>;

// A document from token names (kind letter and text), the leading entries first.
DocumentTokens Document(const Segments& source, const Segments& target) {
    DocumentTokens document;
    const auto fill = [&document](const Segments& segments, SideTokens& side) {
        for (const auto& names : segments) {
            std::vector<TokenId> ids;
            for (const std::string& name : names) {
                ids.push_back(
                    document.table.Intern(static_cast<TokenKind>(name[0]), name.substr(1)));
            }
            side.Append(ids);
        }
    };
    fill(source, document.source);
    fill(target, document.target);
    return document;
}

TokenId Id(const DocumentTokens& document, const std::string& name) {
    return *document.table.Find(static_cast<TokenKind>(name[0]), name.substr(1));
}

// Every source segment may pair with every target segment through rare tokens.
PairScope Everywhere(const DocumentTokens& document) {
    PairScope scope;
    scope.rare.assign(document.source.Segments(),
                      {0, static_cast<std::uint32_t>(document.target.Segments())});
    return scope;
}

// The pairs as (source, target, matched weight).
struct Pair {
    std::size_t source;
    std::size_t target;
    float matched;
};

std::vector<Pair> PairsOf(const LexicalEvidence& evidence, std::size_t sources,
                          std::size_t targets) {
    const StretchEvidence all = evidence.ForStretch(0, sources, 0, targets);
    std::vector<Pair> pairs;
    for (std::size_t i = 1; i + 1 < all.rowStart.size(); ++i) {
        for (std::uint32_t p = all.rowStart[i]; p < all.rowStart[i + 1]; ++p) {
            pairs.push_back({i - 1, all.column[p] - 1, all.matched[p]});
        }
    }
    return pairs;
}

void ExpectPairs(const std::vector<Pair>& got, const std::vector<Pair>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_EQ(got[k].source, expected[k].source) << k;
        EXPECT_EQ(got[k].target, expected[k].target) << k;
        EXPECT_FLOAT_EQ(got[k].matched, expected[k].matched) << k;
    }
}

const float Ln5 = static_cast<float>(std::log(5.0));

TEST(LexicalEvidence, SameTokensAndTranslationsPairSegments) {
    // Four segments a side: every token is in one segment and weighs ln(1 + 4 / 1).
    DocumentTokens document = Document({{}, {"wopen", "wfile"}, {"wgimp"}, {"wquit"}},
                                       {{}, {"wfile"}, {"wopen", "j保存"}, {"j終了", "wgimp"}});
    document.translations.emplace_back(Id(document, "wquit"), Id(document, "j終了"));
    LexicalEvidence evidence(document);
    evidence.Build(Everywhere(document));

    // Masses count only tokens with a partner: 保存 has none.
    EXPECT_FLOAT_EQ(evidence.SourceMass(1), 2 * Ln5);
    EXPECT_FLOAT_EQ(evidence.SourceMass(3), Ln5);
    EXPECT_FLOAT_EQ(evidence.TargetMass(2), Ln5);
    EXPECT_FLOAT_EQ(evidence.TargetMass(3), 2 * Ln5);
    EXPECT_FLOAT_EQ(evidence.SourceMass(0), 0);
    ExpectPairs(PairsOf(evidence, 4, 4), {{1, 1, Ln5}, {1, 2, Ln5}, {2, 3, Ln5}, {3, 3, Ln5}});
}

TEST(LexicalEvidence, PairsStayInsideTheirStretch) {
    DocumentTokens document = Document({{}, {"n42"}, {"n7"}}, {{}, {"n7"}, {"n42"}});
    LexicalEvidence evidence(document);
    PairScope scope;
    scope.rare = {{0, 2}, {0, 2}, {2, 3}}; // source 1 with target 0..1, source 2 with target 2
    evidence.Build(scope);
    EXPECT_EQ(evidence.Pairs(), 0u);
    scope.rare = {{0, 3}, {0, 3}, {0, 3}};
    evidence.Build(scope);
    EXPECT_EQ(evidence.Pairs(), 2u);
}

TEST(LexicalEvidence, CommonTokensPairOnlyNearTheFirstPathOnceWidened) {
    // "wfile" is in two segments a side: above the rare cap of 1, within the common cap of 3.
    DocumentTokens document =
        Document({{}, {"wfile"}, {"wfile"}, {"wsave"}}, {{}, {"wfile"}, {"wfile"}, {"wsave"}});
    EvidenceOptions options;
    options.rareMinimum = 1;
    options.rareShare = 0;
    options.commonMinimum = 3;
    options.commonShare = 0;
    LexicalEvidence evidence(document, options);
    PairScope scope = Everywhere(document);
    evidence.Build(scope);
    const float ln5 = Ln5;
    ExpectPairs(PairsOf(evidence, 4, 4), {{3, 3, ln5}});
    EXPECT_FLOAT_EQ(evidence.SourceMass(1), 0); // not linkable before widening

    evidence.Widen();
    scope.common = {{0, 0}, {1, 2}, {1, 3}, {3, 4}}; // near rows 1 and 2 of the first path
    evidence.Build(scope);
    const float ln3 = static_cast<float>(std::log(1.0 + 4.0 / 2));
    EXPECT_FLOAT_EQ(evidence.SourceMass(1), ln3);
    ExpectPairs(PairsOf(evidence, 4, 4), {{1, 1, ln3}, {2, 1, ln3}, {2, 2, ln3}, {3, 3, ln5}});
}

TEST(LexicalEvidence, ATokenCountsOnceThroughItsBestLink) {
    // Both 開く and ファイル translate "open" (a learnt pair at 0.5, the dictionary at 1).
    DocumentTokens document = Document({{}, {"wopen"}}, {{}, {"j開く", "jファイル"}});
    LexicalEvidence evidence(document);
    evidence.AddLink(Id(document, "wopen"), Id(document, "jファイル"), 0.5f);
    evidence.AddLink(Id(document, "wopen"), Id(document, "j開く"), 1.0f);
    evidence.AddLink(Id(document, "wopen"), Id(document, "j開く"), 0.25f); // the larger stays
    evidence.Build(Everywhere(document));
    const float w = static_cast<float>(std::log(1.0 + 2.0));
    // Source half: w (best link). Target half: 開く at 1 and ファイル at 0.5.
    ExpectPairs(PairsOf(evidence, 2, 2), {{1, 1, 0.5f * (w + (w + 0.5f * w))}});
}

TEST(LearnPairs, LinksWordsThatMeetInSafeRows) {
    // "zoom" and ズーム meet in three one-to-one rows between one-to-one rows; "beep" and
    // 音 once only.
    DocumentTokens document =
        Document({{}, {"wzoom"}, {"wzoom", "wbeep"}, {"wzoom"}, {}, {"wcat"}},
                 {{}, {"jズーム"}, {"jズーム", "j音"}, {"jズーム"}, {}, {"j猫"}});
    LexicalEvidence evidence(document);
    evidence.Widen();
    std::vector<RowSpan> rows;
    for (std::size_t k = 0; k < 6; ++k) {
        rows.push_back({k, 1, k, 1});
    }
    EXPECT_EQ(LearnPairs(rows, evidence), 1u);
    evidence.Build(Everywhere(document));
    // 2 c / (rows with zoom + rows with ズーム) = 2 * 3 / (3 + 3): rows 1 to 3 are all safe.
    EXPECT_GT(evidence.SourceMass(1), 0);
    EXPECT_FLOAT_EQ(evidence.SourceMass(5), 0); // 猫 meets "cat" once, in a row at the end
    EXPECT_FLOAT_EQ(evidence.TargetMass(2), evidence.TargetMass(1)); // 音 learnt nothing
}

} // namespace
} // namespace bitexa
