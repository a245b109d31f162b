#pragma once

#include "run/Export.h"
#include "run/RunCommand.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bitexa {

// What the command line asks for, before anything is read.
struct CommandLine {
    enum class Action { Align, Segments, Batch, Help, Version, UsageError };
    Action action = Action::Align;

    RunInputs inputs; // SOURCE, TARGET, -s, -t, --slider and --model, with the window's defaults
    bool toFile = false;
    std::wstring outputPath;
    std::wstring goldPath;       // --score: print how the rows score against this gold file
    ExportOptions exportOptions; // --format, --source-lang, --target-lang
    bool formatGiven = false;    // without it, standard output gets the rows as UTF-8 text
    // The options above that describe one pair (-s, -t, --slider, --model and the export's), as
    // given: a batch applies them to every line of its manifest before the line's own.
    std::vector<std::string> pairOptions;

    std::wstring batchPath;      // --batch MANIFEST
    unsigned jobs = 0;           // --jobs; 0: one per core
    bool skipExisting = false;   // --skip-existing
    std::uint64_t maxMemory = 0; // --max-memory in bytes; 0: a share of the physical memory
    unsigned threads = 0;        // --threads: threads for a long stretch; 0: one per core

    std::wstring segmentsPath;
    int segmentsMode = 0; // lines only

    std::string error; // the one-line reason of a usage error
};

// Arguments without the program name, as the system gives them (bytes).
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// A size in bytes with an optional binary suffix: 512M, 2G, 1.5G, 4096. False for anything else
// and for 0.
bool ParseByteSize(const std::string& text, std::uint64_t& bytes);

// none | japanese | english, or 0 | 1 | 2. False for anything else.
bool ParseSplitMode(const std::string& text, int& mode);

extern const char* const UsageText;

} // namespace bitexa
