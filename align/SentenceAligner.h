#pragma once

#include "align/AlignControl.h"
#include "align/model/BeadKind.h"
#include "align/model/LengthModel.h"
#include "align/model/LexicalModel.h"
#include "align/model/RowSpan.h"
#include "text/SentenceList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bitexa {

class StretchPath;
struct DpSettings;

// Ordered cell texts of one column of the alignment, one entry per row, no leading entry.
using ColumnList = std::vector<std::wstring>;

// Appends one line per row to `text`: the source cell, a tab, the target cell and a line feed.
// A tab inside a cell is written as one space, so every line has exactly one tab; nothing else
// is escaped. The columns (and the segments) keep their tabs. The columns have the same length.
void AppendRowText(std::wstring& text, const ColumnList& sourceColumn,
                   const ColumnList& targetColumn);
// Appends one row's line: a tab inside a cell goes in as one space, so that every line has
// exactly two fields.
void AppendRow(std::wstring& text, const std::wstring& sourceCell, const std::wstring& targetCell);

// Pairs the segments of one stretch by length. Element 0 of each list is a placeholder that the
// caller puts in front; the dynamic programme starts from pairing element 1 with element 1.
//
// Align keeps only the cost rows that the recurrence reads (the current row and the two before
// it). A small stretch keeps its path codes, three to a byte; a large one keeps cost rows at
// checkpoints and computes blocks of rows again while tracing the path back, so its memory grows
// with its width times the square root of its height (about 13 MB for 20,000 x 20,000). A large
// stretch is computed on several threads (see AlignControl); the result never depends on how.
class CSentenceAligner {
public:
    CSentenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                     std::wstring sourceJoiner, std::wstring targetJoiner, double ratio);
    CSentenceAligner(CSentenceAligner&&) noexcept;
    CSentenceAligner& operator=(CSentenceAligner&&) noexcept;
    virtual ~CSentenceAligner();

    // The length model's costs with this aligner's ratio (see LengthModel).
    int MatchCost(std::int64_t a, std::int64_t b) const { return m_model.MatchCost(a, b); }
    int BeadCost(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) const {
        return m_model.BeadCost(x1, y1, x2, y2);
    }

    // Fills the path table and finds the cost of the last cell. Called once, after construction.
    // Throws AlignmentCancelled when the control (if any) asks it to stop.
    virtual void Align();

    // How Align is followed and stopped; the control must outlive the aligner's runs. Null (the
    // default) runs to the end unobserved.
    void SetControl(const AlignControl* control) { m_control = control; }
    const AlignControl* Control() const { return m_control; }

    // Prices the beads of the next Align by the lexical model with this evidence (indexed as the
    // segment lists) and these weights; null evidence returns to the length model. The evidence
    // is shared, not copied.
    void SetLexical(std::shared_ptr<const StretchEvidence> evidence, const LexicalWeights& weights);
    const StretchEvidence* Evidence() const { return m_evidence.get(); }
    const LexicalWeights& Weights() const { return m_weights; }

    // The rows of the stretch, in text order, as the segments they hold (positions in the
    // segment lists), as two columns and as tab-separated lines.
    void GetRowSpans(std::vector<RowSpan>& rows) const;
    void GetColumns(ColumnList& sourceColumn, ColumnList& targetColumn) const;
    void GetText(std::wstring& text) const;

    // Lends a long text to the aligner rather than copying it: Adopt takes both lists (leaving
    // them empty) and measures them, or changes nothing if that fails; Release hands the
    // aligner's lists out, and Restore takes back, unchanged, lists that Release handed out.
    // Align and the walks read the adopted lists as if given at construction.
    void AdoptSegments(SentenceList& sourceSegments, SentenceList& targetSegments);
    void ReleaseSegments(SentenceList& sourceSegments, SentenceList& targetSegments) noexcept;
    void RestoreSegments(SentenceList& sourceSegments, SentenceList& targetSegments) noexcept;

    const SentenceList& SourceSegments() const { return m_sourceSegments; }
    const SentenceList& TargetSegments() const { return m_targetSegments; }
    const std::wstring& SourceJoiner() const { return m_sourceJoiner; }
    const std::wstring& TargetJoiner() const { return m_targetJoiner; }
    double Ratio() const { return m_model.Ratio(); }
    const LengthModel& Model() const { return m_model; }

    // The code of cell (i, d), 0 <= i <= N, 0 <= d <= M, after Align; 0 where nothing was
    // written (the first and last rows and columns, or a stretch with nothing to pair). Throws
    // std::out_of_range outside the table. Cells of the path answer at once; in a large stretch
    // another cell's block of rows is computed again (and kept for the next question), so
    // concurrent calls on one aligner are not allowed.
    virtual BeadKind PathCode(std::size_t i, std::size_t d) const;
    // The cost of the last cell (N-1, M-1) after Align; 0 when nothing was computed. 64-bit: a
    // long enough stretch of expensive steps goes past 2^31.
    std::int64_t TotalCost() const { return m_totalCost; }

    // For tests: how the next Align runs its dynamic programme (memory budget, threads, ...),
    // which never changes a result. Null: chosen by the aligner, threads by the control.
    void SetDpSettings(std::shared_ptr<const DpSettings> settings);

protected:
    SentenceList m_sourceSegments;
    SentenceList m_targetSegments;
    std::vector<std::int64_t> m_sourceLengths;
    std::vector<std::int64_t> m_targetLengths;
    LengthModel m_model;
    std::wstring m_sourceJoiner;
    std::wstring m_targetJoiner;
    const AlignControl* m_control = nullptr;
    std::shared_ptr<const StretchEvidence> m_evidence;
    LexicalWeights m_weights;

private:
    std::unique_ptr<StretchPath> m_path;
    std::shared_ptr<const DpSettings> m_dpSettings;
    std::int64_t m_totalCost = 0;
};

} // namespace bitexa
