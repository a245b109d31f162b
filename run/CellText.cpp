#include "run/CellText.h"

#include <string_view>

namespace bitexa {

namespace {

std::wstring_view WithoutTrailingBlanks(std::wstring_view segment) {
    const std::size_t end = segment.find_last_not_of(L' ');
    return segment.substr(0, end == std::wstring_view::npos ? 0 : end + 1);
}

} // namespace

std::wstring ExportCellText(const std::wstring& cell, std::size_t join, SplitMode mode) {
    if (mode != SplitMode::English) {
        return cell;
    }
    const std::wstring_view text(cell);
    if (join == NoJoin || join >= text.size() || text[join] != L' ') {
        return std::wstring(WithoutTrailingBlanks(text));
    }
    return ExportSegmentsText({cell.substr(0, join), cell.substr(join + 1)}, mode);
}

std::wstring ExportSegmentsText(const std::vector<std::wstring>& segments, SplitMode mode) {
    std::wstring out;
    for (const std::wstring& segment : segments) {
        if (mode != SplitMode::English) {
            out += segment;
            continue;
        }
        const std::wstring_view trimmed = WithoutTrailingBlanks(segment);
        if (trimmed.empty()) {
            continue;
        }
        if (!out.empty()) {
            out += L' ';
        }
        out += trimmed;
    }
    return out;
}

} // namespace bitexa
