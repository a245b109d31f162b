#pragma once

#include "text/LineSplitter.h"
#include "text/SentenceList.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace bitexa {

// A text and the side's list that the loader makes of it: a rule, then lines, the leading empty
// entry included.
struct SegmentCase {
    const wchar_t* text;
    SentenceList expected;
};

template <typename Rule> SentenceList SegmentsBy(Rule rule, std::wstring text) {
    rule(text);
    SentenceList list;
    SplitLines(text, list);
    return list;
}

template <typename Rule, std::size_t N>
void ExpectSegmentsBy(Rule rule, const SegmentCase (&cases)[N]) {
    for (const SegmentCase& c : cases) {
        EXPECT_EQ(SegmentsBy(rule, c.text), c.expected)
            << "text: " << testing::PrintToString(std::wstring(c.text));
    }
}

} // namespace bitexa
