#include "text/rules/EnglishRules.h"
#include "text/LineSplitter.h"
#include "text/rules/EnglishAbbreviations.h"

#include "SegmentCase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace bitexa {
namespace {

template <std::size_t N> void ExpectSegments(const SegmentCase (&cases)[N]) {
    ExpectSegmentsBy(SplitEnglish, cases);
}

TEST(SplitEnglish, EndsASentenceUnlessTheCharactersAroundThePunctuationSayOtherwise) {
    const SegmentCase cases[] = {
        // The period follows a digit and precedes a capital: no rule keeps them together.
        {L"It rose in 1990. The next year", {L"", L"It rose in 1990. ", L"The next year"}},
        // The word before "?!" is empty; lower-case before, capital after.
        {L"Really?! Yes.", {L"", L"Really?! ", L"Yes."}},
        {L"Done.   Next", {L"", L"Done.   ", L"Next"}},
        {L"Wait... What", {L"", L"Wait... ", L"What"}},
        // Both upper case at each period.
        {L"Made in the U.S.A. Today", {L"", L"Made in the U.S.A. Today"}},
        // Both lower case.
        {L"See e.g. the list.", {L"", L"See e.g. the list."}},
        {L"Wait... what", {L"", L"Wait... what"}},
        // Digits on both sides.
        {L"Pi is 3.14 here.", {L"", L"Pi is 3.14 here."}},
        // A quotation that ends with its period keeps going on the same line.
        {L"He said \"Stop.\" Then he left.", {L"", L"He said \"Stop.\" Then he left."}},
        {L"He said \u201CStop.\u201D Then he left.",
         {L"", L"He said \u201CStop.\u201D Then he left."}},
        // Nothing after the punctuation: no match, no line feed.
        {L"Stop!", {L"", L"Stop!"}},
        // Letters and digits beyond ASCII count by their Unicode class.
        {L"\uFF21\uFF22.\uFF23\uFF24", {L"", L"\uFF21\uFF22.\uFF23\uFF24"}},
        {L"\uFF15.\uFF15 here", {L"", L"\uFF15.\uFF15 here"}},
        {L"caf\u00E9.\u00E9t\u00E9", {L"", L"caf\u00E9.\u00E9t\u00E9"}},
        // A character beyond U+FFFF is two surrogate units, which are of no class: the
        // capitals, digits and small letters around the stop are not taken as such.
        {L"\U0001D400.M", {L"", L"\U0001D400.", L"M"}},
        {L"\U0001D7CF\uFF0E\U0001D7CF", {L"", L"\U0001D7CF\uFF0E", L"\U0001D7CF"}},
        {L"a.\U0001D41A", {L"", L"a.", L"\U0001D41A"}},
        // ... but they are not part of the word in front of the period.
        {L"\uFF34\uFF4F\uFF4B\uFF59\uFF4F.\uFF2F\uFF53\uFF41\uFF4B\uFF41",
         {L"", L"\uFF34\uFF4F\uFF4B\uFF59\uFF4F.", L"\uFF2F\uFF53\uFF41\uFF4B\uFF41"}},
        // The full-width full stop: class rules apply, the table never does.
        {L"This is it\uFF0E Next one", {L"", L"This is it\uFF0E ", L"Next one"}},
        {L"abc\uFF0Edef", {L"", L"abc\uFF0Edef"}},
        {L"Mr\uFF0E Smith", {L"", L"Mr\uFF0E ", L"Smith"}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, TakesTheLastCharacterOfARunAtTheEndOfTheTextForTheCharacterAfter) {
    const SegmentCase cases[] = {
        // A single mark at the end has no character after it: no sentence end.
        {L"Stop!", {L"", L"Stop!"}},
        // With more marks or spaces behind it, the last of them stands in for the character
        // after, and the end goes in front of it.
        {L"Really?!", {L"", L"Really?", L"!"}},
        {L"It is 5..", {L"", L"It is 5.", L"."}},
        {L"Stop. ", {L"", L"Stop.", L" "}},
        {L"Stop.  ", {L"", L"Stop. ", L" "}},
        // The other rules still hold there.
        {L"Mr..", {L"", L"Mr.."}},
        {L"End.\"", {L"", L"End.\""}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, KeepsAbbreviationsInsideTheSentence) {
    const SegmentCase cases[] = {
        {L"Mr. Smith came.", {L"", L"Mr. Smith came."}},
        {L"See Fig. 3 below.", {L"", L"See Fig. 3 below."}},
        {L"at 5 p.m. Then", {L"", L"at 5 p.m. Then"}},
        {L"No. 5 is", {L"", L"No. 5 is"}},
        {L"The microbial. Growth", {L"", L"The microbial. Growth"}},
        // The word is compared whole and with its letter case.
        {L"aMr. Smith", {L"", L"aMr. ", L"Smith"}},
        {L"xmicrobial. Growth", {L"", L"xmicrobial. ", L"Growth"}},
        {L"See figure. 3 shows", {L"", L"See figure. ", L"3 shows"}},
        {L"Nonexistent.Figure. Now", {L"", L"Nonexistent.", L"Figure. ", L"Now"}},
        // The word stops at the hyphen: "Con." is what is looked up.
        {L"Non-Con. Data", {L"", L"Non-Con. Data"}},
        {L"Non-Xon. Data", {L"", L"Non-Xon. ", L"Data"}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, KeepsANumberAtALineStartWithItsCapitalisedHeading) {
    const SegmentCase cases[] = {
        {L"Intro\n2. Methods are here.", {L"", L"Intro", L"2. Methods are here."}},
        {L"Intro\n12. Results", {L"", L"Intro", L"12. Results"}},
        {L"Intro\r2. Methods", {L"", L"Intro", L"2. Methods"}},
        // Lower case after the number: cut.
        {L"Intro\n2. methods are here.", {L"", L"Intro", L"2. ", L"methods are here."}},
        // Not at a line start.
        {L"Chapter 2. Methods", {L"", L"Chapter 2. ", L"Methods"}},
        // The first character of the text is never taken for the line start, so a number on the
        // first line, or right after a line break that opens the text, is cut.
        {L"2. Methods", {L"", L"2. ", L"Methods"}},
        {L"\n2. Methods", {L"", L"", L"2. ", L"Methods"}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, JoinsBrokenLinesAndDropsIndentation) {
    const SegmentCase cases[] = {
        {L"abc\ndef", {L"", L"abc def"}},
        // Each join takes the characters on both sides of its line break.
        {L"a\nb\nc", {L"", L"a b", L"c"}},
        {L"one,\ntwo", {L"", L"one, two"}},
        {L"said\n\"Hi\"", {L"", L"said \"Hi\""}},
        {L"word \nNext", {L"", L"word  Next"}},
        {L"Line\r\nnext", {L"", L"Line next"}},
        {L"one\n\u3000two", {L"", L"one two"}},
        // Upper case or a digit before the break, a digit after it: the break stays.
        {L"ABC\ndef", {L"", L"ABC", L"def"}},
        {L"abc\n1 item", {L"", L"abc", L"1 item"}},
        // Indentation goes on every line but the first.
        {L"  First.\n\t  Second", {L"", L"  First.", L"", L"Second"}},
        // A sentence ending at a line break gets its own line feed in front of the file's one.
        {L"end.\nNext", {L"", L"end.", L"", L"Next"}},
        {L"a\rb", {L"", L"a", L"b"}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, SetsNumberedHeadingsApartByAnEmptyLine) {
    const SegmentCase cases[] = {
        {L"First line\n1.2 SCOPE\nbody text",
         {L"", L"First line", L"1.2 SCOPE", L"", L"body text"}},
        // No line feed before the heading on the first line.
        {L"1.2 SCOPE\nbody text", {L"", L"1.2 SCOPE", L"body text"}},
        // Ending in a lower-case letter, the heading is joined to the next line first.
        {L"First line\n1.2 Scope\nbody text", {L"", L"First line", L"1.2 Scope body text"}},
        // A line of digits alone carries the empty line on to the end of the next line.
        {L"Intro\n12\nNEXT\nLast", {L"", L"Intro", L"12", L"NEXT", L"", L"Last"}},
        // Of two headings in a row only the first is followed by an empty line.
        {L"Intro\n1 ONE\n2 TWO\nEnd", {L"", L"Intro", L"1 ONE", L"", L"2 TWO", L"End"}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, RemovesPageNumberLinesAndExtraEmptyLines) {
    const SegmentCase cases[] = {
        {L"First sentence.\n- 12 -\n\nSecond sentence.",
         {L"", L"First sentence.", L"Second sentence."}},
        {L"First sentence.\n\n- 12 -\n\nSecond sentence.",
         {L"", L"First sentence.", L"", L"Second sentence."}},
        // In the middle of a sentence the words around the page number meet without a space.
        {L"The page\n- 12 -\n\nends here.", {L"", L"The pageends here."}},
        {L"The page\n\u2015 3 \u2015\n\nends here.", {L"", L"The pageends here."}},
        {L"The page\r-7-\r\rends here.", {L"", L"The pageends here."}},
        // Only one line break after it: not taken for a page number.
        {L"First sentence.\n- 12 -\nSecond sentence.",
         {L"", L"First sentence.", L"", L"- 12 -", L"Second sentence."}},
        {L"A.\n\n\n\nB", {L"", L"A.", L"", L"B"}},
        {L"", {L""}},
    };
    ExpectSegments(cases);
}

TEST(SplitEnglish, MakesEveryCrLfALineFeedAndKeepsLoneCrs) {
    std::wstring text = L"ONE\r\nTWO\rTHREE\r\n";
    SplitEnglish(text);
    EXPECT_EQ(text, L"ONE\nTWO\rTHREE\n");
}

struct ClassCase {
    const wchar_t* text;
    bool digits;
    bool upper;
    bool lower;
};

TEST(CharacterClasses, FollowUnicode) {
    const ClassCase cases[] = {
        {L"", true, true, true},
        {L"0123456789", true, false, false},
        {L"ABCXYZ", false, true, false},
        {L"abcxyz", false, false, true},
        {L"Ab", false, false, false},
        {L"a1", false, false, false},
        {L" ", false, false, false},
        {L".", false, false, false},
        {L"\uFF15", true, false, false},       // full-width 5
        {L"\u0663", true, false, false},       // Arabic-Indic 3
        {L"\uFF21", false, true, false},       // full-width A
        {L"\u00C4\u0416", false, true, false}, // Ä, Cyrillic Zhe
        {L"\uFF41", false, false, true},       // full-width a
        {L"\u00E9\u00DF", false, false, true}, // é, sharp s
        // Beyond U+FFFF: two surrogate units, neither a letter nor a digit.
        {L"\U0001D400", false, false, false},   // mathematical bold capital A
        {L"\U0001D7CF", false, false, false},   // mathematical bold digit one
        {L"\U0001D41A", false, false, false},   // mathematical bold small a
        {L"\u3042\u6F22", false, false, false}, // hiragana a, a kanji
        {L"\u2162", false, false, false},       // Roman numeral three: a number, not a digit
    };
    for (const ClassCase& c : cases) {
        const std::wstring s = c.text;
        EXPECT_EQ(IsAllDigits(s), c.digits) << testing::PrintToString(s);
        EXPECT_EQ(IsAllUpper(s), c.upper) << testing::PrintToString(s);
        EXPECT_EQ(IsAllLower(s), c.lower) << testing::PrintToString(s);
    }
}

TEST(EnglishAbbreviations, HoldsTheCollectedEntriesInTheirOrder) {
    for (std::wstring_view entry : EnglishAbbreviations) {
        ASSERT_FALSE(entry.empty());
        EXPECT_EQ(entry.back(), L'.') << testing::PrintToString(std::wstring(entry));
    }
    const std::set<std::wstring_view> distinct(EnglishAbbreviations.begin(),
                                               EnglishAbbreviations.end());
    EXPECT_EQ(distinct.size(), 285u);
    const auto longest = std::max_element(
        EnglishAbbreviations.begin(), EnglishAbbreviations.end(),
        [](std::wstring_view a, std::wstring_view b) { return a.size() < b.size(); });
    EXPECT_EQ(longest->size(), LongestEnglishAbbreviation);

    // Positions counted from 1, as the table is kept.
    const std::pair<std::size_t, const wchar_t*> known[] = {
        {1, L"Mon."},       {21, L"Sept."}, {35, L"Inc."},     {50, L"S.p.A."},
        {68, L"U.S.S.R."},  {144, L"a.m."}, {175, L"Cr.Soc."}, {200, L"microbial."},
        {203, L"Non-Con."}, {246, L"Mr."},  {269, L"a.k.a."},  {295, L"Figure."},
    };
    for (const auto& [position, entry] : known) {
        EXPECT_EQ(EnglishAbbreviations[position - 1], entry) << "position " << position;
    }

    std::set<std::wstring_view> seen;
    std::set<std::wstring_view> twice;
    for (std::wstring_view entry : EnglishAbbreviations) {
        if (!seen.insert(entry).second) {
            twice.insert(entry);
        }
    }
    EXPECT_EQ(twice,
              (std::set<std::wstring_view>{L"Ga.", L"Inc.", L"Ind.", L"Md.", L"U.S.A.", L"U.S.S.R.",
                                           L"Appl.", L"appl.", L"APPL.", L"Sci."}));
}

TEST(EnglishAbbreviations, MatchOnlyWholeWordsWithTheirLetterCase) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"Mr.", true},          {L"mr.", false},     {L"Mr", false},      {L"aMr.", false},
        {L"e.g.", true},         {L"Figure.", true},  {L"figure.", false}, {L"microbial.", true},
        {L"xmicrobial.", false}, {L"Non-Con.", true}, {L".", false},       {L"", false},
    };
    for (const auto& [word, expected] : cases) {
        EXPECT_EQ(IsEnglishAbbreviation(word), expected)
            << testing::PrintToString(std::wstring(word));
    }
}

} // namespace
} // namespace bitexa
