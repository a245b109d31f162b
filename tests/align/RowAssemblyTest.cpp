#include "align/SentenceAligner.h"

#include <gtest/gtest.h>

#include <string>

namespace bitexa {
namespace {

struct Rows {
    ColumnList source;
    ColumnList target;
    std::wstring text;
};

Rows Walk(const CSentenceAligner& aligner) {
    Rows rows;
    aligner.GetColumns(rows.source, rows.target);
    aligner.GetText(rows.text);
    return rows;
}

// The stretch of the source and target paragraphs after a shared label, English against
// Japanese.
const SentenceList CatSource{L"", L"(1)", L"The cat sat on the mat.", L"It was happy.",
                             L"Then it slept."};
const SentenceList CatTarget{L"", L"（１）", L"猫はマットの上に座って幸せだった。",
                             L"それから眠った。"};

TEST(RowAssembly, JoinsTwoEnglishSentencesAgainstOneJapanese) {
    CSentenceAligner aligner(CatSource, CatTarget, L" ", L"", 0.5);
    aligner.Align();
    EXPECT_EQ(aligner.PathCode(4, 3), BeadKind::OneToOne);
    EXPECT_EQ(aligner.PathCode(3, 2), BeadKind::TwoToOne);
    EXPECT_EQ(aligner.PathCode(1, 1), BeadKind::OneToOne);
    EXPECT_EQ(aligner.TotalCost(), 243);

    const Rows rows = Walk(aligner);
    EXPECT_EQ(rows.source,
              (ColumnList{L"(1)", L"The cat sat on the mat. It was happy.", L"Then it slept."}));
    EXPECT_EQ(rows.target,
              (ColumnList{L"（１）", L"猫はマットの上に座って幸せだった。", L"それから眠った。"}));
    EXPECT_EQ(rows.text,
              L"(1)\t（１）\n"
              L"The cat sat on the mat. It was happy.\t猫はマットの上に座って幸せだった。\n"
              L"Then it slept.\tそれから眠った。\n");
}

struct RowCase {
    const char* what;
    SentenceList source;
    SentenceList target;
    std::wstring sourceJoiner;
    std::wstring targetJoiner;
    double ratio;
    ColumnList expectedSource;
    ColumnList expectedTarget;
    std::wstring expectedText;
};

TEST(RowAssembly, BuildsColumnsAndTextFromTheSameRows) {
    const RowCase cases[] = {
        {"no source, one target",
         {L""},
         {L"", L"Target"},
         L"",
         L"",
         1.0,
         {L""},
         {L"Target"},
         L"\tTarget\n"},
        {"no source, three targets",
         {L""},
         {L"", L"A", L"B", L"C"},
         L"",
         L"",
         1.0,
         {L"", L"", L""},
         {L"A", L"B", L"C"},
         L"\tA\n\tB\n\tC\n"},
        {"three sources, no target",
         {L"", L"A", L"B", L"C"},
         {L""},
         L"",
         L"",
         1.0,
         {L"A", L"B", L"C"},
         {L"", L"", L""},
         L"A\t\nB\t\nC\t\n"},
        {"neither side", {L""}, {L""}, L" ", L" ", 1.0, {}, {}, L""},
        {"lists without placeholders", {}, {}, L"", L"", 1.0, {}, {}, L""},
        {"one segment each",
         {L"", L"Short"},
         {L"", L"A much longer target segment"},
         L"",
         L"",
         1.0,
         {L"Short"},
         {L"A much longer target segment"},
         L"Short\tA much longer target segment\n"},
        {"two to one without a joiner",
         CatSource,
         CatTarget,
         L"",
         L"",
         0.5,
         {L"(1)", L"The cat sat on the mat.It was happy.", L"Then it slept."},
         {L"（１）", L"猫はマットの上に座って幸せだった。", L"それから眠った。"},
         L"(1)\t（１）\nThe cat sat on the mat.It was happy.\t猫はマットの上に座って幸せだった。\n"
         L"Then it slept.\tそれから眠った。\n"},
        // 20 units against 10 + 10: one to two costs 230, far below any other way there.
        {"one to two with a blank",
         {L"", L"(1)", L"Twenty characters ok"},
         {L"", L"(1)", L"Ten chars.", L"Second one"},
         L"",
         L" ",
         1.0,
         {L"(1)", L"Twenty characters ok"},
         {L"(1)", L"Ten chars. Second one"},
         L"(1)\t(1)\nTwenty characters ok\tTen chars. Second one\n"},
        {"one to two without a joiner",
         {L"", L"(1)", L"Twenty characters ok"},
         {L"", L"(1)", L"Ten chars.", L"Second one"},
         L" ",
         L"",
         1.0,
         {L"(1)", L"Twenty characters ok"},
         {L"(1)", L"Ten chars.Second one"},
         L"(1)\t(1)\nTwenty characters ok\tTen chars.Second one\n"},
        // 2 + 18 against 18 + 2: crossing pairs cost 294 each, two to two 440.
        {"two to two",
         {L"", L"a", L"ab", L"18 chars long text"},
         {L"", L"b", L"eighteen character", L"cd"},
         L" ",
         L"+",
         1.0,
         {L"a", L"ab 18 chars long text"},
         {L"b", L"eighteen character+cd"},
         L"a\tb\nab 18 chars long text\teighteen character+cd\n"},
        // Every line of the text has one tab, between the cells; the columns keep the
        // segments' own tabs. A line break inside a segment stays as it is.
        {"a tab inside a cell becomes a space in the text",
         {L"", L"a\tb\t"},
         {L"", L"\tc\nd"},
         L"",
         L"",
         1.0,
         {L"a\tb\t"},
         {L"\tc\nd"},
         L"a b \t c\nd\n"},
    };
    for (const RowCase& c : cases) {
        CSentenceAligner aligner(c.source, c.target, c.sourceJoiner, c.targetJoiner, c.ratio);
        aligner.Align();
        const Rows rows = Walk(aligner);
        EXPECT_EQ(rows.source, c.expectedSource) << c.what;
        EXPECT_EQ(rows.target, c.expectedTarget) << c.what;
        EXPECT_EQ(rows.text, c.expectedText) << c.what;
    }
}

TEST(RowAssembly, OneSourceAgainstEightyTargetsLeavesTheSourceForLast) {
    // The walk starts at (1, 80) on an unavailable source-alone move, so the two first segments
    // are not paired: every target stands alone, then the source segment.
    SentenceList target{L""};
    ColumnList expectedTarget;
    std::wstring expectedText;
    for (int k = 1; k <= 80; ++k) {
        std::wstring segment = L"target " + std::to_wstring(k);
        segment.resize(10, L'.');
        target.push_back(segment);
        expectedTarget.push_back(segment);
        expectedText += L"\t" + segment + L"\n";
    }
    expectedTarget.push_back(L"");
    expectedText += L"source....\t\n";
    ColumnList expectedSource(80, L"");
    expectedSource.push_back(L"source....");

    CSentenceAligner aligner({L"", L"source...."}, target, L"", L"", 1.0);
    aligner.Align();
    const Rows rows = Walk(aligner);
    EXPECT_EQ(rows.source, expectedSource);
    EXPECT_EQ(rows.target, expectedTarget);
    EXPECT_EQ(rows.text, expectedText);
}

TEST(RowAssembly, ReplacesWhatTheOutputsHeldAndCanRunAgain) {
    CSentenceAligner aligner(CatSource, CatTarget, L" ", L"", 0.5);
    aligner.Align();
    const Rows first = Walk(aligner);

    ColumnList sourceColumn{L"old source"};
    ColumnList targetColumn{L"old target", L"more"};
    std::wstring text = L"old text\n";
    aligner.GetText(text);
    aligner.GetColumns(sourceColumn, targetColumn);
    EXPECT_EQ(sourceColumn, first.source);
    EXPECT_EQ(targetColumn, first.target);
    EXPECT_EQ(text, first.text);
}

} // namespace
} // namespace bitexa
