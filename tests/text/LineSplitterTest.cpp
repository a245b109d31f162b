#include "text/LineSplitter.h"

#include <gtest/gtest.h>

namespace bitexa {
namespace {

struct LineCase {
    const wchar_t* text;
    SentenceList expected;
};

TEST(SplitLines, CutsAtEveryKindOfLineBreak) {
    const LineCase cases[] = {
        {L"A\r\nB\r\n", {L"", L"A", L"B"}},
        {L"A\n\nB", {L"", L"A", L"", L"B"}},
        {L"A\rB", {L"", L"A", L"B"}},
        {L"A\n\rB", {L"", L"A", L"", L"B"}},
        {L"\r\n", {L"", L""}},
        {L"", {L""}},
        {L"\r", {L"", L""}},
        {L"\r\r\n", {L"", L"", L""}},
        {L"  A\t \nB", {L"", L"  A\t ", L"B"}},
        {L"last line", {L"", L"last line"}},
    };
    for (const LineCase& c : cases) {
        SentenceList list;
        SplitLines(c.text, list);
        EXPECT_EQ(list, c.expected) << "text: " << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(SplitLines, KeepsNulCharactersInsideALine) {
    SentenceList list;
    SplitLines(std::wstring(L"a\0b\nc", 5), list);
    EXPECT_EQ(list, (SentenceList{L"", std::wstring(L"a\0b", 3), L"c"}));
}

TEST(SplitLines, AppendsToWhatTheListHoldsAndPutsTheEmptyEntryFirst) {
    SentenceList list{L"old"};
    SplitLines(L"new", list);
    EXPECT_EQ(list, (SentenceList{L"", L"old", L"new"}));
}

TEST(LineCutter, GivesTheLinesOfTheWholeTextWhereverItIsCut) {
    // Every cut into two pieces and into three, with empty pieces, and a CR LF on either side
    // of a cut.
    const std::wstring texts[] = {L"A\r\nB\r\n",
                                  L"A\n\rB",
                                  L"\r\r\n\n",
                                  L"ab\rc\r\nd",
                                  L"\r",
                                  L"x\r\n",
                                  L"long line one\nline two\r"};
    for (const std::wstring& text : texts) {
        SentenceList whole{L"before"};
        SplitLines(text, whole);
        for (std::size_t first = 0; first <= text.size(); ++first) {
            for (std::size_t second = first; second <= text.size(); ++second) {
                SentenceList pieces{L"before"};
                LineCutter cutter(pieces);
                cutter.Add(std::wstring_view(text).substr(0, first));
                cutter.Add(std::wstring_view(text).substr(first, second - first));
                cutter.Add({});
                cutter.Add(std::wstring_view(text).substr(second));
                cutter.Finish();
                ASSERT_EQ(pieces, whole)
                    << testing::PrintToString(text) << " cut at " << first << " and " << second;
            }
        }
    }
}

} // namespace
} // namespace bitexa
