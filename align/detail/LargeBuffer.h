#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace bitexa {

// An uninitialised block of bytes for a table of hundreds of megabytes. Where the system offers
// it, the block is backed by large pages: written once in order, such a table costs the kernel
// one page fault per 2 MB rather than one per 4 KB, which is a tenth of the aligner's time.
class LargeBuffer {
public:
    LargeBuffer() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit LargeBuffer(std::size_t bytes);

    std::uint8_t* data() const { return m_bytes.get(); }
    explicit operator bool() const { return m_bytes != nullptr; }

private:
    struct Free {
        void operator()(std::uint8_t* bytes) const;
    };
    std::unique_ptr<std::uint8_t, Free> m_bytes;
};

} // namespace bitexa
