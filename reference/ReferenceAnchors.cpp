#include "reference/ReferenceAnchors.h"

#include "align/AnchorKeys.h"
#include "reference/ReferenceAligner.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace bitexa {

namespace {

enum Direction : std::uint8_t { Differ = 0, Up = 1, Left = 2, Match = 3 };

} // namespace

void ReferenceMatchAnchors(const std::vector<std::wstring>& sourceKeys,
                           const std::vector<std::wstring>& targetKeys,
                           std::vector<std::size_t>& sourceAnchors,
                           std::vector<std::size_t>& targetAnchors) {
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
            if (sourceKeys[i - 1] == targetKeys[j - 1]) {
                length[at(i, j)] = length[at(i - 1, j - 1)] + 1;
                direction[at(i, j)] = Match;
            } else {
                length[at(i, j)] = length[at(i - 1, j - 1)];
                direction[at(i, j)] = Differ;
            }
            if (length[at(i - 1, j)] >= length[at(i, j)]) {
                length[at(i, j)] = length[at(i - 1, j)];
                direction[at(i, j)] = Up;
            }
            if (length[at(i, j - 1)] >= length[at(i, j)]) {
                length[at(i, j)] = length[at(i, j - 1)];
                direction[at(i, j)] = Left;
            }
        }
    }

    sourceAnchors.clear();
    targetAnchors.clear();
    std::size_t i = n;
    std::size_t j = m;
    while (i > 0 || j > 0) {
        switch (direction[at(i, j)]) {
        case Match:
            // Put at the front: collected back to front here, turned around below.
            sourceAnchors.push_back(i - 1);
            targetAnchors.push_back(j - 1);
            --i;
            --j;
            break;
        case Up:
            --i;
            break;
        case Left:
            --j;
            break;
        default:
            // A cell that kept "keys differ" would stop the walk: it cannot happen, since the
            // step up is always at least as long as the diagonal.
            throw std::logic_error("common-subsequence walk met an unfinished cell");
        }
    }
    std::reverse(sourceAnchors.begin(), sourceAnchors.end());
    std::reverse(targetAnchors.begin(), targetAnchors.end());
    sourceAnchors.push_back(n);
    targetAnchors.push_back(m);
}

void ReferenceRunAnchoredAlignment(std::wstring& resultText, ColumnList& targetColumn,
                                   CAnchoredAligner& aligner, ColumnList& sourceColumn) {
    sourceColumn.clear();
    targetColumn.clear();
    resultText.clear();

    const SentenceList& source = aligner.SourceSegments();
    const SentenceList& target = aligner.TargetSegments();
    ReferenceMatchAnchors(MakeAnchorKeys(source, L"s"), MakeAnchorKeys(target, L"t"),
                          aligner.sourceAnchors, aligner.targetAnchors);

    std::size_t sourceCursor = 0;
    std::size_t targetCursor = 0;
    for (std::size_t k = 0; k < aligner.sourceAnchors.size(); ++k) {
        const std::size_t a = aligner.sourceAnchors[k];
        const std::size_t b = aligner.targetAnchors[k];
        SentenceList sourceStretch{std::wstring()};
        for (std::size_t p = sourceCursor; p < a; ++p) {
            sourceStretch.push_back(source[p]);
        }
        SentenceList targetStretch{std::wstring()};
        for (std::size_t p = targetCursor; p < b; ++p) {
            targetStretch.push_back(target[p]);
        }
        ReferenceAligner stretch(std::move(sourceStretch), std::move(targetStretch),
                                 aligner.SourceJoiner(), aligner.TargetJoiner(), aligner.Ratio());
        stretch.Align();
        ColumnList sourceCells;
        ColumnList targetCells;
        stretch.GetColumns(sourceCells, targetCells);
        std::wstring text;
        stretch.GetText(text);
        sourceColumn.insert(sourceColumn.end(), sourceCells.begin(), sourceCells.end());
        targetColumn.insert(targetColumn.end(), targetCells.begin(), targetCells.end());
        resultText += text;
        sourceCursor = a;
        targetCursor = b;
    }
}

} // namespace bitexa
