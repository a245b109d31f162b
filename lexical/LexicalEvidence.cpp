#include "lexical/LexicalEvidence.h"

#include <algorithm>
#include <cmath>

namespace bitexa {

namespace {

std::vector<std::uint32_t> Frequencies(const SideTokens& side, std::size_t tokens) {
    std::vector<std::uint32_t> frequency(tokens, 0);
    for (std::size_t k = 0; k < side.Segments(); ++k) {
        for (TokenId t : side.Of(k)) {
            ++frequency[t];
        }
    }
    return frequency;
}

std::uint32_t Cap(std::uint32_t minimum, double share, std::size_t segments) {
    return std::max(minimum, static_cast<std::uint32_t>(share * static_cast<double>(segments)));
}

// ln(1 + N / df): a token in every segment weighs ln 2, one in a single segment ln(N + 1).
std::vector<float> Weights(const std::vector<std::uint32_t>& frequency, std::size_t segments) {
    std::vector<float> weight(frequency.size(), 0.0f);
    for (std::size_t t = 0; t < frequency.size(); ++t) {
        if (frequency[t] > 0) {
            weight[t] =
                static_cast<float>(std::log(1.0 + static_cast<double>(segments) / frequency[t]));
        }
    }
    return weight;
}

// The segments of a side that hold each token of a set, ascending.
class Postings {
public:
    Postings(const SideTokens& side, const std::vector<char>& wanted) : m_start(wanted.size() + 1) {
        for (std::size_t k = 0; k < side.Segments(); ++k) {
            for (TokenId t : side.Of(k)) {
                m_start[t + 1] += wanted[t] ? 1 : 0;
            }
        }
        for (std::size_t t = 0; t < wanted.size(); ++t) {
            m_start[t + 1] += m_start[t];
        }
        m_segment.resize(m_start.back());
        std::vector<std::uint32_t> next(m_start.begin(), m_start.end() - 1);
        for (std::size_t k = 0; k < side.Segments(); ++k) {
            for (TokenId t : side.Of(k)) {
                if (wanted[t]) {
                    m_segment[next[t]++] = static_cast<std::uint32_t>(k);
                }
            }
        }
    }

    // The segments of token t in [range.from, range.to).
    std::pair<const std::uint32_t*, const std::uint32_t*> In(TokenId t, ColumnRange range) const {
        const std::uint32_t* first = m_segment.data() + m_start[t];
        const std::uint32_t* last = m_segment.data() + m_start[t + 1];
        return {std::lower_bound(first, last, range.from), std::lower_bound(first, last, range.to)};
    }

private:
    std::vector<std::uint32_t> m_start;
    std::vector<std::uint32_t> m_segment;
};

bool Inside(std::uint32_t column, ColumnRange range) {
    return column >= range.from && column < range.to;
}

} // namespace

LexicalEvidence::LexicalEvidence(const DocumentTokens& document, EvidenceOptions options)
    : m_document(document), m_sourceFrequency(Frequencies(document.source, document.table.Size())),
      m_targetFrequency(Frequencies(document.target, document.table.Size())),
      m_sourceRare(Cap(options.rareMinimum, options.rareShare, document.source.Segments())),
      m_targetRare(Cap(options.rareMinimum, options.rareShare, document.target.Segments())),
      m_sourceCommon(std::max(m_sourceRare, Cap(options.commonMinimum, options.commonShare,
                                                document.source.Segments()))),
      m_targetCommon(std::max(m_targetRare, Cap(options.commonMinimum, options.commonShare,
                                                document.target.Segments()))),
      m_links(document.table.Size()) {
    for (TokenId t = 0; t < m_links.size(); ++t) {
        if (m_sourceFrequency[t] > 0 && m_targetFrequency[t] > 0) {
            AddLink(t, t, 1.0f);
        }
    }
    for (const auto& [source, target] : document.translations) {
        AddLink(source, target, 1.0f);
    }
}

void LexicalEvidence::AddLink(TokenId source, TokenId target, float factor) {
    if (source >= m_links.size() || target >= m_links.size() || m_sourceFrequency[source] == 0 ||
        m_targetFrequency[target] == 0) {
        return;
    }
    for (Link& link : m_links[source]) {
        if (link.target == target) {
            link.factor = std::max(link.factor, factor);
            return;
        }
    }
    m_links[source].push_back({target, factor});
}

bool LexicalEvidence::Usable(TokenId token, bool onSource) const {
    const std::uint32_t frequency = onSource ? m_sourceFrequency[token] : m_targetFrequency[token];
    const std::uint32_t cap = onSource ? (m_wide ? m_sourceCommon : m_sourceRare)
                                       : (m_wide ? m_targetCommon : m_targetRare);
    return frequency > 0 && frequency <= cap;
}

bool LexicalEvidence::Rare(TokenId token, bool onSource) const {
    return onSource ? m_sourceFrequency[token] <= m_sourceRare
                    : m_targetFrequency[token] <= m_targetRare;
}

// The matched weights of one source segment against the target segments, column by column:
// half the weight of the row's tokens with a partner in the column, each through its best link,
// plus half the weight of the column's tokens with a partner in the row, likewise.
class LexicalEvidence::PairBuilder {
public:
    PairBuilder(const LexicalEvidence& evidence, const std::vector<std::vector<Link>>& links,
                const std::vector<char>& sourceLinkable, const std::vector<char>& targetLinkable,
                const std::vector<float>& sourceWeight, const std::vector<float>& targetWeight)
        : m_evidence(evidence), m_links(links), m_sourceLinkable(sourceLinkable),
          m_targetLinkable(targetLinkable), m_sourceWeight(sourceWeight),
          m_targetWeight(targetWeight), m_postings(evidence.m_document.target, targetLinkable),
          m_columnStamp(evidence.m_document.target.Segments(), 0),
          m_tokenStamp(evidence.m_document.target.Segments(), 0),
          m_sourceHalf(evidence.m_document.target.Segments(), 0.0f),
          m_targetHalf(evidence.m_document.target.Segments(), 0.0f),
          m_reachedStamp(links.size(), 0), m_bestAll(links.size(), 0.0f),
          m_bestRare(links.size(), 0.0f) {}

    // Appends row i's pairs, columns ascending.
    void Row(std::size_t i, ColumnRange rare, ColumnRange common,
             std::vector<std::uint32_t>& columns, std::vector<float>& matched) {
        ++m_row;
        m_touched.clear();
        m_reached.clear();
        for (TokenId x : m_evidence.m_document.source.Of(i)) {
            if (m_sourceLinkable[x]) {
                SourceToken(x, rare, common);
            }
        }
        for (TokenId y : m_reached) {
            TargetToken(y, rare, common);
        }
        std::sort(m_touched.begin(), m_touched.end());
        for (std::uint32_t j : m_touched) {
            columns.push_back(j);
            matched.push_back(0.5f * (m_sourceHalf[j] + m_targetHalf[j]));
        }
    }

private:
    void Touch(std::uint32_t j) {
        if (m_columnStamp[j] != m_row) {
            m_columnStamp[j] = m_row;
            m_sourceHalf[j] = 0.0f;
            m_targetHalf[j] = 0.0f;
            m_touched.push_back(j);
        }
    }

    // The links are sorted best first, so the first link that reaches a column is its best.
    void SourceToken(TokenId x, ColumnRange rare, ColumnRange common) {
        ++m_token;
        const bool rareSource = m_evidence.Rare(x, true);
        for (const Link& link : m_links[x]) {
            if (!m_targetLinkable[link.target]) {
                continue;
            }
            const bool rarePair = rareSource && m_evidence.Rare(link.target, false);
            Reach(link, rarePair);
            const auto [first, last] = m_postings.In(link.target, rarePair ? rare : common);
            for (const std::uint32_t* p = first; p != last; ++p) {
                const std::uint32_t j = *p;
                Touch(j);
                if (m_tokenStamp[j] != m_token) {
                    m_tokenStamp[j] = m_token;
                    m_sourceHalf[j] += m_sourceWeight[x] * link.factor;
                }
            }
        }
    }

    // The best factor by which the row reaches a target token, through any link and through
    // rare pairs alone.
    void Reach(const Link& link, bool rarePair) {
        const TokenId y = link.target;
        if (m_reachedStamp[y] != m_row) {
            m_reachedStamp[y] = m_row;
            m_bestAll[y] = 0.0f;
            m_bestRare[y] = 0.0f;
            m_reached.push_back(y);
        }
        m_bestAll[y] = std::max(m_bestAll[y], link.factor);
        if (rarePair) {
            m_bestRare[y] = std::max(m_bestRare[y], link.factor);
        }
    }

    void TargetToken(TokenId y, ColumnRange rare, ColumnRange common) {
        const bool anyRare = m_bestRare[y] > 0.0f;
        const auto [first, last] = m_postings.In(y, anyRare ? rare : common);
        for (const std::uint32_t* p = first; p != last; ++p) {
            const std::uint32_t j = *p;
            const float factor = Inside(j, common) ? m_bestAll[y] : m_bestRare[y];
            if (factor > 0.0f) {
                Touch(j);
                m_targetHalf[j] += m_targetWeight[y] * factor;
            }
        }
    }

    const LexicalEvidence& m_evidence;
    const std::vector<std::vector<Link>>& m_links;
    const std::vector<char>& m_sourceLinkable;
    const std::vector<char>& m_targetLinkable;
    const std::vector<float>& m_sourceWeight;
    const std::vector<float>& m_targetWeight;
    Postings m_postings;
    // Stamps say whether an entry belongs to the current row (or source token) without
    // clearing whole arrays for every row.
    std::uint32_t m_row = 0;
    std::uint32_t m_token = 0;
    std::vector<std::uint32_t> m_columnStamp;
    std::vector<std::uint32_t> m_tokenStamp;
    std::vector<float> m_sourceHalf;
    std::vector<float> m_targetHalf;
    std::vector<std::uint32_t> m_touched;
    std::vector<std::uint32_t> m_reachedStamp;
    std::vector<float> m_bestAll;
    std::vector<float> m_bestRare;
    std::vector<TokenId> m_reached;
};

void LexicalEvidence::Build(const PairScope& scope) {
    const DocumentTokens& document = m_document;
    const std::size_t tokens = m_links.size();
    const std::vector<float> sourceWeight = Weights(m_sourceFrequency, document.source.Segments());
    const std::vector<float> targetWeight = Weights(m_targetFrequency, document.target.Segments());

    // A token is linkable where it and a partner of it are both usable; links between usable
    // tokens only, best first.
    std::vector<char> sourceLinkable(tokens, 0);
    std::vector<char> targetLinkable(tokens, 0);
    std::vector<std::vector<Link>> links(tokens);
    for (TokenId x = 0; x < tokens; ++x) {
        if (!Usable(x, true)) {
            continue;
        }
        for (const Link& link : m_links[x]) {
            if (Usable(link.target, false)) {
                links[x].push_back(link);
                sourceLinkable[x] = 1;
                targetLinkable[link.target] = 1;
            }
        }
        std::sort(links[x].begin(), links[x].end(), [](const Link& a, const Link& b) {
            return a.factor != b.factor ? a.factor > b.factor : a.target < b.target;
        });
    }
    const auto masses = [](const SideTokens& side, const std::vector<char>& linkable,
                           const std::vector<float>& weight) {
        std::vector<float> mass(side.Segments(), 0.0f);
        for (std::size_t k = 0; k < side.Segments(); ++k) {
            for (TokenId t : side.Of(k)) {
                mass[k] += linkable[t] ? weight[t] : 0.0f;
            }
        }
        return mass;
    };
    m_sourceMass = masses(document.source, sourceLinkable, sourceWeight);
    m_targetMass = masses(document.target, targetLinkable, targetWeight);

    m_rowStart.assign(1, 0);
    m_column.clear();
    m_matched.clear();
    PairBuilder builder(*this, links, sourceLinkable, targetLinkable, sourceWeight, targetWeight);
    for (std::size_t i = 0; i < document.source.Segments(); ++i) {
        const ColumnRange rare = i < scope.rare.size() ? scope.rare[i] : ColumnRange{};
        const ColumnRange common = i < scope.common.size() ? scope.common[i] : ColumnRange{};
        builder.Row(i, rare, common, m_column, m_matched);
        m_rowStart.push_back(static_cast<std::uint32_t>(m_column.size()));
    }
}

float LexicalEvidence::Matched(std::size_t source, std::size_t target) const {
    if (source + 1 >= m_rowStart.size()) {
        return 0.0f;
    }
    const auto first = m_column.begin() + m_rowStart[source];
    const auto last = m_column.begin() + m_rowStart[source + 1];
    const auto found = std::lower_bound(first, last, static_cast<std::uint32_t>(target));
    return found != last && *found == target
               ? m_matched[static_cast<std::size_t>(found - m_column.begin())]
               : 0.0f;
}

StretchEvidence LexicalEvidence::ForStretch(std::size_t sourceBegin, std::size_t sourceEnd,
                                            std::size_t targetBegin, std::size_t targetEnd) const {
    StretchEvidence stretch;
    stretch.sourceMass.assign(1, 0.0f);
    stretch.sourceMass.insert(stretch.sourceMass.end(), m_sourceMass.begin() + sourceBegin,
                              m_sourceMass.begin() + sourceEnd);
    stretch.targetMass.assign(1, 0.0f);
    stretch.targetMass.insert(stretch.targetMass.end(), m_targetMass.begin() + targetBegin,
                              m_targetMass.begin() + targetEnd);
    stretch.rowStart.assign(1, 0);
    stretch.rowStart.push_back(0); // the placeholder's row
    for (std::size_t g = sourceBegin; g < sourceEnd; ++g) {
        for (std::uint32_t p = m_rowStart[g]; p < m_rowStart[g + 1]; ++p) {
            const std::uint32_t j = m_column[p];
            if (j >= targetBegin && j < targetEnd) {
                stretch.column.push_back(static_cast<std::uint32_t>(j - targetBegin + 1));
                stretch.matched.push_back(m_matched[p]);
            }
        }
        stretch.rowStart.push_back(static_cast<std::uint32_t>(stretch.column.size()));
    }
    return stretch;
}

} // namespace bitexa
