#include "text/RegexPass.h"

#include <stdexcept>

namespace bitexa {

bool ApplyRegexPass(std::wstring& text, const boost::wregex& pattern, const wchar_t* replacement) {
    try {
        text = boost::regex_replace(text, pattern, replacement);
        return true;
    } catch (const std::runtime_error&) {
        // Boost reports a match that is too complex and a backtracking stack that is full as
        // std::runtime_error. The text was not touched yet: the replacement is built apart and
        // only assigned on success. std::bad_alloc is no runtime_error and goes on to the caller.
        return false;
    }
}

} // namespace bitexa
