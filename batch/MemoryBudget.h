#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace bitexa {

// The memory the pairs of a batch may plan to use at once. A pair reserves its estimate before
// it aligns and gives it back afterwards; a pair whose estimate does not fit waits for others
// to finish, and a pair larger than the whole budget runs when no other pair holds any.
class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t bytes) : m_budget(bytes) {}

    // Blocks until `bytes` fit beside what the running pairs hold, or until none holds any.
    void Acquire(std::uint64_t bytes);
    // Takes the bytes if they fit now (as Acquire would go on), else nothing.
    bool TryAcquire(std::uint64_t bytes);
    void Release(std::uint64_t bytes);

    // Holds a reservation for a scope.
    class Reservation {
    public:
        Reservation(MemoryBudget& budget, std::uint64_t bytes) : m_budget(budget), m_bytes(bytes) {
            m_budget.Acquire(m_bytes);
        }
        ~Reservation() { m_budget.Release(m_bytes); }
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;

    private:
        MemoryBudget& m_budget;
        std::uint64_t m_bytes;
    };

private:
    bool Fits(std::uint64_t bytes) const;
    void Take(std::uint64_t bytes);

    std::mutex m_mutex;
    std::condition_variable m_released;
    const std::uint64_t m_budget;
    std::uint64_t m_used = 0;
    unsigned m_holders = 0;
};

} // namespace bitexa
