#include "lexical/Dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bitexa {
namespace {

const std::string Sample = BITEXA_LEXICAL_DATA_DIR "/edict-sample";

TEST(BilingualDictionary, KeepsEveryTranslationOfTheWantedForms) {
    TokenTable table;
    WordStemmer stemmer;
    BilingualDictionary dictionary;
    ASSERT_TRUE(
        dictionary
            .Load(Sample, {"設定", "開く", "ファイル", "ある", "保存", "無い"}, stemmer, table)
            .ok());
    const auto words = [&](std::vector<std::string> english) {
        std::vector<TokenId> ids;
        for (const std::string& word : english) {
            ids.push_back(table.Intern(TokenKind::Word, stemmer.Stem(word)));
        }
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids;
    };
    const struct {
        const char* form;
        std::vector<std::string> english;
    } cases[] = {
        // every gloss of the entry; notes in parentheses and braces left out
        {"設定", {"setting", "establishment"}},
        {"保存", {"saving", "storage", "archiving"}},
        // every sense; function words (to, be) and the example in parentheses left out
        {"開く", {"open", "opened"}},
        {"ファイル", {"file"}},
        // a kana form stands for an entry usually written in kana (有る), not for the other (在る)
        {"ある", {"exist", "located"}},
    };
    for (const auto& c : cases) {
        const std::vector<TokenId>* found = dictionary.Translations(c.form);
        ASSERT_NE(found, nullptr) << c.form;
        EXPECT_EQ(*found, words(c.english)) << c.form;
    }
    EXPECT_EQ(dictionary.Translations("無い"), nullptr);
    EXPECT_EQ(dictionary.Translations("在る"), nullptr); // not wanted
    EXPECT_EQ(dictionary.Headwords(), 5u);
}

TEST(BilingualDictionary, AMissingFileIsACannotReadStatusAndNoEntries) {
    TokenTable table;
    WordStemmer stemmer;
    BilingualDictionary dictionary;
    const Status status =
        dictionary.Load(BITEXA_LEXICAL_DATA_DIR "/no-such-file", {"設定"}, stemmer, table);
    EXPECT_EQ(status.kind, Status::Kind::CannotRead);
    EXPECT_EQ(dictionary.Translations("設定"), nullptr);
    EXPECT_EQ(dictionary.Load(BITEXA_LEXICAL_DATA_DIR, {"設定"}, stemmer, table).kind,
              Status::Kind::CannotRead); // a folder
}

} // namespace
} // namespace bitexa
