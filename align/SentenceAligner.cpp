#include "align/SentenceAligner.h"

#include "align/detail/StretchPath.h"

#include <algorithm>
#include <stdexcept>
#include <thread>
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
    m_totalCost = 0;
    const std::size_t sourceCount = m_sourceSegments.size();
    const std::size_t targetCount = m_targetSegments.size();
    // One side holds only its placeholder: there is nothing to pair, and the walk emits the other
    // side's segments alone without reading a table.
    if (sourceCount < 2 || targetCount < 2) {
        return;
    }
    DpSettings settings;
    if (m_dpSettings) {
        settings = *m_dpSettings;
    } else {
        settings.threads = m_control != nullptr ? m_control->threads : 0;
    }
    if (settings.threads == 0) {
        settings.threads = std::max(1u, std::thread::hardware_concurrency());
    }
    CellObserver observer;
    if (m_control != nullptr) {
        const std::uint64_t cells = std::uint64_t{sourceCount - 1} * (targetCount - 1);
        observer = [this, cells](std::uint64_t done) {
            m_control->ThrowIfCancelled();
            m_control->Report(done, cells);
        };
    }
    std::unique_ptr<const LexicalBonuses> lexical;
    if (m_evidence) {
        lexical = std::make_unique<const LexicalBonuses>(m_evidence, m_weights);
    }
    m_path = std::make_unique<StretchPath>(m_model, m_sourceLengths, m_targetLengths, settings,
                                           m_control != nullptr ? &observer : nullptr,
                                           std::move(lexical));
    m_totalCost = m_path->TotalCost();
}

void CSentenceAligner::AdoptSegments(SentenceList& sourceSegments, SentenceList& targetSegments) {
    std::vector<std::int64_t> sourceLengths = SegmentLengths(sourceSegments);
    std::vector<std::int64_t> targetLengths = SegmentLengths(targetSegments);
    m_sourceSegments = std::move(sourceSegments);
    m_targetSegments = std::move(targetSegments);
    m_sourceLengths = std::move(sourceLengths);
    m_targetLengths = std::move(targetLengths);
    sourceSegments.clear();
    targetSegments.clear();
}

void CSentenceAligner::ReleaseSegments(SentenceList& sourceSegments,
                                       SentenceList& targetSegments) noexcept {
    sourceSegments = std::move(m_sourceSegments);
    targetSegments = std::move(m_targetSegments);
    m_sourceSegments.clear();
    m_targetSegments.clear();
}

void CSentenceAligner::RestoreSegments(SentenceList& sourceSegments,
                                       SentenceList& targetSegments) noexcept {
    m_sourceSegments = std::move(sourceSegments);
    m_targetSegments = std::move(targetSegments);
    sourceSegments.clear();
    targetSegments.clear();
}

void CSentenceAligner::SetDpSettings(std::shared_ptr<const DpSettings> settings) {
    m_dpSettings = std::move(settings);
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
    return m_path->Code(i, d);
}

} // namespace bitexa
