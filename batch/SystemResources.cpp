#include "batch/SystemResources.h"

#include <sched.h>
#include <unistd.h>

#include <thread>

namespace bitexa {

unsigned UsableCores() {
    // The affinity mask follows taskset and container limits; the processor count does not.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&set));
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

std::uint64_t PhysicalMemory() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::uint64_t DefaultMemoryBudget() {
    const std::uint64_t physical = PhysicalMemory();
    return physical > 0 ? physical / 4 * 3 : std::uint64_t{1} << 30;
}

} // namespace bitexa
