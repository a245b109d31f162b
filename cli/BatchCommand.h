#pragma once

#include "cli/CommandLine.h"

#include <string>

namespace bitexa {

// bitexa-align --batch: reads the manifest, runs its pairs, shows progress on standard error
// when that is a terminal, reports each failed pair as "MANIFEST:LINE: reason" and ends with a
// summary line. Returns the exit status: 0 when every pair was written or skipped, 1 when some
// failed, 2 when the manifest cannot be read.
int RunBatchCommand(const CommandLine& line);

} // namespace bitexa
