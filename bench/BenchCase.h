#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace bitexa::bench {

// Marks the measured part of a case: setup before Start (making the inputs) is not timed.
class Stopwatch {
public:
    void Start();
    void Stop();
    double Seconds() const { return seconds_; }
    long RssAtStartKiB() const { return rssAtStart_; }

    // For a case whose work runs in a program of its own: that program's peak, in place of the
    // case process's.
    void SetPeakKiB(long kib) { peakKiB_ = kib; }
    long PeakKiB() const { return peakKiB_; }

private:
    std::chrono::steady_clock::time_point begin_;
    double seconds_ = 0;
    long rssAtStart_ = 0;
    long peakKiB_ = 0;
};

struct BenchCase {
    std::string name;
    std::string what; // one line for the listing
    std::function<void(Stopwatch&)> run;
};

void AddCase(std::string name, std::string what, std::function<void(Stopwatch&)> run);
const std::vector<BenchCase>& Cases();

// Keeps the optimiser from dropping work whose result nobody reads.
void Consume(const void* p);

// Each file of cases registers its own.
void AddAlignCases();
void AddSegmentCases();
void AddRunCases();

} // namespace bitexa::bench
