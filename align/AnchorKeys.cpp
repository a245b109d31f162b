#include "align/AnchorKeys.h"

#include <boost/regex.hpp>

#include <stdexcept>

namespace bitexa {

namespace {

// A label is a few characters long; the engine gives up (throws) only on matches far beyond
// that, and such a segment is no label.
bool IsAnchor(const std::wstring& segment, const boost::wregex& pattern) {
    try {
        return boost::regex_match(segment, pattern);
    } catch (const std::runtime_error&) {
        return false;
    }
}

const boost::wregex& AnchorPattern() {
    // Default Perl syntax, case-sensitive, no collation: the ranges are ranges of code points.
    static const boost::wregex pattern(AnchorPatternText);
    return pattern;
}

} // namespace

wchar_t FoldAnchorChar(wchar_t c) {
    if (c == L'\uFF09') {
        return L')';
    }
    if (c == L'\uFF0E') {
        return L'.';
    }
    if (c >= L'\uFF21' && c <= L'\uFF3A') {
        return static_cast<wchar_t>(L'a' + (c - L'\uFF21'));
    }
    if (c >= L'\uFF41' && c <= L'\uFF5A') {
        return static_cast<wchar_t>(L'a' + (c - L'\uFF41'));
    }
    if (c >= L'\uFF10' && c <= L'\uFF19') {
        return static_cast<wchar_t>(L'0' + (c - L'\uFF10'));
    }
    // Lower-casing of the single-byte range only: nothing beyond ASCII letters changes.
    if (c >= L'A' && c <= L'Z') {
        return static_cast<wchar_t>(c - L'A' + L'a');
    }
    return c;
}

std::vector<std::wstring> MakeAnchorKeys(const SentenceList& segments,
                                         const std::wstring& sideTag) {
    std::vector<std::wstring> keys;
    keys.reserve(segments.size());
    const boost::wregex& pattern = AnchorPattern();
    for (const std::wstring& segment : segments) {
        // The whole segment must be the label: one with a word or a line break beside it is text.
        if (!IsAnchor(segment, pattern)) {
            keys.push_back(sideTag);
            continue;
        }
        std::wstring key;
        key.reserve(segment.size());
        for (wchar_t c : segment) {
            key.push_back(c == L'\uFF08' ? L'(' : FoldAnchorChar(c));
        }
        keys.push_back(std::move(key));
    }
    return keys;
}

} // namespace bitexa
