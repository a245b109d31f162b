#include "align/AnchoredAligner.h"

#include "align/AnchorKeys.h"
#include "align/detail/CommonSubsequence.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace bitexa {

namespace {

// Keys that occur on both sides, as small numbers, and where they stand.
struct SharedKeys {
    std::vector<std::uint32_t> sourceIds;
    std::vector<std::size_t> sourcePositions;
    std::vector<std::uint32_t> targetIds;
    std::vector<std::size_t> targetPositions;
};

SharedKeys FindSharedKeys(const std::vector<std::wstring>& sourceKeys,
                          const std::vector<std::wstring>& targetKeys) {
    std::unordered_map<std::wstring_view, std::uint32_t> ids;
    std::vector<std::uint32_t> sourceId(sourceKeys.size());
    for (std::size_t k = 0; k < sourceKeys.size(); ++k) {
        sourceId[k] =
            ids.try_emplace(sourceKeys[k], static_cast<std::uint32_t>(ids.size())).first->second;
    }
    SharedKeys shared;
    std::vector<bool> onTarget(ids.size(), false);
    for (std::size_t l = 0; l < targetKeys.size(); ++l) {
        const auto found = ids.find(targetKeys[l]);
        if (found != ids.end()) {
            shared.targetIds.push_back(found->second);
            shared.targetPositions.push_back(l);
            onTarget[found->second] = true;
        }
    }
    for (std::size_t k = 0; k < sourceKeys.size(); ++k) {
        if (onTarget[sourceId[k]]) {
            shared.sourceIds.push_back(sourceId[k]);
            shared.sourcePositions.push_back(k);
        }
    }
    return shared;
}

// Runs `undo` when the scope ends, however it ends.
template <typename Undo> class ScopeExit {
public:
    explicit ScopeExit(Undo undo) : m_undo(std::move(undo)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { m_undo(); }

private:
    Undo m_undo;
};

// Segments [from, end) of a text, moved into a stretch list behind a placeholder for the time
// of one stretch, and put back however the stretch ends: a long text is not copied again.
class LentSegments {
public:
    LentSegments(SentenceList& text, std::size_t from, std::size_t end)
        : m_text(text), m_from(from) {
        m_stretch.reserve(1 + end - from);
        m_stretch.emplace_back();
        std::move(text.begin() + static_cast<std::ptrdiff_t>(from),
                  text.begin() + static_cast<std::ptrdiff_t>(end), std::back_inserter(m_stretch));
    }
    LentSegments(const LentSegments&) = delete;
    LentSegments& operator=(const LentSegments&) = delete;
    ~LentSegments() {
        std::move(m_stretch.begin() + 1, m_stretch.end(),
                  m_text.begin() + static_cast<std::ptrdiff_t>(m_from));
    }

    SentenceList& Stretch() { return m_stretch; }

private:
    SentenceList& m_text;
    std::size_t m_from;
    SentenceList m_stretch;
};

} // namespace

CAnchoredAligner::CAnchoredAligner(SentenceList sourceSegments, SentenceList targetSegments,
                                   std::wstring sourceJoiner, std::wstring targetJoiner,
                                   double ratio)
    : CSentenceAligner(std::move(sourceSegments), std::move(targetSegments),
                       std::move(sourceJoiner), std::move(targetJoiner), ratio) {}

// The anchors are the pairs of a longest common subsequence of the two key lists, picked by a
// walk back from (n, m) over the table L[i][j] of common-subsequence lengths of the first i source
// and first j target keys: a step left (drop target key j) wherever L[i][j-1] == L[i][j], else a
// step up wherever L[i-1][j] == L[i][j], else a match (only possible for equal keys).
//
// That table and walk run here on the keys that occur on both sides alone: usually a few labels
// among many ordinary segments, whose side tags never meet. Why the pairs are the same: no common
// subsequence uses a key found on one side only, so L[i][j] equals the compressed table's length
// at (shared keys among the first i source keys, shared keys among the first j target keys).
// Where target key j is not shared, L[i][j-1] == L[i][j]: the full walk steps left and neither
// compressed coordinate changes. Where it is shared, the left test reads the compressed table's
// left neighbour and answers as the compressed walk does; if it fails and source key i is not
// shared, L[i-1][j] == L[i][j]: the full walk steps up, again without moving in the compressed
// table, to a cell where the left test reads the same two values and fails again. So the full
// walk passes every unshared key without a match and, where both keys are shared, takes the
// compressed walk's step: the matches are the same pairs.
void CAnchoredAligner::MatchAnchors(const std::vector<std::wstring>& sourceKeys,
                                    const std::vector<std::wstring>& targetKeys) {
    const SharedKeys shared = FindSharedKeys(sourceKeys, targetKeys);
    sourceAnchors.clear();
    targetAnchors.clear();
    for (const auto& [k, l] : CommonSubsequence(shared.sourceIds, shared.targetIds)) {
        sourceAnchors.push_back(shared.sourcePositions[k]);
        targetAnchors.push_back(shared.targetPositions[l]);
    }
    sourceAnchors.push_back(sourceKeys.size());
    targetAnchors.push_back(targetKeys.size());
}

void RunAnchoredAlignment(std::wstring& resultText, ColumnList& targetColumn,
                          CAnchoredAligner& aligner, ColumnList& sourceColumn,
                          RowInfoList* rowInfo) {
    // The outputs are emptied first (their memory is the run's to use) and filled only when the
    // run is through: a run that fails for want of memory leaves them empty, never half built.
    ColumnList().swap(sourceColumn);
    ColumnList().swap(targetColumn);
    std::wstring().swap(resultText);
    if (rowInfo != nullptr) {
        RowInfoList().swap(*rowInfo);
    }
    ColumnList sources;
    ColumnList targets;
    RowInfoList infos;
    std::wstring text;

    // The texts are lent to each stretch in turn, and back with the aligner at the end.
    SentenceList source;
    SentenceList target;
    aligner.ReleaseSegments(source, target);
    const ScopeExit giveBack([&] { aligner.RestoreSegments(source, target); });
    aligner.MatchAnchors(MakeAnchorKeys(source, L"s"), MakeAnchorKeys(target, L"t"));

    // Progress counts the cells of every stretch's dynamic programme, the bulk of the work.
    const AlignControl* control = aligner.Control();
    std::uint64_t totalCells = 0;
    for (std::size_t k = 0, s = 0, t = 0; k < aligner.sourceAnchors.size(); ++k) {
        totalCells += std::uint64_t{aligner.sourceAnchors[k] - s} * (aligner.targetAnchors[k] - t);
        s = aligner.sourceAnchors[k];
        t = aligner.targetAnchors[k];
    }
    std::uint64_t cellsDone = 0;
    AlignControl stretchControl;
    if (control != nullptr) {
        stretchControl.cancel = control->cancel;
        stretchControl.threads = control->threads;
        stretchControl.progress = [control, &cellsDone, totalCells](std::uint64_t done,
                                                                    std::uint64_t) {
            control->Report(cellsDone + done, totalCells);
        };
    }

    std::size_t sourceCursor = 0;
    std::size_t targetCursor = 0;
    for (std::size_t k = 0; k < aligner.sourceAnchors.size(); ++k) {
        if (control != nullptr) {
            control->ThrowIfCancelled();
            control->Report(cellsDone, totalCells);
        }
        const std::size_t sourceEnd = aligner.sourceAnchors[k];
        const std::size_t targetEnd = aligner.targetAnchors[k];
        // Each stretch gets a placeholder in front, so its first real segments (the leading
        // entries, or a matched anchor pair) are the ones the stretch aligner pairs first.
        LentSegments sourceStretch(source, sourceCursor, sourceEnd);
        LentSegments targetStretch(target, targetCursor, targetEnd);
        ColumnList sourceCells;
        ColumnList targetCells;
        RowInfoList stretchInfo;
        {
            CSentenceAligner stretch({}, {}, aligner.SourceJoiner(), aligner.TargetJoiner(),
                                     aligner.Ratio());
            stretch.AdoptSegments(sourceStretch.Stretch(), targetStretch.Stretch());
            const ScopeExit giveBackStretch(
                [&] { stretch.ReleaseSegments(sourceStretch.Stretch(), targetStretch.Stretch()); });
            if (control != nullptr) {
                stretch.SetControl(&stretchControl);
            }
            stretch.Align();
            if (rowInfo != nullptr) {
                GetRows(stretch, sourceCells, targetCells, stretchInfo);
            } else {
                stretch.GetColumns(sourceCells, targetCells);
            }
        }
        // The stretch's text is made from the same rows that GetText would walk again, once its
        // path table is gone: that table is most of the memory of a long stretch.
        AppendRowText(text, sourceCells, targetCells);
        sources.insert(sources.end(), std::make_move_iterator(sourceCells.begin()),
                       std::make_move_iterator(sourceCells.end()));
        targets.insert(targets.end(), std::make_move_iterator(targetCells.begin()),
                       std::make_move_iterator(targetCells.end()));
        infos.insert(infos.end(), stretchInfo.begin(), stretchInfo.end());

        cellsDone += std::uint64_t{sourceEnd - sourceCursor} * (targetEnd - targetCursor);
        sourceCursor = sourceEnd;
        targetCursor = targetEnd;
    }
    if (control != nullptr) {
        control->Report(totalCells, totalCells);
    }
    sourceColumn = std::move(sources);
    targetColumn = std::move(targets);
    resultText = std::move(text);
    if (rowInfo != nullptr) {
        *rowInfo = std::move(infos);
    }
}

} // namespace bitexa
