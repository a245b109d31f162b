#include "align/detail/CommonSubsequence.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace bitexa {

namespace {

using Word = std::uint64_t;
constexpr std::size_t WordBits = 64;

// Row r of the length table L (the first r elements of a against every prefix of b), held as
// one bit per column: bit c-1 is clear where L[r][c] = L[r][c-1] + 1 and set where the two are
// equal, so L[r][c] is the number of clear bits below bit c. Bits beyond b stay set.
//
// Going from one row to the next is one addition over the whole row: with M the columns whose
// element equals a[r-1], the next row is (V + (V & M)) | (V & ~M). This is the bit-parallel
// recurrence for the common-subsequence lengths; the rows are exactly the rows of L.
class BitRows {
public:
    BitRows(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
        : m_words((b.size() + WordBits - 1) / WordBits), m_symbolOfRow(a.size(), NoSymbol) {
        std::unordered_map<std::uint32_t, std::uint32_t> symbols;
        std::vector<std::vector<std::size_t>> positions;
        for (std::size_t c = 0; c < b.size(); ++c) {
            const auto [it, added] =
                symbols.try_emplace(b[c], static_cast<std::uint32_t>(positions.size()));
            if (added) {
                positions.emplace_back();
            }
            positions[it->second].push_back(c);
        }
        for (std::size_t r = 0; r < a.size(); ++r) {
            const auto found = symbols.find(a[r]);
            if (found != symbols.end()) {
                m_symbolOfRow[r] = found->second;
            }
        }
        // An element found often in b gets its whole mask, which the row step reads word by
        // word. A rare one keeps only the words where it occurs: its step copies the row and
        // changes those words and the carries out of them. At most 8 * 64 elements are frequent
        // in this sense, so the whole masks take at most 64 bytes a column of b.
        m_symbols.resize(positions.size());
        for (std::size_t s = 0; s < positions.size(); ++s) {
            Symbol& symbol = m_symbols[s];
            if (positions[s].size() * 8 > m_words) {
                symbol.dense = m_denseMasks.size();
                m_denseMasks.resize(m_denseMasks.size() + m_words, 0);
                for (std::size_t c : positions[s]) {
                    m_denseMasks[symbol.dense + c / WordBits] |= Word{1} << (c % WordBits);
                }
                continue;
            }
            symbol.firstWord = m_sparseWords.size();
            for (std::size_t c : positions[s]) {
                const std::size_t word = c / WordBits;
                const Word bit = Word{1} << (c % WordBits);
                if (m_sparseWords.size() > symbol.firstWord && m_sparseWords.back().index == word) {
                    m_sparseWords.back().mask |= bit;
                } else {
                    m_sparseWords.push_back({word, bit});
                }
            }
            symbol.endWord = m_sparseWords.size();
        }
    }

    std::size_t Words() const { return m_words; }
    // Words of a carry record: one bit for each word of a row and one for the carry out of the
    // last.
    std::size_t CarryWords() const { return m_words / WordBits + 1; }

    // Row 0: no element of a taken, every length 0.
    void First(Word* row) const { std::fill_n(row, m_words, ~Word{0}); }

    // Words 0 .. limit-1 of row r from those of row r - 1; the words above are left as they
    // are. A carry only ever runs up a row, so these words are exact whatever the rest holds.
    // When `carries` is given (CarryWords() words, all clear), bit w is set there where a carry
    // came into word w, bit `limit` where one left the last word.
    //
    // Gives the carry out of the last word. For a whole row that is L[r][|b|] - L[r-1][|b|]: a
    // carry that meets a clear bit on its way up moves that increment to a lower column, and
    // one that leaves the row (through the set bits of the padding) adds an increment that was
    // not there. The same holds for any prefix of b: the carry into bit c is
    // L[r][c] - L[r-1][c].
    Word Next(std::size_t r, const Word* above, Word* row, std::size_t limit, Word* carries) const {
        const std::uint32_t s = m_symbolOfRow[r - 1];
        if (s == NoSymbol) {
            std::memcpy(row, above, limit * sizeof(Word));
            return 0;
        }
        const Symbol& symbol = m_symbols[s];
        Word carry = 0;
        const auto step = [&](std::size_t w, Word v, Word mask) {
            if (carries != nullptr && carry != 0) {
                carries[w / WordBits] |= Word{1} << (w % WordBits);
            }
            row[w] = Step(v, mask, carry);
        };
        if (symbol.dense != NoDense) {
            const Word* mask = &m_denseMasks[symbol.dense];
            if (carries == nullptr) {
                for (std::size_t w = 0; w < limit; ++w) {
                    row[w] = Step(above[w], mask[w], carry);
                }
            } else {
                for (std::size_t w = 0; w < limit; ++w) {
                    step(w, above[w], mask[w]);
                }
            }
        } else {
            std::memcpy(row, above, limit * sizeof(Word));
            std::size_t next = 0; // the first word not yet brought up to date
            for (std::size_t k = symbol.firstWord;
                 k < symbol.endWord && m_sparseWords[k].index < limit; ++k) {
                const SparseWord& word = m_sparseWords[k];
                for (; carry != 0 && next < word.index; ++next) {
                    step(next, row[next], 0);
                }
                step(word.index, row[word.index], word.mask);
                next = word.index + 1;
            }
            for (; carry != 0 && next < limit; ++next) {
                step(next, row[next], 0);
            }
        }
        if (carries != nullptr && carry != 0) {
            carries[limit / WordBits] |= Word{1} << (limit % WordBits);
        }
        return carry;
    }

    // Whether L[r][c - 1] == L[r][c] in the row, for c >= 1.
    static bool SameAsLeft(const Word* row, std::size_t c) {
        return ((row[(c - 1) / WordBits] >> ((c - 1) % WordBits)) & 1) != 0;
    }

    // Whether L[r-1][c] == L[r][c]: the step from row r - 1 (`above`, with the carries that
    // Next recorded for row r) carried nothing into bit c.
    bool SameAsAbove(std::size_t r, const Word* above, const Word* carries, std::size_t c) const {
        const std::size_t w = c / WordBits;
        const std::size_t bit = c % WordBits;
        const Word carryIn = (carries[w / WordBits] >> (w % WordBits)) & 1;
        if (bit == 0) {
            return carryIn == 0;
        }
        // The bits below c of the word, added as Next adds them; they cannot overflow.
        const Word low = (Word{1} << bit) - 1;
        const Word v = above[w] & low;
        const Word sum = v + (v & MaskWord(r, w)) + carryIn;
        return ((sum >> bit) & 1) == 0;
    }

private:
    static constexpr std::uint32_t NoSymbol = ~std::uint32_t{0};
    static constexpr std::size_t NoDense = ~std::size_t{0};

    struct Symbol {
        std::size_t dense = NoDense; // where its whole mask starts in m_denseMasks
        std::size_t firstWord = 0;   // else its words in m_sparseWords
        std::size_t endWord = 0;
    };
    struct SparseWord {
        std::size_t index;
        Word mask;
    };

    // One word of (V + (V & M)) | (V & ~M), the carry coming in from the word below and going
    // out to the word above.
    static Word Step(Word v, Word mask, Word& carry) {
        const Word u = v & mask;
        const unsigned __int128 sum = static_cast<unsigned __int128>(v) + u + carry;
        carry = static_cast<Word>(sum >> WordBits);
        return static_cast<Word>(sum) | (v & ~mask);
    }

    // Word w of the columns whose element equals a[r-1].
    Word MaskWord(std::size_t r, std::size_t w) const {
        const std::uint32_t s = m_symbolOfRow[r - 1];
        if (s == NoSymbol) {
            return 0;
        }
        const Symbol& symbol = m_symbols[s];
        if (symbol.dense != NoDense) {
            return m_denseMasks[symbol.dense + w];
        }
        const auto begin = m_sparseWords.begin() + static_cast<std::ptrdiff_t>(symbol.firstWord);
        const auto end = m_sparseWords.begin() + static_cast<std::ptrdiff_t>(symbol.endWord);
        const auto found =
            std::lower_bound(begin, end, w, [](const SparseWord& word, std::size_t index) {
                return word.index < index;
            });
        return found != end && found->index == w ? found->mask : 0;
    }

    std::size_t m_words;
    std::vector<std::uint32_t> m_symbolOfRow;
    std::vector<Symbol> m_symbols;
    std::vector<Word> m_denseMasks;
    std::vector<SparseWord> m_sparseWords;
};

} // namespace

std::vector<std::pair<std::size_t, std::size_t>>
CommonSubsequence(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    if (a.empty() || b.empty()) {
        return pairs;
    }
    const BitRows table(a, b);
    const std::size_t rows = a.size();
    const std::size_t words = table.Words();
    const std::size_t carryWords = table.CarryWords();
    const std::size_t blockHeight =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(std::sqrt(rows))));

    // Rows 0, h, 2h, ... of the table.
    std::vector<Word> checkpoints((rows / blockHeight + 1) * words);
    {
        std::vector<Word> above(words);
        std::vector<Word> row(words);
        table.First(above.data());
        table.First(checkpoints.data());
        for (std::size_t r = 1; r <= rows; ++r) {
            table.Next(r, above.data(), row.data(), words, nullptr);
            if (r % blockHeight == 0) {
                std::copy(row.begin(), row.end(), checkpoints.begin() + (r / blockHeight) * words);
            }
            above.swap(row);
        }
    }

    // Rows base .. top of the table and their carries, recomputed from the checkpoint at base.
    // The walk only moves left and up, so only the words up to its column are needed.
    std::vector<Word> block((blockHeight + 1) * words);
    std::vector<Word> carries((blockHeight + 1) * carryWords);
    std::size_t base = 0;
    const auto load = [&](std::size_t top, std::size_t column) {
        base = (top - 1) / blockHeight * blockHeight;
        const std::size_t limit = std::min(words, column / WordBits + 1);
        std::copy_n(checkpoints.begin() + (base / blockHeight) * words, limit, block.begin());
        std::fill(carries.begin(), carries.end(), 0);
        for (std::size_t r = base + 1; r <= top; ++r) {
            Word* row = &block[(r - base) * words];
            table.Next(r, row - words, row, limit, &carries[(r - base) * carryWords]);
        }
    };
    const auto row = [&](std::size_t r) { return &block[(r - base) * words]; };

    std::size_t r = rows;
    std::size_t c = b.size();
    load(r, c);
    // The walk of the length table, read from the rows: drop an element of b wherever that
    // keeps the length, else one of a, else pair the two. Once either list is used up, the rest
    // of the walk only drops elements.
    while (r > 0 && c > 0) {
        if (r - 1 < base) {
            load(r, c);
        }
        if (BitRows::SameAsLeft(row(r), c)) {
            --c;
        } else if (table.SameAsAbove(r, row(r - 1), &carries[(r - base) * carryWords], c)) {
            --r;
        } else {
            pairs.emplace_back(r - 1, c - 1);
            --r;
            --c;
        }
    }
    std::reverse(pairs.begin(), pairs.end());
    return pairs;
}

} // namespace bitexa
