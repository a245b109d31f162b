#include "align/detail/LargeBuffer.h"

#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace bitexa {

LargeBuffer::LargeBuffer(std::size_t bytes) {
    void* block = nullptr;
#ifdef __linux__
    constexpr std::size_t largePage = std::size_t{2} << 20;
    if (bytes >= largePage) {
        const std::size_t rounded = (bytes + largePage - 1) / largePage * largePage;
        block = std::aligned_alloc(largePage, rounded);
        if (block != nullptr) {
            // Only advice: without large pages the block works the same.
            madvise(block, rounded, MADV_HUGEPAGE);
        }
    } else {
        block = std::malloc(bytes == 0 ? 1 : bytes);
    }
#else
    block = std::malloc(bytes == 0 ? 1 : bytes);
#endif
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    m_bytes.reset(static_cast<std::uint8_t*>(block));
}

void LargeBuffer::Free::operator()(std::uint8_t* bytes) const {
    std::free(bytes);
}

} // namespace bitexa
