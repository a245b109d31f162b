#include "BenchCase.h"

#include <fstream>
#include <sstream>

namespace bitexa::bench {
namespace {

std::vector<BenchCase>& Registry() {
    static std::vector<BenchCase> cases;
    return cases;
}

long CurrentRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            long kib = 0;
            fields >> kib;
            return kib;
        }
    }
    return 0;
}

} // namespace

void Stopwatch::Start() {
    rssAtStart_ = CurrentRssKiB();
    begin_ = std::chrono::steady_clock::now();
}

void Stopwatch::Stop() {
    seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin_).count();
}

void AddCase(std::string name, std::string what, std::function<void(Stopwatch&)> run) {
    Registry().push_back({std::move(name), std::move(what), std::move(run)});
}

const std::vector<BenchCase>& Cases() {
    return Registry();
}

void Consume(const void* p) {
    // An empty asm that claims to read p: the compiler must keep whatever produced it.
    asm volatile("" : : "g"(p) : "memory");
}

} // namespace bitexa::bench
