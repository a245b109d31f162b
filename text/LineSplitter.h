#pragma once

#include "text/SentenceList.h"

#include <string>

namespace bitexa {

// Appends one entry per line (CR LF, LF and a lone CR each end a line) and then puts the empty
// leading entry at index 0. Does not clear the list: callers do.
void SplitLines(const std::wstring& text, SentenceList& list);

} // namespace bitexa
