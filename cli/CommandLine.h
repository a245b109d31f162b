#pragma once

#include "run/RunCommand.h"

#include <string>
#include <vector>

namespace bitexa {

// What the command line asks for, before anything is read.
struct CommandLine {
    enum class Action { Align, Segments, Help, Version, UsageError };
    Action action = Action::Align;

    RunInputs inputs; // SOURCE, TARGET, -s, -t and --slider, with the window's defaults
    bool toFile = false;
    std::wstring outputPath;
    unsigned threads = 0; // --threads: threads for a long stretch; 0: one per core

    std::wstring segmentsPath;
    int segmentsMode = 0; // lines only

    std::string error; // the one-line reason of a usage error
};

// Arguments without the program name, as the system gives them (bytes).
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// none | japanese | english, or 0 | 1 | 2. False for anything else.
bool ParseSplitMode(const std::string& text, int& mode);

extern const char* const UsageText;

} // namespace bitexa
