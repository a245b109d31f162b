#include "align/AnchoredAligner.h"
#include "reference/ReferenceAligner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace bitexa {
namespace {

// Five lines of a program's messages and their translation, in which the translator added a
// line that the English lacks (the fourth). By length alone the added line looks like the second
// half of the long third line; its words (パス, 選択) are translations of words elsewhere in the
// text, so the lexical model leaves it alone.
const SentenceList English{L"",
                           L"The destination is not a folder.",
                           L"Undefined",
                           L"The files listed below could not be imported. The file format "
                           L"could not be interpreted.",
                           L"Show Buttons",
                           L"Select a path and quit GIMP"};
const SentenceList Japanese{L"",
                            L"その場所はフォルダーではありません。",
                            L"未定義",
                            L"次のファイルがインポートできませんでした。ファイルの形式が解釈できま"
                            L"せんでした。",
                            L"GIMP のパスを少なくとも 1 個選択してください。",
                            L"ボタンを表示",
                            L"パスを選択して GIMP を終了"};

template <typename Aligner>
std::vector<RowSpan> RowsOf(Aligner& aligner, RowInfoList* info = nullptr) {
    std::wstring text;
    ColumnList source;
    ColumnList target;
    RunAnchoredAlignment(text, target, aligner, source, info);
    return aligner.Rows();
}

TEST(LexicalModel, PairsWhatLengthAloneGetsWrong) {
    CAnchoredAligner byLength(English, Japanese, L" ", L"", 0.6);
    EXPECT_EQ(RowsOf(byLength)[3], (RowSpan{3, 1, 3, 2})) << "the added line joins the third";

    CAnchoredAligner lexical(English, Japanese, L" ", L"", 0.6);
    lexical.UseLexicalModel(LexicalSettings{});
    const std::vector<RowSpan> rows = RowsOf(lexical);
    if (lexical.Gaps().analyser || lexical.Gaps().dictionary) {
        GTEST_SKIP() << "needs MeCab with a UTF-8 dictionary and the EDICT file";
    }
    EXPECT_EQ(rows, (std::vector<RowSpan>{{0, 1, 0, 1},
                                          {1, 1, 1, 1},
                                          {2, 1, 2, 1},
                                          {3, 1, 3, 1},
                                          {4, 0, 4, 1},
                                          {4, 1, 5, 1},
                                          {5, 1, 6, 1}}));
    // Both passes of the whole run, stretch by stretch, as the plain engine has them.
    ReferenceAnchoredAligner plain(English, Japanese, L" ", L"", 0.6);
    plain.UseLexicalModel(LexicalSettings{});
    EXPECT_EQ(RowsOf(plain), rows);
}

// A text of words from a small vocabulary, with shared labels now and then, and a translation
// that keeps some of its words (numbers, names), loses some segments and joins others.
struct RandomText {
    SentenceList source{L""};
    SentenceList target{L""};
};

RandomText DrawText(std::mt19937& random, std::size_t count) {
    static const wchar_t* const words[] = {L"open",   L"file",  L"GIMP",   L"save",  L"42",
                                           L"%s",     L"quit",  L"window", L"print", L"2021",
                                           L"--help", L"image", L"layer",  L"zoom",  L"7"};
    const auto uniform = [&random](std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random);
    };
    RandomText text;
    int label = 0;
    for (std::size_t k = 0; k < count; ++k) {
        if (uniform(0, 12) == 0) {
            ++label;
            text.source.push_back(L"(" + std::to_wstring(label) + L")");
            text.target.push_back(L"（" + std::to_wstring(label) + L"）");
        }
        std::wstring sentence;
        std::wstring translation;
        for (std::size_t w = uniform(1, 6); w > 0; --w) {
            const std::wstring word = words[uniform(0, std::size(words) - 1)];
            sentence += (sentence.empty() ? L"" : L" ") + word;
            translation += uniform(0, 2) == 0 ? word + L"を" : std::wstring(uniform(1, 5), L'ア');
        }
        const std::size_t fate = uniform(0, 19);
        if (fate != 0) {
            text.source.push_back(sentence);
        }
        if (fate == 1 && text.target.size() > 1) {
            text.target.back() += translation;
        } else if (fate != 2) {
            text.target.push_back(translation);
        }
    }
    return text;
}

TEST(LexicalModel, TheWholeRunGivesThePlainEnginesRows) {
    // Tokens, evidence, both passes and the word pairs learnt between them, the second pass cut
    // at the first one's surest rows, stretch by stretch: only the stretches' programmes differ
    // between the two runs. (In most of these cases the rows are not the length model's.)
    std::mt19937 random(14);
    LexicalSettings settings;
    settings.resources.analyserDictionaries.clear();
    settings.resources.bilingualDictionary.clear();
    settings.evidence.rareMinimum = 2; // small texts: common words wait for the second pass
    settings.sureGap = 8;
    for (int k = 0; k < 40; ++k) {
        const RandomText text =
            DrawText(random, std::uniform_int_distribution<std::size_t>(0, 90)(random));
        CAnchoredAligner fast(text.source, text.target, L" ", L"", 0.6);
        fast.UseLexicalModel(settings);
        ReferenceAnchoredAligner plain(text.source, text.target, L" ", L"", 0.6);
        plain.UseLexicalModel(settings);
        RowInfoList info;
        ASSERT_EQ(RowsOf(fast, &info), RowsOf(plain)) << "case " << k;
        // Only the anchors' rows (and the leading entries') are anchor rows: a sure row of the
        // first pass that starts a stretch of the second is a bead.
        const auto anchorRows = std::count_if(info.begin(), info.end(), [](const RowInfo& row) {
            return row.kind == RowKind::Anchor;
        });
        EXPECT_EQ(static_cast<std::size_t>(anchorRows), fast.sourceAnchors.size()) << "case " << k;
    }
}

} // namespace
} // namespace bitexa
