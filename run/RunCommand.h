#pragma once

#include "align/AlignControl.h"
#include "align/RowInfo.h"
#include "align/SentenceAligner.h"
#include "lexical/DocumentTokens.h"
#include "text/Report.h"
#include "text/SentenceList.h"
#include "text/SplitMode.h"
#include "text/Status.h"

#include <string>
#include <vector>

namespace bitexa {

// What the user is told when a run could not get the memory it needed; the program goes on.
inline constexpr const wchar_t* OutOfMemoryMessage = L"メモリが足りないため、処理を中止しました。";

// How the segments are paired: by length alone, or by length and the words and verbatim tokens
// that the segments share (the lexical model: slower, and right more often).
enum class AlignModel { Length, Lexical };

// The inputs of a run, which are also the stored settings.
struct RunInputs {
    std::wstring sourcePath;
    int sourceMode = 2; // English
    std::wstring targetPath;
    int targetMode = 1; // Japanese
    int sliderPosition = -5;
    AlignModel model = AlignModel::Length;
};

// The window's part of a run. Without a window there is none and these steps are left out.
class RunWindow {
public:
    virtual ~RunWindow() = default;
    virtual void CreateViewIfAbsent() = 0;
    virtual void UpdateRowCount() = 0;
    virtual void ShowView() = 0;
    virtual void EnableSave() = 0;
};

// What lives from one run to the next. The window's view shows the two column lists.
struct RunState {
    SentenceList sourceSentences;
    SentenceList targetSentences;
    std::wstring resultText;
    ColumnList sourceColumn;
    ColumnList targetColumn;
    // The rows as positions in the segment lists (the leading entries at 0), for scoring.
    std::vector<RowSpan> rows;
    // What the user should know about the last run without its being an error: the lexical
    // model ran without its analyser or dictionary. The front end shows them as it likes (the
    // command line on standard error, without changing its exit status).
    std::vector<std::wstring> notes;
    // How each row came about (its bead and cost), parallel to the column lists.
    RowInfoList rowInfo;
    // Each side's split mode in the last run, for the exports that take its cells apart again.
    SplitMode sourceMode = SplitMode::Lines;
    SplitMode targetMode = SplitMode::Lines;
    RunWindow* window = nullptr;
};

// The expected ratio of target length to source length for a slider position -9 ... 9.
double SensitivityFromSlider(int position);

// The text between two segments of a side that share one cell: a blank for English.
std::wstring JoinerForMode(int mode);

// The lexical model's tools as installed, or where the environment puts them:
// BITEXA_MECAB_DICTIONARY names the MeCab dictionary folder to use and BITEXA_EDICT the EDICT file
// (either set to nothing: go without it).
LexicalResources InstalledLexicalResources();

// Loads both sides, aligns them and refills the result text and the column lists. While the
// alignment runs, the sentence lists are lent to it (the state holds them empty until it ends,
// however it ends), so that a long text is not copied. Messages for
// the user go through report, in the order in which they arise. `control`, when given, follows
// and may stop the alignment: a stopped run throws AlignmentCancelled and leaves no rows.
// Returns how loading each side went (a side with an empty path is a success).
struct LoadOutcome {
    Status source;
    Status target;
};
LoadOutcome RunAlignment(const RunInputs& inputs, RunState& state, const Report& report,
                         const AlignControl* control = nullptr);

} // namespace bitexa
