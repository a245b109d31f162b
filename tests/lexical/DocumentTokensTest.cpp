#include "lexical/DocumentTokens.h"
#include "lexical/JapaneseWords.h"
#include "lexical/LatinTokens.h"
#include "lexical/WordStemmer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <utility>
#include <vector>

namespace bitexa {
namespace {

const std::string Sample = BITEXA_LEXICAL_DATA_DIR "/edict-sample";

std::vector<std::pair<std::string, std::string>> Names(const DocumentTokens& document) {
    std::vector<std::pair<std::string, std::string>> names;
    for (const auto& [source, target] : document.translations) {
        names.emplace_back(document.table.Name(source), document.table.Name(target));
    }
    return names;
}

TEST(AnalyzeDocument, LooksUpTheJapaneseWordsOfEitherSide) {
    LexicalResources resources;
    resources.analyserDictionaries = {}; // script runs: the same on every machine
    resources.bilingualDictionary = Sample;
    const DocumentTokens english = AnalyzeDocument({L"", L"Save the file.", L"Settings"},
                                                   {L"", L"ファイルを保存。", L"設定"}, resources);
    EXPECT_TRUE(english.gaps.analyser);
    EXPECT_FALSE(english.gaps.dictionary);
    // "settings" and "setting" share a stem; "storage" is not in the text.
    const auto found = Names(english);
    EXPECT_NE(std::find(found.begin(), found.end(),
                        std::pair<std::string, std::string>("wfile", "jファイル")),
              found.end());
    EXPECT_EQ(found.size(), 3u); // file, save, setting

    const DocumentTokens japanese =
        AnalyzeDocument({L"", L"ファイルを保存。"}, {L"", L"Save the file."}, resources);
    const auto reversed = Names(japanese);
    EXPECT_NE(std::find(reversed.begin(), reversed.end(),
                        std::pair<std::string, std::string>("jファイル", "wfile")),
              reversed.end());
}

std::vector<std::vector<TokenId>> Sets(const SideTokens& side) {
    std::vector<std::vector<TokenId>> sets;
    for (std::size_t k = 0; k < side.Segments(); ++k) {
        sets.emplace_back(side.Of(k).begin(), side.Of(k).end());
    }
    return sets;
}

TEST(AnalyzeDocument, GivesTheIdsOfOneTableOnAnyNumberOfThreads) {
    // Japanese and Latin tokens on both sides, shared and not, first seen in different orders.
    const SentenceList source = {L"", L"Save 3 files to ~/backup", L"設定を保存", L"Open %s",
                                 L"Copy 3 files"};
    const SentenceList target = {L"",
                                 L"ファイルを保存",
                                 L"%s を開く",
                                 L"設定 Open",
                                 L"ファイル 3 個をコピー (files)",
                                 L"新規 ~/backup"};
    LexicalResources resources;
    resources.analyserDictionaries = {}; // script runs: the same on every machine
    resources.bilingualDictionary = Sample;

    // Both sides into one table, one after the other.
    TokenTable one;
    SideTokens sides[2];
    WordStemmer stemmer;
    JapaneseWords japanese({});
    for (int s = 0; s < 2; ++s) {
        for (const std::wstring& segment : s == 0 ? source : target) {
            std::vector<TokenId> tokens;
            AddLatinTokens(segment, stemmer, one, tokens);
            japanese.Add(segment, one, tokens);
            sides[s].Append(tokens);
        }
    }

    const DocumentTokens reference = AnalyzeDocument(source, target, resources, 1);
    EXPECT_FALSE(reference.translations.empty());
    for (unsigned threads : {1u, 2u}) {
        const DocumentTokens document = AnalyzeDocument(source, target, resources, threads);
        ASSERT_GE(document.table.Size(), one.Size()); // the glosses' words come after
        for (TokenId id = 0; id < one.Size(); ++id) {
            EXPECT_EQ(document.table.Name(id), one.Name(id)) << id;
        }
        EXPECT_EQ(Sets(document.source), Sets(sides[0]));
        EXPECT_EQ(Sets(document.target), Sets(sides[1]));
        EXPECT_EQ(document.translations, reference.translations);
        EXPECT_EQ(document.table.Size(), reference.table.Size());
    }
}

TEST(AnalyzeDocument, GoesOnWithoutTheDictionaryAndSaysSo) {
    LexicalResources resources;
    resources.analyserDictionaries = {};
    resources.bilingualDictionary = BITEXA_LEXICAL_DATA_DIR "/no-such-file";
    const DocumentTokens document =
        AnalyzeDocument({L"", L"Copy 3 files"}, {L"", L"ファイルを３個コピー"}, resources);
    EXPECT_TRUE(document.gaps.dictionary);
    EXPECT_EQ(document.gaps.dictionaryStatus.kind, Status::Kind::CannotRead);
    EXPECT_TRUE(document.translations.empty());
    EXPECT_EQ(document.source.Of(1).size(), 3u); // copi, n3, file
    EXPECT_EQ(document.target.Of(1).size(), 4u); // ファイル, 個, コピー, n3
}

TEST(AnalyzeDocument, TextWithoutJapaneseNeedsNeitherTool) {
    LexicalResources resources;
    resources.analyserDictionaries = {};
    resources.bilingualDictionary = BITEXA_LEXICAL_DATA_DIR "/no-such-file";
    const DocumentTokens document = AnalyzeDocument({L"", L"A cat"}, {L"", L"Un chat"}, resources);
    EXPECT_FALSE(document.gaps.analyser);
    EXPECT_FALSE(document.gaps.dictionary);
}

} // namespace
} // namespace bitexa
