#include "text/FileReader.h"

#include "text/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>

namespace bitexa {

namespace {

// Linux moves at most about 2 GiB per read call; asking for 1 GiB at a time stays well inside
// every limit and still needs only a few calls for the largest file.
constexpr std::size_t MaxReadChunk = std::size_t{1} << 30;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// One read, retried when a signal interrupts it. Negative on error.
ssize_t ReadSome(int fd, unsigned char* into, std::size_t count) {
    ssize_t n;
    do {
        n = ::read(fd, into, std::min(count, MaxReadChunk));
    } while (n < 0 && errno == EINTR);
    return n;
}

} // namespace

std::vector<unsigned char> ReadFileBytes(const std::wstring& path) {
    const std::string native = PathToNative(path);
    // The system would cut the name at a NUL and open some other file.
    if (native.empty() || native.find('\0') != std::string::npos) {
        return {};
    }

    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    int rawFd;
    do {
        rawFd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (rawFd < 0 && errno == EINTR);
    if (rawFd < 0) {
        return {};
    }
    const FileDescriptor fd(rawFd);

    // Only regular files: a directory cannot be read, a device such as /dev/zero never ends and
    // a FIFO has no fixed content.
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return {};
    }

    // The size is only a first guess: the file may grow while we read, and some files (those
    // under /proc, say) report 0 but have content. Reading goes on to the end of the file.
    std::vector<unsigned char> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t used = 0;
    for (;;) {
        if (used < bytes.size()) {
            const ssize_t n = ReadSome(fd.get(), bytes.data() + used, bytes.size() - used);
            if (n < 0) {
                return {};
            }
            if (n == 0) {
                break;
            }
            used += static_cast<std::size_t>(n);
            continue;
        }
        // The buffer is full: look for more without growing it first, so the usual case (the
        // file is exactly as large as it said) never copies the whole buffer.
        std::array<unsigned char, 64 * 1024> probe;
        const ssize_t n = ReadSome(fd.get(), probe.data(), probe.size());
        if (n < 0) {
            return {};
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), probe.begin(), probe.begin() + n);
        used = bytes.size();
    }
    bytes.resize(used);
    return bytes;
}

} // namespace bitexa
