#include "text/FileReader.h"

#include "text/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

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

// Opens the file for reading if it is a regular file; `fd` receives the descriptor.
Status OpenRegularFile(const std::wstring& path, int& fd) {
    fd = -1;
    const std::string native = PathToNative(path);
    // The system would cut the name at a NUL and open some other file.
    if (native.empty() || native.find('\0') != std::string::npos) {
        return Status::FromErrno(Status::Kind::CannotRead, path, ENOENT);
    }
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    int rawFd;
    do {
        rawFd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (rawFd < 0 && errno == EINTR);
    if (rawFd < 0) {
        return Status::FromErrno(Status::Kind::CannotRead, path, errno);
    }
    FileDescriptor owned(rawFd);
    struct stat info {};
    if (::fstat(rawFd, &info) != 0) {
        return Status::FromErrno(Status::Kind::CannotRead, path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return Status::FromErrno(Status::Kind::CannotRead, path, EISDIR);
    }
    if (!S_ISREG(info.st_mode) || info.st_size < 0) {
        return Status::WithReason(Status::Kind::CannotRead, path, L"not a regular file");
    }
    fd = owned.release();
    return Status::Success();
}

} // namespace

Status CheckReadable(const std::wstring& path) {
    int fd = -1;
    const Status status = OpenRegularFile(path, fd);
    const FileDescriptor owned(fd);
    return status;
}

Status ReadFileBytes(const std::wstring& path, std::vector<unsigned char>& bytes) {
    bytes.clear();
    int rawFd = -1;
    if (Status status = OpenRegularFile(path, rawFd); !status.ok()) {
        return status;
    }
    const FileDescriptor fd(rawFd);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return Status::FromErrno(Status::Kind::CannotRead, path, errno);
    }

    // The size is only a first guess: the file may grow while we read, and some files (those
    // under /proc, say) report 0 but have content. Reading goes on to the end of the file.
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t used = 0;
    // Where a file turns out longer than it said, it grows through this block, which lives on
    // the heap: the reader may run on a thread with a small stack.
    std::vector<unsigned char> probe;
    for (;;) {
        if (used < bytes.size()) {
            const ssize_t n = ReadSome(fd.get(), bytes.data() + used, bytes.size() - used);
            if (n < 0) {
                const int error = errno;
                bytes.clear();
                return Status::FromErrno(Status::Kind::CannotRead, path, error);
            }
            if (n == 0) {
                break;
            }
            used += static_cast<std::size_t>(n);
            continue;
        }
        // The buffer is full: look for more without growing it first, so the usual case (the
        // file is exactly as large as it said) never copies the whole buffer.
        probe.resize(64 * 1024);
        const ssize_t n = ReadSome(fd.get(), probe.data(), probe.size());
        if (n < 0) {
            const int error = errno;
            bytes.clear();
            return Status::FromErrno(Status::Kind::CannotRead, path, error);
        }
        if (n == 0) {
            break;
        }
        bytes.insert(bytes.end(), probe.begin(), probe.begin() + n);
        used = bytes.size();
    }
    bytes.resize(used);
    return Status::Success();
}

} // namespace bitexa
