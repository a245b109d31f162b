#include "align/AnchoredAligner.h"
#include "reference/ReferenceAligner.h"

#include <gtest/gtest.h>

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

template <typename Aligner> std::vector<RowSpan> RowsOf(Aligner& aligner) {
    std::wstring text;
    ColumnList source;
    ColumnList target;
    RunAnchoredAlignment(text, target, aligner, source);
    return aligner.Rows();
}

TEST(LexicalModel, PairsWhatLengthAloneGetsWrong) {
    ReferenceAnchoredAligner byLength(English, Japanese, L" ", L"", 0.6);
    EXPECT_EQ(RowsOf(byLength)[3], (RowSpan{3, 1, 3, 2})) << "the added line joins the third";

    ReferenceAnchoredAligner lexical(English, Japanese, L" ", L"", 0.6);
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
}

} // namespace
} // namespace bitexa
