#include "lexical/LearntPairs.h"

#include <algorithm>
#include <unordered_map>

namespace bitexa {

namespace {

bool IsWord(TokenKind kind) {
    return kind == TokenKind::Word || kind == TokenKind::JapaneseWord;
}

bool OneToOne(const std::vector<RowSpan>& rows, std::size_t r) {
    return rows[r].sourceCount == 1 && rows[r].targetCount == 1;
}

struct Candidate {
    double dice = 0;
    TokenId partner = 0;
};

} // namespace

std::size_t LearnPairs(const std::vector<RowSpan>& rows, LexicalEvidence& evidence,
                       const LearnOptions& options) {
    const DocumentTokens& document = evidence.Document();
    const TokenTable& table = document.table;
    const auto safe = [&rows](std::size_t r) {
        return r >= 1 && r + 1 < rows.size() && OneToOne(rows, r - 1) && OneToOne(rows, r) &&
               OneToOne(rows, r + 1);
    };
    // How many safe rows hold each word, on each side.
    std::vector<std::uint32_t> sourceRows(table.Size(), 0);
    std::vector<std::uint32_t> targetRows(table.Size(), 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!safe(r)) {
            continue;
        }
        for (TokenId x : document.source.Of(rows[r].sourceFirst)) {
            if (IsWord(table.Kind(x)) && evidence.Usable(x, true)) {
                ++sourceRows[x];
            }
        }
        for (TokenId y : document.target.Of(rows[r].targetFirst)) {
            if (IsWord(table.Kind(y)) && evidence.Usable(y, false)) {
                ++targetRows[y];
            }
        }
    }
    // The pairs that meet, as (source word, target word) keys, one per meeting: only words of
    // enough rows can make a pair that meets often enough. Sorted, equal keys count the meetings.
    const auto often = [&options](const std::vector<std::uint32_t>& counts, TokenId word) {
        return counts[word] > 0 && counts[word] >= options.minimumCount;
    };
    std::vector<std::uint64_t> meetings;
    std::vector<TokenId> sourceWords;
    std::vector<TokenId> targetWords;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!safe(r)) {
            continue;
        }
        sourceWords.clear();
        targetWords.clear();
        for (TokenId x : document.source.Of(rows[r].sourceFirst)) {
            if (often(sourceRows, x)) {
                sourceWords.push_back(x);
            }
        }
        for (TokenId y : document.target.Of(rows[r].targetFirst)) {
            if (often(targetRows, y)) {
                targetWords.push_back(y);
            }
        }
        // Only across languages: an English word already meets itself.
        for (TokenId x : sourceWords) {
            for (TokenId y : targetWords) {
                if (table.Kind(x) != table.Kind(y)) {
                    meetings.push_back(std::uint64_t{x} << 32 | y);
                }
            }
        }
    }
    std::sort(meetings.begin(), meetings.end());
    std::vector<std::pair<std::uint64_t, std::uint32_t>> together;
    for (std::size_t k = 0; k < meetings.size();) {
        std::size_t end = k;
        while (end < meetings.size() && meetings[end] == meetings[k]) {
            ++end;
        }
        together.emplace_back(meetings[k], static_cast<std::uint32_t>(end - k));
        k = end;
    }
    std::vector<std::uint64_t>().swap(meetings);
    // The strongest partner of each Japanese word, the lower id on a tie. A Japanese word may be
    // on either side: the key is its id and its side.
    std::unordered_map<std::uint64_t, Candidate> best;
    for (const auto& [key, count] : together) {
        if (count < options.minimumCount) {
            continue;
        }
        const TokenId x = static_cast<TokenId>(key >> 32);
        const TokenId y = static_cast<TokenId>(key & 0xFFFFFFFFu);
        const double dice = 2.0 * count / (sourceRows[x] + targetRows[y]);
        if (dice < options.minimumDice) {
            continue;
        }
        const bool japaneseOnSource = table.Kind(x) == TokenKind::JapaneseWord;
        const TokenId japanese = japaneseOnSource ? x : y;
        const TokenId partner = japaneseOnSource ? y : x;
        Candidate& candidate = best[std::uint64_t{japanese} << 1 | (japaneseOnSource ? 1 : 0)];
        if (dice > candidate.dice || (dice == candidate.dice && partner < candidate.partner)) {
            candidate = {dice, partner};
        }
    }
    // In key order, so that the order of the links never depends on the hash table's.
    std::vector<std::pair<std::uint64_t, Candidate>> chosen(best.begin(), best.end());
    std::sort(chosen.begin(), chosen.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t added = 0;
    for (const auto& [key, candidate] : chosen) {
        const TokenId japanese = static_cast<TokenId>(key >> 1);
        const bool japaneseOnSource = (key & 1) != 0;
        evidence.AddLink(japaneseOnSource ? japanese : candidate.partner,
                         japaneseOnSource ? candidate.partner : japanese,
                         static_cast<float>(candidate.dice));
        ++added;
    }
    return added;
}

} // namespace bitexa
