// bitexa-bench: runs each case in a child process of its own, so that the peak memory reported is
// that case's alone, and prints wall time and peak resident memory.
//
//   bitexa-bench            list the cases
//   bitexa-bench all        run every case
//   bitexa-bench PREFIX...  run the cases whose names start with a prefix

#include "BenchCase.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace bitexa::bench;

namespace {

struct ChildReport {
    double seconds;
    long rssAtStartKiB;
    long peakKiB; // 0: the case process's own peak counts
};

bool RunInChild(const BenchCase& benchCase) {
    int fds[2];
    if (pipe(fds) != 0) {
        std::perror("pipe");
        return false;
    }
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        Stopwatch watch;
        benchCase.run(watch);
        const ChildReport report{watch.Seconds(), watch.RssAtStartKiB(), watch.PeakKiB()};
        const bool sent = write(fds[1], &report, sizeof report) == sizeof report;
        _exit(sent ? 0 : 1);
    }
    close(fds[1]);
    ChildReport report{};
    const bool received = read(fds[0], &report, sizeof report) == sizeof report;
    close(fds[0]);
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("%-34s failed (status %d)\n", benchCase.name.c_str(), status);
        return false;
    }
    std::printf("%-34s %9.3f s  %8.1f MB peak  %8.1f MB before start\n", benchCase.name.c_str(),
                report.seconds, (report.peakKiB ? report.peakKiB : usage.ru_maxrss) / 1024.0,
                report.rssAtStartKiB / 1024.0);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    AddAlignCases();
    AddSegmentCases();
    AddRunCases();

    if (argc < 2) {
        for (const BenchCase& c : Cases()) {
            std::printf("%-34s %s\n", c.name.c_str(), c.what.c_str());
        }
        return 0;
    }
    bool ok = true;
    for (const BenchCase& c : Cases()) {
        for (int a = 1; a < argc; ++a) {
            if (std::strcmp(argv[a], "all") == 0 || c.name.rfind(argv[a], 0) == 0) {
                ok = RunInChild(c) && ok;
                break;
            }
        }
    }
    return ok ? 0 : 1;
}
