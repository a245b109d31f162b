#pragma once

#include "align/model/LexicalModel.h"
#include "lexical/DocumentTokens.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace bitexa {

// How common a token may be and still pair segments. A token in at most max(rareMinimum,
// rareShare * segments of its side) segments is rare and pairs segments anywhere in their
// stretch; once widened (the second pass), a token in at most max(commonMinimum, commonShare *
// segments) pairs them too, but only near the first pass's path: far from it a common word is
// noise, and everywhere it would pair up much of the table. Commoner tokens are left out.
struct EvidenceOptions {
    double rareShare = 0.0025;
    std::uint32_t rareMinimum = 20;
    double commonShare = 0.02;
    std::uint32_t commonMinimum = 20;
};

// Where each source segment may share evidence: target segments [from, to).
struct ColumnRange {
    std::uint32_t from = 0;
    std::uint32_t to = 0;
};

// For every source segment of the document, the target segments it may share rare evidence
// with (its own stretch: pairs never cross an anchor) and those it may share common evidence
// with (a window around its row on the first path, inside the stretch; empty before the first
// pass). The second range lies inside the first.
struct PairScope {
    std::vector<ColumnRange> rare;
    std::vector<ColumnRange> common;
};

// The lexical evidence between the two sides of a document: which source tokens may stand for
// which target tokens (links, each with a factor on its weight: 1 for the same token and for a
// dictionary translation, the association strength for a learnt pair), how much each token
// weighs, each segment's mass, and the segment pairs that share evidence with their matched
// weights (see LexicalModel.h).
class LexicalEvidence {
public:
    // Links every token found on both sides to itself, and the dictionary's translations.
    explicit LexicalEvidence(const DocumentTokens& document, EvidenceOptions options = {});

    const DocumentTokens& Document() const { return m_document; }

    // Links a source token to a target token; a link made twice keeps the larger factor.
    // Tokens absent from either side are not linked.
    void AddLink(TokenId source, TokenId target, float factor);
    // Lets common tokens in (see EvidenceOptions).
    void Widen() { m_wide = true; }
    // Whether a token of the side takes part: present, and rare enough.
    bool Usable(TokenId token, bool onSource) const;

    // Computes the masses and the pairs; call again after adding links or widening.
    void Build(const PairScope& scope);

    float SourceMass(std::size_t segment) const { return m_sourceMass[segment]; }
    float TargetMass(std::size_t segment) const { return m_targetMass[segment]; }
    std::size_t Pairs() const { return m_column.size(); }
    // The matched weight of a source and a target segment; 0 where they share nothing.
    float Matched(std::size_t source, std::size_t target) const;

    // The evidence of the stretch of source segments [sourceBegin, sourceEnd) and target
    // segments [targetBegin, targetEnd), indexed as the stretch's lists (segment g at
    // g - begin + 1, the placeholder at 0).
    StretchEvidence ForStretch(std::size_t sourceBegin, std::size_t sourceEnd,
                               std::size_t targetBegin, std::size_t targetEnd) const;

private:
    struct Link {
        TokenId target;
        float factor;
    };
    class PairBuilder;

    bool Rare(TokenId token, bool onSource) const;

    const DocumentTokens& m_document;
    std::vector<std::uint32_t> m_sourceFrequency; // segments holding each token
    std::vector<std::uint32_t> m_targetFrequency;
    std::uint32_t m_sourceRare;
    std::uint32_t m_targetRare;
    std::uint32_t m_sourceCommon;
    std::uint32_t m_targetCommon;
    bool m_wide = false;
    std::vector<std::vector<Link>> m_links; // by source token

    std::vector<float> m_sourceMass;
    std::vector<float> m_targetMass;
    // Pairs by source segment, target segments ascending.
    std::vector<std::uint32_t> m_rowStart;
    std::vector<std::uint32_t> m_column;
    std::vector<float> m_matched;
};

} // namespace bitexa
