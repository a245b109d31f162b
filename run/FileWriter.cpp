#include "run/FileWriter.h"

#include "run/FileMetadata.h"
#include "run/SaveSignals.h"
#include "text/NativePath.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

namespace bitexa {

namespace {

// A file whose links point at each other in a circle must not hang the save.
constexpr int MaxLinkHops = 40;
constexpr std::size_t CopyBlock = std::size_t{1} << 20;

class FdSink : public ByteSink {
public:
    explicit FdSink(int fd) : m_fd(fd) {}

    bool Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                // A descriptor that the program was given may be non-blocking (a pipe shared
                // with other programs): wait until it takes more.
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    struct pollfd ready {
                        m_fd, POLLOUT, 0
                    };
                    if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) {
                        continue;
                    }
                }
                m_error = errno;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    int Error() const { return m_error; }

private:
    int m_fd;
    int m_error = 0;
};

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // 0 or the error of close.
    int Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the name that is finally written, so that saving through a link
// replaces the linked file and not the link. A dangling link gives the name it points to.
int ResolveLinks(std::string& path) {
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return 0;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            return errno;
        }
        target.resize(static_cast<std::size_t>(n));
        path = (!target.empty() && target[0] == '/') ? target : FolderOf(path) + "/" + target;
    }
    return ELOOP;
}

// Produces the content into the descriptor; 0 or the first error.
int WriteContent(int fd, const FileContent& content) {
    FdSink sink(fd);
    if (!content(sink)) {
        return sink.Error() != 0 ? sink.Error() : ECANCELED;
    }
    return 0;
}

Status Failure(const std::wstring& path, int error) {
    return Status::FromErrno(Status::Kind::CannotWrite, path, error);
}

// The temporary file beside the output, removed on every way out but a rename over the output:
// a failure, an exception from the content, and a signal that ends the program.
class Temporary {
public:
    Temporary() = default;
    ~Temporary() { Discard(); }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Creates a file that cannot collide with one already there; 0 or the error.
    int Create(const std::string& beside, mode_t mode) {
        static thread_local std::mt19937_64 random{std::random_device{}()};
        const std::string folder = FolderOf(beside);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name =
                folder + "/.bitexa-save-" + std::to_string(random() % 1000000000000ULL);
            // The file and its registration come into being together for a signal handler.
            const HeldSignals held;
            const int fd =
                ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
            if (fd >= 0) {
                m_fd = fd;
                m_name = std::move(name);
                m_registered.Register(m_name);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    int fd() const { return m_fd; }

    // Closes the file and puts it in the output's place; 0 or the error.
    int RenameOver(const std::string& output) {
        if (const int error = CloseFile(); error != 0) {
            return error;
        }
        const HeldSignals held;
        if (::rename(m_name.c_str(), output.c_str()) != 0) {
            return errno;
        }
        m_registered.Unregister();
        m_name.clear();
        return 0;
    }

    void Discard() {
        CloseFile();
        if (!m_name.empty()) {
            const HeldSignals held;
            ::unlink(m_name.c_str());
            m_registered.Unregister();
            m_name.clear();
        }
    }

private:
    int CloseFile() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

    int m_fd = -1;
    std::string m_name;
    RegisteredTemporary m_registered;
};

int FullWrite(int fd, const char* bytes, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, bytes, size, offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
    return 0;
}

// Copies the whole temporary file over the content of the output, which keeps its inode and
// with it its owner, links and attributes. The copy starts only once the new content is whole,
// and where the file system can promise room for it beforehand, a full disk stops the save
// before a byte of the old content has changed.
int CopyInPlace(int from, const std::string& output, const struct stat& existing) {
    struct stat source {};
    if (::fstat(from, &source) != 0) {
        return errno;
    }
    Descriptor to(::open(output.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (to.get() < 0) {
        return errno;
    }
    const off_t size = source.st_size;
    if (size > existing.st_size && ::fallocate(to.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        const int error = errno;
        [[maybe_unused]] const int released = ::ftruncate(to.get(), existing.st_size);
        return error;
    }
    std::vector<char> block(CopyBlock);
    for (off_t offset = 0; offset < size;) {
        const ssize_t n = ::pread(from, block.data(), block.size(), offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO; // the temporary file cannot have shrunk
        }
        if (const int error =
                FullWrite(to.get(), block.data(), static_cast<std::size_t>(n), offset);
            error != 0) {
            return error;
        }
        offset += n;
    }
    if (::ftruncate(to.get(), size) != 0 || ::fsync(to.get()) != 0) {
        return errno;
    }
    return to.Close();
}

// A new file, or an existing regular one: the content goes whole into a temporary file first.
// Then the temporary file takes the output's place, unless that would lose something of the
// old file (its owner, group, attributes or other names), in which case it is copied over the
// old content in place.
Status WriteThroughTemporary(const std::wstring& path, const std::string& native,
                             const struct stat* existing, const FileContent& content) {
    Temporary temporary;
    // A new file gets the permissions of the user's umask (the system applies it); a replaced
    // one is private until it has the old file's permissions.
    if (const int error = temporary.Create(native, existing ? 0600 : 0666); error != 0) {
        return Failure(path, error);
    }
    const bool replace = existing == nullptr || (existing->st_nlink <= 1 &&
                                                 CopyMetadata(native, temporary.fd(), *existing));
    if (const int error = WriteContent(temporary.fd(), content); error != 0) {
        return Failure(path, error);
    }
    if (!replace) {
        if (const int error = CopyInPlace(temporary.fd(), native, *existing); error != 0) {
            return Failure(path, error);
        }
        return Status::Success();
    }
    // The data must be on disk before the name points at it, or a crash could leave an empty
    // file where the old one was.
    if (::fsync(temporary.fd()) != 0) {
        return Failure(path, errno);
    }
    if (const int error = temporary.RenameOver(native); error != 0) {
        return Failure(path, error);
    }
    // Make the rename itself survive a crash.
    const Descriptor folder(::open(FolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
    return Status::Success();
}

// A device or a FIFO is written as it is. A FIFO is opened without waiting: with no program
// reading from it, the open would wait forever.
Status WriteInPlace(const std::wstring& path, const std::string& native, const struct stat& st,
                    const FileContent& content) {
    Descriptor fd(::open(native.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENXIO && S_ISFIFO(st.st_mode)) {
            return Status::WithReason(Status::Kind::CannotWrite, path,
                                      L"no program is reading from the FIFO");
        }
        return Failure(path, errno);
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return Failure(path, errno);
    }
    int error = WriteContent(fd.get(), content);
    if (const int closeError = fd.Close(); error == 0) {
        error = closeError;
    }
    return error == 0 ? Status::Success() : Failure(path, error);
}

} // namespace

Status WriteFile(const std::wstring& path, const FileContent& content) {
    std::string native = PathToNative(path);
    if (native.empty() || native.find('\0') != std::string::npos) {
        return Failure(path, ENOENT);
    }
    if (const int error = ResolveLinks(native); error != 0) {
        return Failure(path, error);
    }
    const SaveSignalScope signals;
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            return Failure(path, errno);
        }
        return WriteThroughTemporary(path, native, nullptr, content);
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure(path, EISDIR);
    }
    if (S_ISREG(st.st_mode)) {
        // Only the owner of a write permission may replace the file's content, as with an
        // ordinary overwrite.
        if (::access(native.c_str(), W_OK) != 0) {
            return Failure(path, errno);
        }
        return WriteThroughTemporary(path, native, &st, content);
    }
    return WriteInPlace(path, native, st, content);
}

Status WriteToDescriptor(int fd, const std::wstring& name, const FileContent& content) {
    const SaveSignalScope signals;
    if (const int error = WriteContent(fd, content); error != 0) {
        return Failure(name, error);
    }
    return Status::Success();
}

} // namespace bitexa
