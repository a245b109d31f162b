#include "text/rules/JapaneseRules.h"
#include "text/LineSplitter.h"

#include "SegmentCase.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

SentenceList Segments(std::wstring text) {
    return SegmentsBy(SplitJapanese, std::move(text));
}

template <std::size_t N> void ExpectSegments(const SegmentCase (&cases)[N]) {
    ExpectSegmentsBy(SplitJapanese, cases);
}

TEST(SplitJapanese, EndsSentencesAfterTheirFinalMarks) {
    const SegmentCase cases[] = {
        {L"今日は晴れ。明日は雨！\r\n\u3000次の段落です。",
         {L"", L"今日は晴れ。", L"明日は雨！", L"", L"次の段落です。"}},
        // A closing 」 stays with the sentence it closes, however many follow the marks.
        {L"「はい。」と彼は言った。", {L"", L"「はい。」", L"と彼は言った。"}},
        {L"「え。」」次", {L"", L"「え。」」", L"次"}},
        // A run of marks in any mix is one end.
        {L"え！？」「うん。」", {L"", L"え！？」", L"「うん。」"}},
        {L"本当？！。次", {L"", L"本当？！。", L"次"}},
        // Only 」 joins the run, not 』 or ）.
        {L"終わり。』次", {L"", L"終わり。", L"』次"}},
        {L"終わり！）次", {L"", L"終わり！", L"）次"}},
        // ASCII marks and the full-width full stop end nothing.
        {L"Hello. World! ok? 全角．終わり", {L"", L"Hello. World! ok? 全角．終わり"}},
    };
    ExpectSegments(cases);
}

TEST(SplitJapanese, TurnsIndentationAndParagraphBreaksIntoOneEmptyLine) {
    const SegmentCase cases[] = {
        // A space after a sentence end counts as indentation of the next line.
        {L"彼は言った。 次の文。", {L"", L"彼は言った。", L"", L"次の文。"}},
        {L"A。\r\nB", {L"", L"A。", L"", L"B"}},
        {L"文。\r\n\r\n\r\n次。", {L"", L"文。", L"", L"次。"}},
        {L"  インデント\r\n", {L"", L"", L"インデント"}},
        {L"\u3000 \u3000字下げ", {L"", L"", L"字下げ"}},
        {L"前\n   \n後", {L"", L"前", L"", L"後"}},
        // A lone CR: the line feed of the sentence end stands before it, and each ends a line.
        {L"文。\r次", {L"", L"文。", L"", L"次"}},
        // After a lone CR the indentation disappears without an empty line.
        {L"前\r\u3000x", {L"", L"前", L"x"}},
    };
    ExpectSegments(cases);
}

TEST(SplitJapanese, PutsABracketedItemAtALineStartOnALineOfItsOwn) {
    const SegmentCase cases[] = {
        {L"（注）これは注です。", {L"", L"", L"（注）", L"これは注です。"}},
        {L"〔参考〕資料を見よ。", {L"", L"", L"〔参考〕", L"資料を見よ。"}},
        {L"前\n（注）後", {L"", L"前", L"", L"（注）", L"後"}},
        // The brackets need not be of the same kind.
        {L"(注）本文", {L"", L"", L"(注）", L"本文"}},
        {L"＜a〕b", {L"", L"", L"＜a〕", L"b"}},
        // Inside a line a bracket is left alone.
        {L"本文（注あり）の続き。", {L"", L"本文（注あり）の続き。"}},
        // The item runs over a line break up to the nearest closing bracket.
        {L"（１\r\n２）です", {L"", L"", L"（１", L"２）", L"です"}},
        // The sentence end inside the brackets has already broken the line.
        {L"（はい。）", {L"", L"", L"（はい。", L"）"}},
        // At least one character between the brackets.
        {L"（）", {L"", L"（）"}},
        // Without a closing bracket anywhere the line start does not match.
        {L"（開いたまま\n次の行", {L"", L"（開いたまま", L"次の行"}},
        // After a lone CR the new line feed forms a CR LF with it: no empty line.
        {L"前\r（注）x", {L"", L"前", L"（注）", L"x"}},
        // A form feed also starts a line for the bracket rule.
        {L"前\f（注）x", {L"", L"前\f", L"（注）", L"x"}},
    };
    ExpectSegments(cases);
}

TEST(SplitJapanese, LeavesTextWithoutRulesToApplyAsItIs) {
    const std::wstring texts[] = {
        L"", L"これは一行の文です",
        L"一行目\r二行目", // a lone CR stays for the line cutter
    };
    for (const std::wstring& original : texts) {
        std::wstring text = original;
        SplitJapanese(text);
        EXPECT_EQ(text, original);
    }
}

TEST(SplitJapanese, MakesEveryCrLfALineFeedAndKeepsLoneCrs) {
    std::wstring text = L"一\r\n二\r三\r\n";
    SplitJapanese(text);
    EXPECT_EQ(text, L"一\n二\r三\n");
}

TEST(SplitJapanese, KnowsEveryLineBreakThatStartsALine) {
    const SegmentCase cases[] = {
        // On CR LF the line starts behind the LF, not between the two.
        {L"前\r\n（注）x", {L"", L"前", L"", L"（注）", L"x"}},
        {L"前\u0085（注）x", {L"", L"前\u0085", L"（注）", L"x"}},
        {L"前\u2028（注）x", {L"", L"前\u2028", L"（注）", L"x"}},
        {L"前\u2029\u3000字", {L"", L"前\u2029", L"字"}},
        {L"前\f x", {L"", L"前\f", L"x"}},
        // A character beyond U+FFFF whose low bits spell a line separator is an ordinary one.
        {L"前\U00012028（注）x", {L"", L"前\U00012028（注）x"}},
        {L"前\U00010085\u3000x", {L"", L"前\U00010085\u3000x"}},
    };
    ExpectSegments(cases);
}

TEST(SplitJapanese, CutsABracketedItemOutHoweverManyLinesNeverClose) {
    // Thousands of line starts with an opening bracket that never closes: the item at the start
    // still gets its own line, and every other line stays as it was.
    std::wstring text = L"（注）本文。";
    SentenceList expected{L"", L"", L"（注）", L"本文。", L""};
    for (int i = 0; i < 10000; ++i) {
        text += L"\n（x";
        expected.push_back(L"（x");
    }
    EXPECT_EQ(Segments(text), expected);
}

TEST(SplitJapanese, RunsAnItemOverLineStartsUpToTheNearestClosingBracket) {
    const SegmentCase cases[] = {
        // The first line start takes everything up to the only closing bracket; the line starts
        // inside the item are not looked at again.
        {L"（a\n（b\n（c）d", {L"", L"", L"（a", L"（b", L"（c）", L"d"}},
        // The closing bracket right behind the opening one is too near: the next one counts.
        {L"（）x）y", {L"", L"", L"（）x）", L"y"}},
        // Behind an item the next line start begins a new item.
        {L"（a）\n（b）", {L"", L"", L"（a）", L"", L"（b）"}},
    };
    ExpectSegments(cases);
}

} // namespace
} // namespace bitexa
