#include "run/LinkScore.h"

#include "text/FileReader.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>
#include <utility>

namespace bitexa {

namespace {

constexpr std::size_t None = std::numeric_limits<std::size_t>::max();

// "3,4" or nothing; every item a number from 1.
bool ParseIds(std::string_view list, std::vector<std::size_t>& ids) {
    if (list.empty()) {
        return true;
    }
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        std::size_t id = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), id);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || id == 0) {
            return false;
        }
        ids.push_back(id);
        if (comma == std::string_view::npos) {
            return true;
        }
        list.remove_prefix(comma + 1);
    }
}

using Links = std::vector<std::pair<std::size_t, std::size_t>>;

// The links of one row or bead, segments that the gold does not know left out.
void AddLinks(const std::vector<std::size_t>& source, const std::vector<std::size_t>& target,
              const std::vector<bool>& sourceKnown, const std::vector<bool>& targetKnown,
              Links& links) {
    const auto known = [](const std::vector<bool>& flags, std::size_t id) {
        return id < flags.size() && flags[id];
    };
    std::vector<std::size_t> s;
    std::vector<std::size_t> t;
    std::copy_if(source.begin(), source.end(), std::back_inserter(s),
                 [&](std::size_t id) { return known(sourceKnown, id); });
    std::copy_if(target.begin(), target.end(), std::back_inserter(t),
                 [&](std::size_t id) { return known(targetKnown, id); });
    for (std::size_t x : s) {
        for (std::size_t y : t) {
            links.emplace_back(x, y);
        }
        if (t.empty()) {
            links.emplace_back(x, None);
        }
    }
    if (s.empty()) {
        for (std::size_t y : t) {
            links.emplace_back(None, y);
        }
    }
}

void SortUnique(Links& links) {
    std::sort(links.begin(), links.end());
    links.erase(std::unique(links.begin(), links.end()), links.end());
}

double Share(std::uint64_t part, std::uint64_t whole) {
    return whole == 0 ? 1.0 : static_cast<double>(part) / static_cast<double>(whole);
}

} // namespace

Status ReadGoldAlignment(const std::wstring& path, GoldAlignment& gold) {
    gold.beads.clear();
    std::vector<unsigned char> bytes;
    if (Status read = ReadFileBytes(path, bytes); !read.ok()) {
        return read;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::size_t start = 0;
    for (std::size_t line = 1; start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view row = text.substr(start, end - start);
        if (!row.empty() && row.back() == '\r') {
            row.remove_suffix(1);
        }
        start = end + 1;
        const std::size_t tab = row.find('\t');
        GoldAlignment::Bead bead;
        if (tab == std::string_view::npos || !ParseIds(row.substr(0, tab), bead.source) ||
            !ParseIds(row.substr(tab + 1), bead.target)) {
            gold.beads.clear();
            return Status::WithReason(Status::Kind::CannotDecode, path,
                                      L"line " + std::to_wstring(line) +
                                          L" is not two lists of segment numbers");
        }
        gold.beads.push_back(std::move(bead));
    }
    return Status::Success();
}

double LinkScore::Precision() const {
    return Share(correct, proposed);
}

double LinkScore::Recall() const {
    return Share(correct, expected);
}

double LinkScore::F1() const {
    const double p = Precision();
    const double r = Recall();
    return p + r > 0 ? 2 * p * r / (p + r) : 0.0;
}

LinkScore ScoreLinks(const GoldAlignment& gold, const std::vector<RowSpan>& rows) {
    std::vector<bool> sourceKnown;
    std::vector<bool> targetKnown;
    const auto mark = [](std::vector<bool>& flags, std::size_t id) {
        if (id >= flags.size()) {
            flags.resize(id + 1, false);
        }
        flags[id] = true;
    };
    for (const GoldAlignment::Bead& bead : gold.beads) {
        for (std::size_t id : bead.source) {
            mark(sourceKnown, id);
        }
        for (std::size_t id : bead.target) {
            mark(targetKnown, id);
        }
    }
    Links expected;
    for (const GoldAlignment::Bead& bead : gold.beads) {
        AddLinks(bead.source, bead.target, sourceKnown, targetKnown, expected);
    }
    Links proposed;
    std::vector<std::size_t> source;
    std::vector<std::size_t> target;
    for (const RowSpan& row : rows) {
        source.clear();
        target.clear();
        for (std::size_t k = 0; k < row.sourceCount; ++k) {
            source.push_back(row.sourceFirst + k);
        }
        for (std::size_t k = 0; k < row.targetCount; ++k) {
            target.push_back(row.targetFirst + k);
        }
        AddLinks(source, target, sourceKnown, targetKnown, proposed);
    }
    SortUnique(expected);
    SortUnique(proposed);
    LinkScore score;
    score.expected = expected.size();
    score.proposed = proposed.size();
    std::vector<std::pair<std::size_t, std::size_t>> both;
    std::set_intersection(proposed.begin(), proposed.end(), expected.begin(), expected.end(),
                          std::back_inserter(both));
    score.correct = both.size();
    return score;
}

} // namespace bitexa
