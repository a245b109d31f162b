#include "align/AnchoredAligner.h"

#include "align/AnchorKeys.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace bitexa {

namespace {

// How a cell of the common-subsequence table got its length.
enum Direction : std::uint8_t {
    Differ = 0, // keys differ, length of the diagonal; always overwritten by a step
    Up = 1,     // drop source key i
    Left = 2,   // drop target key j
    Match = 3,  // keys i and j match: the diagonal plus one
};

} // namespace

CAnchoredAligner::CAnchoredAligner(SentenceList sourceSegments, SentenceList targetSegments,
                                   std::wstring sourceJoiner, std::wstring targetJoiner,
                                   double ratio)
    : CSentenceAligner(std::move(sourceSegments), std::move(targetSegments),
                       std::move(sourceJoiner), std::move(targetJoiner), ratio) {}

void CAnchoredAligner::MatchAnchors(const std::vector<std::wstring>& sourceKeys,
                                    const std::vector<std::wstring>& targetKeys) {
    const std::size_t n = sourceKeys.size();
    const std::size_t m = targetKeys.size();
    const std::size_t width = m + 1;
    std::vector<std::int32_t> length((n + 1) * width);
    std::vector<std::uint8_t> direction((n + 1) * width);
    const auto at = [width](std::size_t i, std::size_t j) { return i * width + j; };

    for (std::size_t i = 0; i <= n; ++i) {
        length[at(i, 0)] = 0;
        direction[at(i, 0)] = Up;
    }
    for (std::size_t j = 0; j <= m; ++j) {
        length[at(0, j)] = 0;
        direction[at(0, j)] = Left;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            std::int32_t best = length[at(i - 1, j - 1)];
            std::uint8_t how = Differ;
            if (sourceKeys[i - 1] == targetKeys[j - 1]) {
                best += 1;
                how = Match;
            }
            // On equal lengths a step wins over a match, and a step left over a step up: a match
            // is kept only where it strictly lengthens the subsequence.
            if (length[at(i - 1, j)] >= best) {
                best = length[at(i - 1, j)];
                how = Up;
            }
            if (length[at(i, j - 1)] >= best) {
                best = length[at(i, j - 1)];
                how = Left;
            }
            length[at(i, j)] = best;
            direction[at(i, j)] = how;
        }
    }

    // The walk from the end meets the pairs last first; they are turned around once at the end.
    sourceAnchors.clear();
    targetAnchors.clear();
    std::size_t i = n;
    std::size_t j = m;
    while (i > 0 || j > 0) {
        switch (direction[at(i, j)]) {
        case Match:
            sourceAnchors.push_back(i - 1);
            targetAnchors.push_back(j - 1);
            --i;
            --j;
            break;
        case Up:
            --i;
            break;
        default: // Left; Differ never remains in a cell
            --j;
            break;
        }
    }
    std::reverse(sourceAnchors.begin(), sourceAnchors.end());
    std::reverse(targetAnchors.begin(), targetAnchors.end());
    sourceAnchors.push_back(n);
    targetAnchors.push_back(m);
}

void RunAnchoredAlignment(std::wstring& resultText, ColumnList& targetColumn,
                          CAnchoredAligner& aligner, ColumnList& sourceColumn) {
    sourceColumn.clear();
    targetColumn.clear();
    resultText.clear();

    const SentenceList& source = aligner.SourceSegments();
    const SentenceList& target = aligner.TargetSegments();
    aligner.MatchAnchors(MakeAnchorKeys(source, L"s"), MakeAnchorKeys(target, L"t"));

    std::size_t sourceCursor = 0;
    std::size_t targetCursor = 0;
    for (std::size_t k = 0; k < aligner.sourceAnchors.size(); ++k) {
        const std::size_t sourceEnd = aligner.sourceAnchors[k];
        const std::size_t targetEnd = aligner.targetAnchors[k];
        // Each stretch gets a placeholder in front, so its first real segments (the leading
        // entries, or a matched anchor pair) are the ones the stretch aligner pairs first.
        SentenceList sourceStretch{std::wstring()};
        sourceStretch.insert(sourceStretch.end(),
                             source.begin() + static_cast<std::ptrdiff_t>(sourceCursor),
                             source.begin() + static_cast<std::ptrdiff_t>(sourceEnd));
        SentenceList targetStretch{std::wstring()};
        targetStretch.insert(targetStretch.end(),
                             target.begin() + static_cast<std::ptrdiff_t>(targetCursor),
                             target.begin() + static_cast<std::ptrdiff_t>(targetEnd));

        CSentenceAligner stretch(std::move(sourceStretch), std::move(targetStretch),
                                 aligner.SourceJoiner(), aligner.TargetJoiner(), aligner.Ratio());
        stretch.Align();
        ColumnList sourceCells;
        ColumnList targetCells;
        stretch.GetColumns(sourceCells, targetCells);
        std::wstring text;
        stretch.GetText(text);

        sourceColumn.insert(sourceColumn.end(), std::make_move_iterator(sourceCells.begin()),
                            std::make_move_iterator(sourceCells.end()));
        targetColumn.insert(targetColumn.end(), std::make_move_iterator(targetCells.begin()),
                            std::make_move_iterator(targetCells.end()));
        resultText += text;

        sourceCursor = sourceEnd;
        targetCursor = targetEnd;
    }
}

} // namespace bitexa
