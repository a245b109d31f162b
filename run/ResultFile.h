#pragma once

#include "run/FileWriter.h"
#include "text/Status.h"

#include <string>

namespace bitexa {

// Writes FF FE and then every UTF-16 code unit of the text, low byte first, nothing else,
// through the program's file writer (see WriteFile: a failed write leaves the old file as it
// was).
Status WriteResultFile(const std::wstring& path, const std::wstring& text);

// The same bytes into a sink (standard output); false when the sink failed.
bool WriteResultBytes(ByteSink& sink, const std::wstring& text);

// What the user is told when a save fails: the path and the reason.
std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason);

} // namespace bitexa
