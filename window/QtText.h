#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace bitexa {

// The window is the only place where the program's wide strings meet QString. Both directions
// go through UTF-16 code units, so nothing is lost on the way, not even a lone surrogate that
// stands for a byte of a file name that is not UTF-8.

QString ToQString(const std::wstring& text);
QString ToQString(std::u16string_view text);
std::wstring FromQString(const QString& text);

} // namespace bitexa
