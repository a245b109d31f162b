#include "align/SentenceAligner.h"

#include "align/detail/LargeBuffer.h"
#include "align/detail/PathTable.h"

#include <stdexcept>
#include <utility>

namespace bitexa {

namespace {

std::vector<std::int64_t> SegmentLengths(const SentenceList& segments) {
    std::vector<std::int64_t> lengths;
    lengths.reserve(segments.size());
    for (const std::wstring& segment : segments) {
        lengths.push_back(static_cast<std::int64_t>(SegmentLength(segment)));
    }
    return lengths;
}

} // namespace

CSentenceAligner::CSentenceAligner(SentenceList sourceSegments, SentenceList targetSegments,
                                   std::wstring sourceJoiner, std::wstring targetJoiner,
                                   double ratio)
    : m_sourceSegments(std::move(sourceSegments)), m_targetSegments(std::move(targetSegments)),
      m_sourceLengths(SegmentLengths(m_sourceSegments)),
      m_targetLengths(SegmentLengths(m_targetSegments)), m_model(ratio),
      m_sourceJoiner(std::move(sourceJoiner)), m_targetJoiner(std::move(targetJoiner)) {
    // The tables are made by Align: the anchored aligner derives from this class over the whole
    // texts and is never aligned, so tables made here would be (n+1)(m+1) cells for nothing.
}

CSentenceAligner::CSentenceAligner(CSentenceAligner&&) noexcept = default;
CSentenceAligner& CSentenceAligner::operator=(CSentenceAligner&&) noexcept = default;
CSentenceAligner::~CSentenceAligner() = default;

void CSentenceAligner::Align() {
    m_path.reset();
    m_pathRowBytes = 0;
    m_totalCost = 0;
    const std::size_t sourceCount = m_sourceSegments.size();
    const std::size_t targetCount = m_targetSegments.size();
    // One side holds only its placeholder: there is nothing to pair, and the walk emits the other
    // side's segments alone without reading a table.
    if (sourceCount < 2 || targetCount < 2) {
        return;
    }
    if (m_evidence) {
        throw std::logic_error("the lexical model is not in the fast engine yet");
    }
    m_pathRowBytes = PathRowBytes(targetCount);
    // Every byte is written by FillPathTable; no need to clear 133 MB first.
    m_path = std::make_unique<LargeBuffer>((sourceCount - 1) * m_pathRowBytes);
    RowObserver observer;
    if (m_control != nullptr) {
        const std::uint64_t rowCells = targetCount - 1;
        const std::uint64_t cells = (sourceCount - 1) * rowCells;
        observer = [this, rowCells, cells](std::size_t rowsDone) {
            m_control->ThrowIfCancelled();
            m_control->Report(rowsDone * rowCells, cells);
        };
    }
    m_totalCost = FillPathTable(m_model, m_sourceLengths, m_targetLengths, m_path->data(),
                                m_control != nullptr ? &observer : nullptr);
}

void CSentenceAligner::SetLexical(std::shared_ptr<const StretchEvidence> evidence,
                                  const LexicalWeights& weights) {
    m_evidence = std::move(evidence);
    m_weights = weights;
}

BeadKind CSentenceAligner::PathCode(std::size_t i, std::size_t d) const {
    const std::size_t sourceCount = m_sourceSegments.size();
    const std::size_t targetCount = m_targetSegments.size();
    if (i > sourceCount || d > targetCount) {
        throw std::out_of_range("cell outside the alignment table");
    }
    if (!m_path || i < 1 || i >= sourceCount || d < 1 || d >= targetCount) {
        return BeadKind::TargetOnly;
    }
    return PathCodeAt(m_path->data(), m_pathRowBytes, i, d);
}

} // namespace bitexa
