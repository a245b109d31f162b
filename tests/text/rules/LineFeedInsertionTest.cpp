#include "text/rules/LineFeedInsertion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bitexa {
namespace {

struct InsertionCase {
    const wchar_t* text;
    std::vector<std::size_t> positions;
    const wchar_t* expected;
};

const InsertionCase insertionCases[] = {
    {L"", {}, L""},
    {L"", {0}, L"\n"},
    {L"", {0, 0}, L"\n\n"},
    {L"abc", {}, L"abc"},
    {L"abc", {0}, L"\nabc"},
    {L"abc", {3}, L"abc\n"},
    {L"abc", {0, 1, 2, 3}, L"\na\nb\nc\n"},
    {L"abc", {1, 1}, L"a\n\nbc"},
    {L"ab\ncd", {2, 3, 5}, L"ab\n\n\ncd\n"},
    {L"\u6587\u3002\u6B21\u3002", {2, 4}, L"\u6587\u3002\n\u6B21\u3002\n"},
};

// The same result whether the text grows within its storage or has to move out of it.
TEST(InsertLineFeeds, PutsALineFeedInFrontOfEveryPosition) {
    for (const InsertionCase& c : insertionCases) {
        std::wstring exact(c.text);
        exact.shrink_to_fit();
        InsertLineFeeds(exact, c.positions);
        EXPECT_EQ(exact, c.expected) << "without room: " << testing::PrintToString(exact);

        std::wstring roomy(c.text);
        roomy.reserve(roomy.size() * 2 + 64);
        InsertLineFeeds(roomy, c.positions);
        EXPECT_EQ(roomy, c.expected) << "with room: " << testing::PrintToString(roomy);
    }
}

TEST(InsertLineFeeds, LeavesRoomForTheNextPassWhenItMustMove) {
    std::wstring text(1000, L'x');
    text.shrink_to_fit();
    InsertLineFeeds(text, {500});
    EXPECT_EQ(text.size(), 1001u);
    EXPECT_GE(text.capacity(), 1001u + 100u);
}

} // namespace
} // namespace bitexa
