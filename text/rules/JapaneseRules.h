#pragma once

#include <string>

namespace bitexa {

// Rewrites the text so that every Japanese sentence, bracketed item at a line start and indented
// line ends with a line feed; CR LF becomes LF; at most one blank line remains between lines.
void SplitJapanese(std::wstring& text);

} // namespace bitexa
