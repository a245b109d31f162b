#include "lexical/DocumentTokens.h"

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
