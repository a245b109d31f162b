#pragma once

#include "run/Export.h"
#include "run/RunCommand.h"

#include <cstddef>
#include <string>

namespace bitexa {

// One pair of a batch: what a single run would be given, and where its file goes.
struct BatchPair {
    std::size_t line = 0; // the manifest line it came from, for the report
    RunInputs inputs;     // both paths, both split modes and the slider
    ExportOptions exportOptions;
    std::wstring outputPath;
};

// How a pair ended.
struct PairResult {
    enum class Outcome { Written, Skipped, Failed };
    std::size_t line = 0;
    Outcome outcome = Outcome::Failed;
    std::wstring message; // why it failed, one line
    ExportCounts counts;  // what the export left out (Written only)
};

} // namespace bitexa
