// The hand-written passes against the regular expressions they replace: random and adversarial
// texts, each pass alone and the whole rules, compared character for character.

#include "reference/ReferenceSegmentation.h"
#include "text/rules/EnglishPasses.h"
#include "text/rules/EnglishRules.h"
#include "text/rules/EnglishSentenceEnds.h"
#include "text/rules/JapanesePasses.h"
#include "text/rules/JapaneseRules.h"
#include "text/rules/LineBreakPasses.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace bitexa {
namespace {

using Pass = std::function<void(std::wstring&)>;

// Pass k of each rule at index k - 1, in the order the rules apply them.
const std::vector<Pass>& FastJapanesePasses() {
    static const std::vector<Pass> passes{
        BreakAfterSentenceMarks, SetBracketedItemsApart, BreakAfterIndentation,
        DropIndentation,         UnifyLineEnds,          LimitEmptyLines,
    };
    return passes;
}

const std::vector<Pass>& FastEnglishPasses() {
    static const std::vector<Pass> passes{
        UnifyLineEnds,         DropIndentationAfterLineFeeds, JoinBrokenLines,
        SetNumberedLinesApart, MarkEnglishSentenceEnds,       RemovePageNumberLines,
        LimitEmptyLines,
    };
    return passes;
}

// What the random texts are made of: every character some rule looks at, the line breaks that
// start a line for the Japanese rules, letters of each class, abbreviations and the pieces of
// headings and page numbers. Frequent pieces stand more than once.
std::vector<std::wstring> PieceList() {
    std::vector<std::wstring> pieces{
        // brackets
        L"(", L"\uFF08", L"\uFF08", L"\uFF1C", L"\u3014", L")", L"\uFF09", L"\uFF09", L"\uFF1E",
        L"\u3015",
        // Japanese sentence ends and text
        L"\u3002", L"\u3002", L"\uFF01", L"\uFF1F", L"\u300D", L"\u300D", L"\u3042", L"\u5B57",
        // spaces and line breaks
        L" ", L" ", L" ", L"\u3000", L"\u3000", L"\t", L"\r", L"\n", L"\n", L"\n", L"\r\n", L"\r\n",
        L"\f", L"\u0085", L"\u2028", L"\u2029",
        // digits and punctuation
        L"0", L"1", L"2", L"9", L"12", L".", L".", L".", L"\uFF0E", L"!", L"?", L"\"", L"\u201D",
        L",", L"-", L"\u2015",
        // letters: ASCII, and upper, lower and neither beyond ASCII; a capital and a digit
        // beyond U+FFFF
        L"a", L"b", L"z", L"x", L"A", L"M", L"Z", L"\u00E9", L"\uFF34", L"\uFF15", L"\U0001D400",
        L"\U0001D7CF",
        // abbreviations and their near misses
        L"Mr.", L"e.g.", L"U.S.A.", L"Fig.", L"No.", L"p.m.", L"microbial.", L"aMr.",
        // broken lines, headings, numbers at a line start and page numbers
        L"a\nb", L",\n\"", L" \n ", L"\n1.2 ", L"\n12\n", L"\n2. M", L"\n- 12 -\n\n",
        L"\r\u2015 3 \u2015\r\r", L"-7-"};
    pieces.emplace_back(1, L'\0'); // a NUL character is an ordinary one
    return pieces;
}

const std::vector<std::wstring>& Pieces() {
    static const std::vector<std::wstring> pieces = PieceList();
    return pieces;
}

std::wstring RandomText(std::mt19937& random, std::size_t maxPieces) {
    std::uniform_int_distribution<std::size_t> count(0, maxPieces);
    std::uniform_int_distribution<std::size_t> pick(0, Pieces().size() - 1);
    std::wstring text;
    for (std::size_t i = count(random); i > 0; --i) {
        text += Pieces()[pick(random)];
    }
    return text;
}

using ReferencePass = std::wstring (*)(int, std::wstring);

// Every pass alone on the same text, then the whole rules. Returns false at the first difference
// so that a broken pass reports one text, not thousands.
bool MatchesReference(const std::wstring& text, const std::vector<Pass>& fast,
                      ReferencePass reference, void (*fastRules)(std::wstring&),
                      std::wstring (*referenceRules)(std::wstring)) {
    for (std::size_t k = 0; k < fast.size(); ++k) {
        const std::wstring expected = reference(static_cast<int>(k + 1), text);
        // A pass that lengthens the text may do so within the text's storage or move it out:
        // both ways are taken.
        for (const bool room : {false, true}) {
            std::wstring actual = text;
            actual.shrink_to_fit();
            if (room) {
                actual.reserve(text.size() * 2 + 16);
            }
            fast[k](actual);
            EXPECT_EQ(actual, expected) << "pass " << k + 1 << (room ? " with room" : "") << " on "
                                        << testing::PrintToString(text);
            if (actual != expected) {
                return false;
            }
        }
    }
    const std::wstring expected = referenceRules(text);
    std::wstring actual = text;
    fastRules(actual);
    EXPECT_EQ(actual, expected) << "all passes on " << testing::PrintToString(text);
    return actual == expected;
}

bool JapaneseMatches(const std::wstring& text) {
    return MatchesReference(text, FastJapanesePasses(), ReferenceJapanesePass, SplitJapanese,
                            ReferenceSplitJapanese);
}

bool EnglishMatches(const std::wstring& text) {
    return MatchesReference(text, FastEnglishPasses(), ReferenceEnglishPass, SplitEnglish,
                            ReferenceSplitEnglish);
}

struct RandomRun {
    std::uint32_t start; // fixed, so that a failure repeats
    std::size_t texts;
    std::size_t maxPieces;
};

const RandomRun randomRuns[] = {
    {1, 3000, 12},
    {2, 3000, 40},
    {3, 300, 400},
};

TEST(SegmentationDifferential, JapanesePassesGiveWhatTheRegularExpressionsGive) {
    for (const RandomRun& run : randomRuns) {
        std::mt19937 random(run.start);
        for (std::size_t i = 0; i < run.texts; ++i) {
            ASSERT_TRUE(JapaneseMatches(RandomText(random, run.maxPieces)))
                << "run " << run.start << ", text " << i;
        }
    }
}

TEST(SegmentationDifferential, EnglishPassesGiveWhatTheRegularExpressionsGive) {
    for (const RandomRun& run : randomRuns) {
        std::mt19937 random(run.start);
        for (std::size_t i = 0; i < run.texts; ++i) {
            ASSERT_TRUE(EnglishMatches(RandomText(random, run.maxPieces)))
                << "run " << run.start << ", text " << i;
        }
    }
}

std::wstring Repeat(const std::wstring& piece, std::size_t times) {
    std::wstring text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Texts that make a backtracking search slow, of sizes where it still finishes. Both rules run
// on each of them.
std::vector<std::wstring> AdversarialTexts() {
    return {
        // Line starts that open a bracket and never close, then with one closing bracket at the
        // very end, and with closing brackets just too near.
        Repeat(L"\uFF08\u3042\u3042\u3042\n", 300),
        Repeat(L"\uFF08\u3042\u3042\u3042\n", 300) + L"\uFF09",
        Repeat(L"\uFF08\uFF09\r\n", 300),
        Repeat(L"\uFF08", 2000),
        Repeat(L"\n\uFF08", 1000) + L"\u3015",
        // Headings: a long run of digits, periods and spaces with no line feed behind it, many
        // such lines, and lines of digits alone.
        L"\n" + Repeat(L"1. ", 2000),
        L"\n" + Repeat(L"1.", 2000) + L"\n",
        L"\n" + Repeat(L"1.", 2000) + L"\nx",
        Repeat(L"\n12", 1000),
        Repeat(L"\n12\n", 500) + L"x",
        Repeat(L"\n1 ONE", 1000),
        // Sentence punctuation everywhere.
        Repeat(L"a.", 5000),
        Repeat(L"A.", 5000) + L".",
        Repeat(L".", 5000),
        L"x" + Repeat(L"!?", 2000) + Repeat(L" ", 2000),
        Repeat(L"1.", 5000) + L" ",
        Repeat(L"Mr. ", 2000),
        // Page numbers back to back, and their beginnings without an end.
        Repeat(L"\n- 12 -\n\n", 500),
        Repeat(L"\r\u2015 3 \u2015\r", 500),
        Repeat(L"\n-" + Repeat(L"1", 50), 200),
        // Spaces at line starts and broken lines.
        Repeat(L"\n \u3000 ", 1000),
        Repeat(L"a\n", 3000),
        Repeat(L"\r\n", 3000),
    };
}

TEST(SegmentationDifferential, AdversarialTextsGiveWhatTheRegularExpressionsGive) {
    const std::vector<std::wstring> texts = AdversarialTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_TRUE(JapaneseMatches(texts[i])) << "text " << i;
        EXPECT_TRUE(EnglishMatches(texts[i])) << "text " << i;
    }
}

// The one place where the rules deliberately part from the regular-expression engine as built
// here: it compares only the low 16 bits of a character with the line separators, so that with a
// 32-bit wchar_t a character such as U+12028 would start a line. No line starts behind such a
// character, as on a system with 16-bit wide characters; the random texts therefore hold none.
TEST(SegmentationDifferential, PartsFromTheEngineOnlyOnCharactersThatMimicALineSeparator) {
    const std::wstring text = L"x\U00012028\uFF08a\uFF09y";
    std::wstring fast = text;
    SplitJapanese(fast);
    EXPECT_EQ(fast, text);
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(ReferenceSplitJapanese(text), L"x\U00012028\n\uFF08a\uFF09\ny");
    }
}

} // namespace
} // namespace bitexa
