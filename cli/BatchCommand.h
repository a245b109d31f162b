#pragma once

#include "cli/CommandLine.h"

#include <string>

namespace bitexa {

// bitexa-align --batch: reads the manifest, runs its pairs, shows progress on standard error
// when that is a terminal, reports each failed pair as "MANIFEST:LINE: reason" and ends with a
// summary line. Returns the exit status: 0 when every pair was written or skipped, 1 when some
// failed, 2 when the manifest cannot be read.
int RunBatchCommand(const CommandLine& line);

// What an export left out, as a line for standard error (without the program's name); empty
// when it left nothing out.
std::string LeftOutNotice(const ExportCounts& counts);

} // namespace bitexa
