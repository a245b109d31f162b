#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace bitexa {

// bitexa-align as a script meets it: exit status, standard output and standard error.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Limits the child runs under (as `ulimit` sets them).
struct ChildLimits {
    rlim_t addressSpace = RLIM_INFINITY;
    rlim_t stack = RLIM_INFINITY;
    rlim_t fileSize = RLIM_INFINITY;
};

// The program as an unprivileged user can start it: the build folder may lie in a folder only
// its owner may enter (root's home, a mktemp -d folder), so such a user runs a copy beside the
// test's own files.
inline std::string ProgramFor(const TempDir& dir, bool asNobody) {
    if (!asNobody) {
        return BITEXA_ALIGN_EXE;
    }
    namespace fs = std::filesystem;
    const std::string copy = dir.Native("bitexa-align");
    fs::copy_file(BITEXA_ALIGN_EXE, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return copy;
}

// Runs a shell command line in a child, under the limits; "{}" in it stands for the program.
// Standard output and error go to the folder's files "stdout" and "stderr", unless the command
// line sends them elsewhere itself.
inline Outcome RunShell(const TempDir& dir, std::string commandLine, bool asNobody,
                        const ChildLimits& limits = {}) {
    const std::string program = ProgramFor(dir, asNobody);
    for (std::size_t at; (at = commandLine.find("{}")) != std::string::npos;) {
        commandLine.replace(at, 2, program);
    }
    const std::string command =
        "{ " + commandLine + "; } >" + dir.Native("stdout") + " 2>" + dir.Native("stderr");
    const std::string status = RunInChild(
        [&command, &limits] {
            const auto limit = [](int resource, rlim_t value) {
                if (value != RLIM_INFINITY) {
                    const struct rlimit bounds { value, value };
                    setrlimit(resource, &bounds);
                }
            };
            limit(RLIMIT_AS, limits.addressSpace);
            limit(RLIMIT_STACK, limits.stack);
            limit(RLIMIT_FSIZE, limits.fileSize);
            const int raw = std::system(command.c_str());
            return std::to_string(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1);
        },
        asNobody);
    return {status.empty() ? -1 : std::stoi(status), dir.Read("stdout"), dir.Read("stderr")};
}

// bitexa-align with the arguments.
inline Outcome RunAlign(const TempDir& dir, const std::string& arguments, bool asNobody,
                        const ChildLimits& limits = {}) {
    return RunShell(dir, "{} " + arguments, asNobody, limits);
}

} // namespace bitexa
