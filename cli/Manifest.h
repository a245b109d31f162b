#pragma once

#include "batch/BatchPair.h"
#include "text/Status.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bitexa {

// The pairs of a batch manifest: one pair a line, SOURCE<TAB>TARGET<TAB>OUTPUT, then any
// options of a single run (-s, -t, --slider, --format, --source-lang, --target-lang), one field
// each ("--slider=3") or a name and its value in two fields. Relative paths are taken from the
// manifest's folder. Blank lines and lines that begin with "#" say nothing.
struct Manifest {
    std::vector<BatchPair> pairs;
    struct LineError {
        std::size_t line;
        std::string message;
    };
    std::vector<LineError> errors; // lines that make no pair, with the reason
};

// Reads the manifest at `path` (CannotRead when it cannot be read). `pairOptions` come before
// each line's own, as if given on every line.
Status ReadManifest(const std::wstring& path, const std::vector<std::string>& pairOptions,
                    Manifest& manifest);

// The same for the manifest's bytes; `folder` (native, may be empty) is where relative paths
// start.
Manifest ParseManifest(std::string_view text, const std::string& folder,
                       const std::vector<std::string>& pairOptions);

} // namespace bitexa
