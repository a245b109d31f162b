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
    const std::wstring_view first = WithoutTrailingBlanks(text.substr(0, join));
    const std::wstring_view second = WithoutTrailingBlanks(text.substr(join + 1));
    std::wstring out(first);
    if (!first.empty() && !second.empty()) {
        out += L' ';
    }
    out += second;
    return out;
}

} // namespace bitexa
