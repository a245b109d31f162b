#pragma once

#include "align/LexicalSettings.h"
#include "align/RowInfo.h"
#include "align/SentenceAligner.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bitexa {

// One whole run: shared anchors cut both texts into stretches, each stretch is aligned by length
// or, when asked, by the lexical model.
class CAnchoredAligner : public CSentenceAligner {
public:
    CAnchoredAligner(SentenceList sourceSegments, SentenceList targetSegments,
                     std::wstring sourceJoiner, std::wstring targetJoiner, double ratio);

    // Aligns the next run by the lexical model with these settings; nullopt (the default) by
    // length alone.
    void UseLexicalModel(std::optional<LexicalSettings> settings) {
        m_lexical = std::move(settings);
    }
    const std::optional<LexicalSettings>& LexicalModel() const { return m_lexical; }

    // After a run: its rows as positions in the segment lists, and what the lexical analysis had
    // to do without (nothing for the length model).
    const std::vector<RowSpan>& Rows() const { return m_rows; }
    const LexicalGaps& Gaps() const { return m_gaps; }

    // Longest common subsequence of the two key lists; replaces the anchor lists. The last pair
    // is always (n, m), the sizes of the lists.
    void MatchAnchors(const std::vector<std::wstring>& sourceKeys,
                      const std::vector<std::wstring>& targetKeys);

    // Positions (0-based, leading entry at 0) at which stretches end, pairwise.
    std::vector<std::size_t> sourceAnchors;
    std::vector<std::size_t> targetAnchors;

    // An aligner for one stretch, with this aligner's joiners and ratio and no segments yet: the
    // run lends it the stretch's (AdoptSegments). The plain engine's tests give theirs.
    virtual std::unique_ptr<CSentenceAligner> MakeStretchAligner() const;

private:
    friend void RunAnchoredAlignment(std::wstring&, ColumnList&, CAnchoredAligner&, ColumnList&,
                                     RowInfoList*);

    std::optional<LexicalSettings> m_lexical;
    std::vector<RowSpan> m_rows;
    LexicalGaps m_gaps;
};

// Clears the three outputs, then fills them with the rows of every stretch in text order.
// `rowInfo`, when given, is refilled alongside: one entry per row, how the row came about.
void RunAnchoredAlignment(std::wstring& resultText, ColumnList& targetColumn,
                          CAnchoredAligner& aligner, ColumnList& sourceColumn,
                          RowInfoList* rowInfo = nullptr);

} // namespace bitexa
