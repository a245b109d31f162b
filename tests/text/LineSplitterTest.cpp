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

} // namespace
} // namespace bitexa
