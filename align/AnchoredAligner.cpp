#include "align/AnchoredAligner.h"

#include "align/AnchorKeys.h"
#include "align/detail/CommonSubsequence.h"
#include "lexical/LearntPairs.h"
#include "lexical/LexicalEvidence.h"

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

std::unique_ptr<CSentenceAligner> CAnchoredAligner::MakeStretchAligner() const {
    return std::make_unique<CSentenceAligner>(SentenceList(), SentenceList(), SourceJoiner(),
                                              TargetJoiner(), Ratio());
}

namespace {

// Source segments [sourceBegin, sourceEnd) against target segments [targetBegin, targetEnd).
struct Stretch {
    std::size_t sourceBegin;
    std::size_t sourceEnd;
    std::size_t targetBegin;
    std::size_t targetEnd;
    // The stretch starts at a row that the first pass found sure, not at an anchor.
    bool startsAtSureRow = false;

    std::uint64_t Cells() const {
        return std::uint64_t{sourceEnd - sourceBegin} * (targetEnd - targetBegin);
    }
};

std::vector<Stretch> StretchesOf(const CAnchoredAligner& aligner) {
    std::vector<Stretch> stretches;
    std::size_t source = 0;
    std::size_t target = 0;
    for (std::size_t k = 0; k < aligner.sourceAnchors.size(); ++k) {
        stretches.push_back({source, aligner.sourceAnchors[k], target, aligner.targetAnchors[k]});
        source = aligner.sourceAnchors[k];
        target = aligner.targetAnchors[k];
    }
    return stretches;
}

// The cells of the rows, their text, and how each row came about (when asked), stretch by
// stretch. The text is made from the same rows that GetText would walk again, once the
// stretch's path table is gone: that table is most of the memory of a long stretch.
struct RowCells {
    explicit RowCells(bool withInfo) : withInfo(withInfo) {}

    // A stretch's rows, taken while its aligner lives.
    struct Taken {
        ColumnList sourceCells;
        ColumnList targetCells;
        RowInfoList info;
    };

    Taken Take(const CSentenceAligner& stretch, bool startsAtSureRow) const {
        Taken taken;
        ColumnList& sourceCells = taken.sourceCells;
        ColumnList& targetCells = taken.targetCells;
        RowInfoList& stretchInfo = taken.info;
        if (withInfo) {
            GetRows(stretch, sourceCells, targetCells, stretchInfo);
            // A sure row of the first pass is a bead like any other, not an anchor.
            if (startsAtSureRow && !stretchInfo.empty() &&
                stretchInfo.front().kind == RowKind::Anchor) {
                stretchInfo.front().kind = RowKind::OneToOne;
                stretchInfo.front().cost = stretch.BeadCost(
                    static_cast<std::int64_t>(SegmentLength(stretch.SourceSegments()[1])),
                    static_cast<std::int64_t>(SegmentLength(stretch.TargetSegments()[1])), 0, 0);
            }
        } else {
            stretch.GetColumns(sourceCells, targetCells);
        }
        return taken;
    }

    // Called once the stretch's aligner is gone, so that the text never grows beside its path.
    void Append(Taken&& taken) {
        AppendRowText(text, taken.sourceCells, taken.targetCells);
        sources.insert(sources.end(), std::make_move_iterator(taken.sourceCells.begin()),
                       std::make_move_iterator(taken.sourceCells.end()));
        targets.insert(targets.end(), std::make_move_iterator(taken.targetCells.begin()),
                       std::make_move_iterator(taken.targetCells.end()));
        infos.insert(infos.end(), taken.info.begin(), taken.info.end());
    }

    bool withInfo;
    ColumnList sources;
    ColumnList targets;
    RowInfoList infos;
    std::wstring text;
};

// One pass over every stretch, following and stopping as the run's control asks: progress
// counts the cells of the dynamic programmes, the bulk of the work, over all passes.
class StretchPass {
public:
    // `source` and `target` are the run's texts, lent to each stretch in turn.
    StretchPass(const CAnchoredAligner& aligner, SentenceList& source, SentenceList& target,
                std::uint64_t totalCells)
        : m_aligner(aligner), m_source(source), m_target(target), m_control(aligner.Control()),
          m_totalCells(totalCells) {
        if (m_control != nullptr) {
            m_stretchControl.cancel = m_control->cancel;
            m_stretchControl.threads = m_control->threads;
            m_stretchControl.progress = [this](std::uint64_t done, std::uint64_t) {
                m_control->Report(m_cellsDone + done, m_totalCells);
            };
        }
    }

    void SetTotalCells(std::uint64_t totalCells) { m_totalCells = totalCells; }

    // The rows of every stretch, as document positions, in text order. `evidence`, when given,
    // prices the beads by the lexical model with `weights`. `cells`, when given, gets the rows'
    // cells and text too.
    std::vector<RowSpan> Run(const std::vector<Stretch>& stretches, const LexicalEvidence* evidence,
                             const LexicalWeights& weights, RowCells* cells) {
        std::vector<RowSpan> rows;
        std::vector<RowSpan> stretchRows;
        for (const Stretch& stretch : stretches) {
            if (m_control != nullptr) {
                m_control->ThrowIfCancelled();
                m_control->Report(m_cellsDone, m_totalCells);
            }
            Align(stretch, evidence, weights, stretchRows, cells);
            // Local position l of a stretch (the placeholder at 0) is document position
            // begin + l - 1.
            for (RowSpan row : stretchRows) {
                row.sourceFirst += stretch.sourceBegin - 1;
                row.targetFirst += stretch.targetBegin - 1;
                rows.push_back(row);
            }
            m_cellsDone += stretch.Cells();
        }
        return rows;
    }

private:
    void Align(const Stretch& stretch, const LexicalEvidence* evidence,
               const LexicalWeights& weights, std::vector<RowSpan>& rows, RowCells* cells) {
        // Each stretch gets a placeholder in front, so its first real segments (the leading
        // entries, or a matched anchor pair) are the ones the stretch aligner pairs first.
        LentSegments sourceStretch(m_source, stretch.sourceBegin, stretch.sourceEnd);
        LentSegments targetStretch(m_target, stretch.targetBegin, stretch.targetEnd);
        RowCells::Taken taken;
        {
            // The aligner, with its path (most of the memory of a long stretch), is gone once
            // its rows are out.
            const std::unique_ptr<CSentenceAligner> aligner = m_aligner.MakeStretchAligner();
            aligner->AdoptSegments(sourceStretch.Stretch(), targetStretch.Stretch());
            const ScopeExit giveBack([&] {
                aligner->ReleaseSegments(sourceStretch.Stretch(), targetStretch.Stretch());
            });
            if (evidence != nullptr) {
                aligner->SetLexical(std::make_shared<StretchEvidence>(evidence->ForStretch(
                                        stretch.sourceBegin, stretch.sourceEnd, stretch.targetBegin,
                                        stretch.targetEnd)),
                                    weights);
            }
            if (m_control != nullptr) {
                aligner->SetControl(&m_stretchControl);
            }
            aligner->Align();
            aligner->GetRowSpans(rows);
            if (cells != nullptr) {
                taken = cells->Take(*aligner, stretch.startsAtSureRow);
            }
        }
        if (cells != nullptr) {
            cells->Append(std::move(taken));
        }
    }

    const CAnchoredAligner& m_aligner;
    SentenceList& m_source;
    SentenceList& m_target;
    const AlignControl* m_control;
    AlignControl m_stretchControl;
    std::uint64_t m_totalCells;
    std::uint64_t m_cellsDone = 0;
};

// Rare evidence pairs segments anywhere in their stretch, never across an anchor.
PairScope StretchScope(const std::vector<Stretch>& stretches, std::size_t sourceCount) {
    PairScope scope;
    scope.rare.resize(sourceCount);
    for (const Stretch& stretch : stretches) {
        for (std::size_t g = stretch.sourceBegin; g < stretch.sourceEnd; ++g) {
            scope.rare[g] = {static_cast<std::uint32_t>(stretch.targetBegin),
                             static_cast<std::uint32_t>(stretch.targetEnd)};
        }
    }
    return scope;
}

// Common evidence pairs a source segment only with target segments within `reach` of its row on
// the first path, inside its stretch.
void AddPathScope(PairScope& scope, const std::vector<RowSpan>& rows, std::uint32_t reach) {
    scope.common.assign(scope.rare.size(), {});
    for (const RowSpan& row : rows) {
        for (std::size_t g = row.sourceFirst; g < row.sourceFirst + row.sourceCount; ++g) {
            const ColumnRange stretch = scope.rare[g];
            const std::size_t from = row.targetFirst > reach ? row.targetFirst - reach : 0;
            const std::size_t to = row.targetFirst + row.targetCount + reach;
            scope.common[g] = {
                static_cast<std::uint32_t>(std::max<std::size_t>(from, stretch.from)),
                static_cast<std::uint32_t>(std::min<std::size_t>(to, stretch.to))};
            if (scope.common[g].from > scope.common[g].to) {
                scope.common[g] = {};
            }
        }
    }
}

// The stretches cut again at the first path's surest rows (see LexicalSettings): each such row
// starts a stretch of its own, whose aligner pairs it first without weighing it.
std::vector<Stretch> CutAtSureRows(const std::vector<Stretch>& stretches,
                                   const std::vector<RowSpan>& rows,
                                   const LexicalEvidence& evidence,
                                   const LexicalSettings& settings) {
    const auto oneToOne = [&rows](std::size_t r) {
        return r < rows.size() && rows[r].sourceCount == 1 && rows[r].targetCount == 1;
    };
    const auto sure = [&](std::size_t r) {
        if (r == 0 || !oneToOne(r - 1) || !oneToOne(r) || !oneToOne(r + 1)) {
            return false;
        }
        const std::size_t s = rows[r].sourceFirst;
        const std::size_t t = rows[r].targetFirst;
        const double mass = static_cast<double>(evidence.SourceMass(s)) + evidence.TargetMass(t);
        return mass > 0 && 2.0 * evidence.Matched(s, t) >= settings.sureSimilarity * mass;
    };
    std::vector<Stretch> cut;
    std::size_t r = 0;
    for (const Stretch& stretch : stretches) {
        Stretch piece = stretch;
        std::size_t sinceCut = 0;
        for (; r < rows.size() && rows[r].sourceFirst + rows[r].sourceCount <= stretch.sourceEnd &&
               rows[r].targetFirst + rows[r].targetCount <= stretch.targetEnd;
             ++r, ++sinceCut) {
            const std::size_t s = rows[r].sourceFirst;
            const std::size_t t = rows[r].targetFirst;
            if (sinceCut >= settings.sureGap && s > piece.sourceBegin && t > piece.targetBegin &&
                sure(r)) {
                cut.push_back({piece.sourceBegin, s, piece.targetBegin, t, piece.startsAtSureRow});
                piece = {s, stretch.sourceEnd, t, stretch.targetEnd, true};
                sinceCut = 0;
            }
        }
        cut.push_back(piece);
    }
    return cut;
}

} // namespace

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
    std::vector<RowSpan>().swap(aligner.m_rows);
    aligner.m_gaps = {};

    // The texts are lent to each stretch in turn, and back with the aligner at the end.
    SentenceList source;
    SentenceList target;
    aligner.ReleaseSegments(source, target);
    const ScopeExit giveBack([&] { aligner.RestoreSegments(source, target); });
    aligner.MatchAnchors(MakeAnchorKeys(source, L"s"), MakeAnchorKeys(target, L"t"));
    const std::vector<Stretch> stretches = StretchesOf(aligner);
    std::uint64_t cells = 0;
    for (const Stretch& stretch : stretches) {
        cells += stretch.Cells();
    }

    // The lexical model aligns every stretch twice (the second time only between the first
    // path's surest rows, so the total is known after the first pass).
    std::uint64_t totalCells = aligner.LexicalModel() ? 2 * cells : cells;
    StretchPass pass(aligner, source, target, totalCells);
    RowCells out(rowInfo != nullptr);
    std::vector<RowSpan> rows;
    if (!aligner.LexicalModel()) {
        rows = pass.Run(stretches, nullptr, {}, &out);
    } else {
        const LexicalSettings& settings = *aligner.LexicalModel();
        const DocumentTokens tokens =
            AnalyzeDocument(source, target, settings.resources,
                            aligner.Control() != nullptr ? aligner.Control()->threads : 0);
        aligner.m_gaps = tokens.gaps;
        LexicalEvidence evidence(tokens, settings.evidence);
        PairScope scope = StretchScope(stretches, source.size());
        evidence.Build(scope);
        const std::vector<RowSpan> first =
            pass.Run(stretches, &evidence, settings.firstPass, nullptr);

        const std::vector<Stretch> between = CutAtSureRows(stretches, first, evidence, settings);
        evidence.Widen();
        LearnPairs(first, evidence, settings.learning);
        PairScope nearFirst = StretchScope(between, source.size());
        AddPathScope(nearFirst, first, settings.reach);
        evidence.Build(nearFirst);
        std::uint64_t secondCells = 0;
        for (const Stretch& stretch : between) {
            secondCells += stretch.Cells();
        }
        pass.SetTotalCells(cells + secondCells);
        totalCells = cells + secondCells;
        rows = pass.Run(between, &evidence, settings.secondPass, &out);
    }
    if (const AlignControl* control = aligner.Control()) {
        control->Report(totalCells, totalCells);
    }
    sourceColumn = std::move(out.sources);
    targetColumn = std::move(out.targets);
    resultText = std::move(out.text);
    if (rowInfo != nullptr) {
        *rowInfo = std::move(out.infos);
    }
    aligner.m_rows = std::move(rows);
}

} // namespace bitexa
