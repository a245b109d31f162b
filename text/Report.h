#pragma once

#include <functional>
#include <string>

namespace bitexa {

// How loading tells the user something: the window shows a modal error box with this caption,
// the command line writes to standard error. Returns when the user has seen the message.
using Report = std::function<void(const std::wstring& text, const std::wstring& caption)>;

} // namespace bitexa
