#include "align/AnchorKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bitexa {
namespace {

struct KeyCase {
    std::wstring segment;
    std::wstring key;
};

std::wstring KeyOf(const std::wstring& segment) {
    return MakeAnchorKeys({segment}, L"s").at(0);
}

TEST(MakeAnchorKeys, FoldsLabelsToOneKeyWhateverTheirWidthAndCase) {
    const KeyCase cases[] = {
        {L"（１）", L"(1)"},
        {L"(1)", L"(1)"},
        {L"(1）", L"(1)"},
        {L"（1)", L"(1)"},
        {L"(A)", L"(a)"},
        {L"(a)", L"(a)"},
        {L"（ａ）", L"(a)"},
        {L"（Ａ）", L"(a)"},
        {L"（Ｂ．２）", L"(b.2)"},
        {L"(iv)", L"(iv)"},
        {L"(IV)", L"(iv)"},
        {L"（ｉ）", L"(i)"},
        {L"(1.2.3)", L"(1.2.3)"},
        {L"(Ｚｚ９０)", L"(zz90)"},
        {L"(.)", L"(.)"},
        {L"---", L"---"},
        {L"-", L"-"},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(KeyOf(c.segment), c.key) << testing::PrintToString(c.segment);
    }
}

TEST(MakeAnchorKeys, GivesTheSideTagToAnythingButAWholeLabel) {
    const std::wstring notAnchors[] = {
        L"",       L"(1) word", L" (1)",  L"(1) ",       L"(1 )",  L"()",
        L"（）",   L"（一）",   L"(あ)",  L"(1",         L"1)",    L"1",
        L"(1)(2)", L"(a-b)",    L"(1)\n", L"(1)\r\n",    L"\n(1)",
        L"ーーー", // U+30FC
        L"―――",    // U+2015
        L"－－－", // U+FF0D
        L"--a",    L"- -",      L"[1]",   L"(１)\u3000",
    };
    for (const std::wstring& segment : notAnchors) {
        EXPECT_EQ(KeyOf(segment), L"s") << testing::PrintToString(segment);
    }
}

TEST(MakeAnchorKeys, GivesOneKeyPerSegmentInOrder) {
    const SentenceList segments{L"", L"Title", L"（１）", L"Text.", L"(2)", L"---"};
    EXPECT_EQ(MakeAnchorKeys(segments, L"t"),
              (std::vector<std::wstring>{L"t", L"t", L"(1)", L"t", L"(2)", L"---"}));
    EXPECT_EQ(MakeAnchorKeys({L"", L"a", L"b"}, L"s"),
              (std::vector<std::wstring>{L"s", L"s", L"s"}));
    EXPECT_TRUE(MakeAnchorKeys({}, L"s").empty());
}

TEST(FoldAnchorChar, MapsFullWidthLabelCharactersToLowerCaseAscii) {
    const struct {
        wchar_t input;
        wchar_t expected;
    } cases[] = {
        {L'）', L')'}, {L'．', L'.'}, {L'Ａ', L'a'}, {L'Ｚ', L'z'}, {L'ａ', L'a'},  {L'ｚ', L'z'},
        {L'０', L'0'}, {L'９', L'9'}, {L'A', L'a'},  {L'Z', L'z'},  {L'a', L'a'},   {L'5', L'5'},
        {L'(', L'('},  {L')', L')'},  {L'-', L'-'},  {L'.', L'.'},  {L'あ', L'あ'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FoldAnchorChar(c.input), c.expected)
            << "U+" << std::hex << static_cast<unsigned>(c.input);
    }
}

} // namespace
} // namespace bitexa
