#include "batch/MemoryBudget.h"

namespace bitexa {

bool MemoryBudget::Fits(std::uint64_t bytes) const {
    // A lone pair may be over budget, and then m_used is too.
    return m_holders == 0 || (m_used <= m_budget && bytes <= m_budget - m_used);
}

void MemoryBudget::Take(std::uint64_t bytes) {
    m_used += bytes;
    ++m_holders;
}

void MemoryBudget::Acquire(std::uint64_t bytes) {
    std::unique_lock lock(m_mutex);
    m_released.wait(lock, [&] { return Fits(bytes); });
    Take(bytes);
}

bool MemoryBudget::TryAcquire(std::uint64_t bytes) {
    const std::lock_guard lock(m_mutex);
    if (!Fits(bytes)) {
        return false;
    }
    Take(bytes);
    return true;
}

void MemoryBudget::Release(std::uint64_t bytes) {
    {
        const std::lock_guard lock(m_mutex);
        m_used -= bytes;
        --m_holders;
    }
    m_released.notify_all();
}

} // namespace bitexa
