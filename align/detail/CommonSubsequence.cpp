#include "align/detail/CommonSubsequence.h"

#include <algorithm>
#include <cmath>

namespace bitexa {

namespace {

using Length = std::int32_t;

// Row r of the length table (the first r elements of a against every prefix of b) from row
// r - 1.
void NextRow(const std::vector<std::uint32_t>& b, std::uint32_t element, const Length* above,
             Length* row) {
    row[0] = 0;
    for (std::size_t c = 1; c <= b.size(); ++c) {
        Length best = std::max(above[c], row[c - 1]);
        if (b[c - 1] == element) {
            best = std::max(best, above[c - 1] + 1);
        }
        row[c] = best;
    }
}

} // namespace

std::vector<std::pair<std::size_t, std::size_t>>
CommonSubsequence(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    if (a.empty() || b.empty()) {
        return pairs;
    }
    const std::size_t rows = a.size();
    const std::size_t width = b.size() + 1;
    const std::size_t blockHeight =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(std::sqrt(rows))));

    // Rows 0, h, 2h, ... of the table.
    std::vector<Length> checkpoints((rows / blockHeight + 1) * width, 0);
    {
        std::vector<Length> above(width, 0);
        std::vector<Length> row(width, 0);
        for (std::size_t r = 1; r <= rows; ++r) {
            NextRow(b, a[r - 1], above.data(), row.data());
            if (r % blockHeight == 0) {
                std::copy(row.begin(), row.end(), checkpoints.begin() + (r / blockHeight) * width);
            }
            above.swap(row);
        }
    }

    // Rows base .. top of the table, recomputed from the checkpoint at base.
    std::vector<Length> block((blockHeight + 1) * width, 0);
    std::size_t base = 0;
    std::size_t top = 0;
    const auto load = [&](std::size_t newTop) {
        top = newTop;
        base = (top - 1) / blockHeight * blockHeight;
        std::copy_n(checkpoints.begin() + (base / blockHeight) * width, width, block.begin());
        for (std::size_t r = base + 1; r <= top; ++r) {
            NextRow(b, a[r - 1], &block[(r - base - 1) * width], &block[(r - base) * width]);
        }
    };
    const auto at = [&](std::size_t r, std::size_t c) { return block[(r - base) * width + c]; };

    load(rows);
    std::size_t r = rows;
    std::size_t c = b.size();
    // Once either list is used up, the rest of the walk only drops elements.
    while (r > 0 && c > 0) {
        if (r - 1 < base) {
            load(r);
        }
        const Length here = at(r, c);
        if (at(r, c - 1) == here) {
            --c;
        } else if (at(r - 1, c) == here) {
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
