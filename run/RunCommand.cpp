#include "run/RunCommand.h"

#include "align/AnchoredAligner.h"
#include "text/SplitMode.h"
#include "text/TextLoader.h"

#include <algorithm>
#include <cstdlib>
#include <future>
#include <system_error>

namespace bitexa {

double SensitivityFromSlider(int position) {
    // The slider cannot leave -9 ... 9; a stored or typed value outside is taken at the nearest
    // end, so the ratio stays positive (the length model divides by it).
    position = std::clamp(position, -9, 9);
    if (position <= 0) {
        // Written exactly so: -7 gives 0.29999999999999993, and the rows depend on that last bit.
        return position * 0.1 + 1.0;
    }
    // Above the middle mark, position +p is the reciprocal of -p: +5 expects a target twice as
    // long as the source (a Japanese source with an English target), as -5 expects half.
    return 1.0 / (1.0 - 0.1 * position);
}

std::wstring JoinerForMode(int mode) {
    return SplitModeFromIndex(mode) == SplitMode::English ? L" " : L"";
}

LexicalResources InstalledLexicalResources() {
    LexicalResources resources;
    if (const char* folder = std::getenv("BITEXA_MECAB_DICTIONARY")) {
        resources.analyserDictionaries.clear();
        if (*folder != '\0') {
            resources.analyserDictionaries.emplace_back(folder);
        }
    }
    if (const char* file = std::getenv("BITEXA_EDICT")) {
        resources.bilingualDictionary = file;
    }
    return resources;
}

namespace {

std::vector<std::wstring> GapNotes(const LexicalGaps& gaps) {
    std::vector<std::wstring> notes;
    if (gaps.analyser) {
        notes.emplace_back(L"日本語の形態素解析器 (MeCab と UTF-8 の辞書) が見つからないため、"
                           L"漢字とカタカナの並びを語として対応付けました。");
    }
    if (gaps.dictionary) {
        notes.push_back(L"対訳辞書 " + gaps.dictionaryStatus.path +
                        L" を読めないため、"
                        L"辞書なしで対応付けました (" +
                        gaps.dictionaryStatus.reason + L")。");
    }
    return notes;
}

} // namespace

LoadOutcome RunAlignment(const RunInputs& inputs, RunState& state, const Report& report,
                         const AlignControl* control) {
    // Every run replaces the rows. They go first, so that a run that fails for want of memory
    // at any step leaves no rows rather than the last run's rows under this run's inputs.
    ColumnList().swap(state.sourceColumn);
    ColumnList().swap(state.targetColumn);
    RowInfoList().swap(state.rowInfo);
    std::wstring().swap(state.resultText);
    std::vector<RowSpan>().swap(state.rows);
    state.notes.clear();
    state.sourceMode = SplitModeFromIndex(inputs.sourceMode);
    state.targetMode = SplitModeFromIndex(inputs.targetMode);
    // The two sides are read, decoded and cut at once, the target on a thread of its own: for
    // long files that is most of a run besides the alignment. What failed is told afterwards,
    // the source first, as when they were loaded in turn.
    LoadOutcome outcome;
    const auto loadTarget = [&inputs, &state] {
        return LoadSide(inputs.targetPath, SplitModeFromIndex(inputs.targetMode),
                        state.targetSentences);
    };
    std::future<Status> target;
    try {
        target = std::async(std::launch::async, loadTarget);
    } catch (const std::system_error&) {
        // No thread to be had: the target is loaded after the source.
    }
    outcome.source =
        LoadSide(inputs.sourcePath, SplitModeFromIndex(inputs.sourceMode), state.sourceSentences);
    outcome.target = target.valid() ? target.get() : loadTarget();
    ReportLoadStatus(outcome.source, report);
    ReportLoadStatus(outcome.target, report);

    const double sensitivity = SensitivityFromSlider(inputs.sliderPosition);
    if (state.window) {
        state.window->CreateViewIfAbsent();
    }
    const std::wstring targetJoiner = JoinerForMode(inputs.targetMode);
    const std::wstring sourceJoiner = JoinerForMode(inputs.sourceMode);

    // The sentence lists are lent to the aligner for the run, not copied: each is as large as its
    // text. They come back however the run ends.
    CAnchoredAligner aligner({}, {}, sourceJoiner, targetJoiner, sensitivity);
    aligner.AdoptSegments(state.sourceSentences, state.targetSentences);
    {
        struct GiveBack {
            CAnchoredAligner& aligner;
            RunState& state;
            ~GiveBack() { aligner.ReleaseSegments(state.sourceSentences, state.targetSentences); }
        } giveBack{aligner, state};
        aligner.SetControl(control);
        if (inputs.model == AlignModel::Lexical) {
            LexicalSettings settings;
            settings.resources = InstalledLexicalResources();
            aligner.UseLexicalModel(settings);
        }
        RunAnchoredAlignment(state.resultText, state.targetColumn, aligner, state.sourceColumn,
                             &state.rowInfo);
    }
    state.rows = aligner.Rows();
    state.notes = GapNotes(aligner.Gaps());

    if (state.window) {
        state.window->UpdateRowCount();
        state.window->ShowView();
        state.window->EnableSave();
    }
    return outcome;
}

} // namespace bitexa
