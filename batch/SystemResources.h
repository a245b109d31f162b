#pragma once

#include <cstdint>

namespace bitexa {

// The processors this process may run on (at least 1).
unsigned UsableCores();

// The machine's physical memory in bytes; 0 when it cannot be told.
std::uint64_t PhysicalMemory();

// What a batch may plan to use at once unless told otherwise: three quarters of the physical
// memory, leaving the rest to the system and the other programs (1 GiB when it cannot be told).
std::uint64_t DefaultMemoryBudget();

} // namespace bitexa
