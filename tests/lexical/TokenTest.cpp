#include "lexical/DocumentTokens.h"
#include "lexical/JapaneseWords.h"
#include "lexical/LatinTokens.h"
#include "lexical/WordStemmer.h"
#include "text/Utf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bitexa {
namespace {

// The tokens of one segment by name (kind letter and text), sorted.
std::vector<std::string> TokensOf(const std::wstring& text, JapaneseWords& japanese) {
    TokenTable table;
    WordStemmer stemmer;
    std::vector<TokenId> ids;
    AddLatinTokens(text, stemmer, table, ids);
    japanese.Add(text, table, ids);
    std::vector<std::string> names;
    for (TokenId id : ids) {
        names.emplace_back(table.Name(id));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

struct TokenCase {
    const wchar_t* text;
    std::vector<std::string> tokens;
};

// Every kind of token that survives translation verbatim, on both sides. Japanese words (j) come
// from the analyser: these cases hold with MeCab's IPA dictionary, and their verbatim tokens
// with any.
const TokenCase VerbatimCases[] = {
    // numbers: full and half width, thousands separators, decimals
    {L"Copied 1,024 files in 3.5 seconds", {"n1024", "n3.5", "wcopi", "wfile", "wsecond"}},
    {L"１，０２４個のファイル", {"jファイル", "n1024"}},
    {L"3.5秒", {"n3.5"}},
    // placeholders: printf with flags and positions, Qt, braces, shell variables
    {L"Cannot open %s: %d%%", {"p%d", "p%s", "wopen"}},
    {L"%2$s の %1$ld 行目", {"j行", "p%ld", "p%s"}},
    {L"Value %.3f of %1", {"p%.3f", "p%1", "wvalu"}},
    {L"{0} を削除", {"j削除", "p{0}"}},
    {L"Set $HOME or ${XDG_CONFIG_HOME}", {"p$home", "p$xdg_config_home", "wset"}},
    // URLs, e-mail addresses, file names and paths, options
    {L"See https://www.example.org/help.", {"uhttps://www.example.org/help", "wsee"}},
    {L"bugs@example.com に報告", {"ebugs@example.com", "j報告"}},
    {L"Edit ~/.config/app.ini or /etc/app.conf", {"f/etc/app.conf", "f~/.config/app.ini", "wedit"}},
    {L"設定ファイル app.ini が見つかりません", {"fapp.ini", "jファイル", "j見つかる", "j設定"}},
    {L"-n, --numeric-sort compare by value", {"o--numeric-sort", "o-n", "wcompar", "wvalu"}},
    {L"--data=FILE プログラムを実行しない", {"jプログラム", "j実行", "o--data"}},
    // quoted literals (ASCII inside any kind of quotation marks) and Latin words inside Japanese
    {L"Click \u201cApply\u201d to continue", {"qapply", "wappli", "wclick", "wcontinu"}},
    {L"\u300cApply\u300dをクリック", {"jクリック", "qapply", "wappli"}},
    {L"GNOME Shell の拡張機能", {"j拡張", "j機能", "wgnome", "wshell"}},
    // identifiers keep their digits and underscores, unstemmed
    {L"utf8 and x86_64 builds", {"wbuild", "wutf8", "wx86_64"}},
    // function words and the pieces of an apostrophe leave nothing
    {L"It isn't there.", {}},
};

bool HasSnowball() {
    WordStemmer stemmer;
    return stemmer.IsSnowball();
}

TEST(LexicalTokens, FindsEveryKindOfVerbatimToken) {
    JapaneseWords japanese(LexicalResources().analyserDictionaries);
    if (!japanese.HasAnalyser() || !HasSnowball()) {
        GTEST_SKIP() << "needs MeCab with a UTF-8 dictionary and Snowball";
    }
    for (const TokenCase& c : VerbatimCases) {
        EXPECT_EQ(TokensOf(c.text, japanese), c.tokens) << ToUtf8(c.text);
    }
}

TEST(LexicalTokens, VerbatimTokensNeedNoAnalyser) {
    JapaneseWords none({});
    ASSERT_FALSE(none.HasAnalyser());
    for (const TokenCase& c : VerbatimCases) {
        const auto wordsOut = [](std::vector<std::string> names) {
            std::erase_if(names, [](const std::string& n) { return n[0] == 'j' || n[0] == 'w'; });
            return names;
        };
        const std::vector<std::string> got = wordsOut(TokensOf(c.text, none));
        const std::vector<std::string> verbatim = wordsOut(c.tokens);
        EXPECT_EQ(got, verbatim) << ToUtf8(c.text);
    }
}

TEST(LexicalTokens, WithoutTheAnalyserJapaneseWordsAreScriptRuns) {
    JapaneseWords none({});
    const TokenCase cases[] = {
        // a kanji run of any length, a katakana run of two or more; kana endings are dropped
        {L"設定ファイルが見つかりません", {"jファイル", "j見", "j設定"}},
        {L"ソ連のカ", {"j連"}}, // a lone katakana is dropped
        {L"エクスポートしました。", {"jエクスポート"}},
        {L"English only", {"wenglish"}},
    };
    for (const TokenCase& c : cases) {
        EXPECT_EQ(TokensOf(c.text, none), c.tokens) << ToUtf8(c.text);
    }
}

TEST(WordStemmer, SuffixRulesMeetTheFormsOfAWord) {
    const std::pair<const char*, const char*> cases[] = {
        {"creates", "creat"}, {"created", "creat"}, {"creating", "creat"}, {"create", "creat"},
        {"copies", "copy"},   {"running", "run"},   {"classes", "class"},  {"status", "status"},
        {"files", "fil"},     {"file", "fil"},      {"bus", "bus"},        {"install", "install"},
        {"settings", "set"},  {"setting", "set"},
    };
    for (const auto& [word, stem] : cases) {
        EXPECT_EQ(StripSuffixes(word), stem) << word;
    }
}

TEST(WordStemmer, KnowsTheFunctionWords) {
    for (const char* word : {"the", "isn", "whether", "yourself", "a"}) {
        EXPECT_TRUE(WordStemmer::IsStopWord(word)) << word;
    }
    for (const char* word : {"file", "open", "thee", "zebra"}) {
        EXPECT_FALSE(WordStemmer::IsStopWord(word)) << word;
    }
}

} // namespace
} // namespace bitexa
