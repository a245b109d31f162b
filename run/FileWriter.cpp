#include "run/FileWriter.h"

#include "text/NativePath.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>

namespace bitexa {

namespace {

// A file whose links point at each other in a circle must not hang the save.
constexpr int MaxLinkHops = 40;

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

// Writes the content through an open descriptor and closes it; 0 or the first error.
int WriteAndClose(int fd, const FileContent& content, bool flushToDisk) {
    FdSink sink(fd);
    int error = 0;
    if (!content(sink)) {
        error = sink.Error() != 0 ? sink.Error() : ECANCELED;
    } else if (flushToDisk && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

Status Failure(const std::wstring& path, int error) {
    return Status::FromErrno(Status::Kind::CannotWrite, path, error);
}

// A temporary file beside `path`, created with the permissions a new file gets (0666 less the
// umask, which the system applies itself). The name cannot collide with a file already there.
int CreateTemporary(const std::string& path, std::string& name) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::string folder = FolderOf(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.bitexa-save-" + std::to_string(random() % 1000000000000ULL);
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

Status WriteByRename(const std::wstring& path, const std::string& native,
                     const struct stat* existing, const FileContent& content) {
    std::string temporary;
    const int fd = CreateTemporary(native, temporary);
    if (fd < 0) {
        return Failure(path, errno);
    }
    // Removed on every way out but success, an exception from `content` included.
    struct TemporaryGuard {
        const std::string& name;
        bool keep = false;
        ~TemporaryGuard() {
            if (!keep) {
                ::unlink(name.c_str());
            }
        }
    } guard{temporary};

    // A replaced file keeps its permissions.
    if (existing != nullptr && ::fchmod(fd, existing->st_mode & 07777) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure(path, error);
    }
    // The data must be on disk before the name points at it, or a crash could leave an empty
    // file where the old one was.
    if (const int error = WriteAndClose(fd, content, true); error != 0) {
        return Failure(path, error);
    }
    if (::rename(temporary.c_str(), native.c_str()) != 0) {
        return Failure(path, errno);
    }
    guard.keep = true;
    // Make the rename itself survive a crash.
    const int folderFd = ::open(FolderOf(native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return Status::Success();
}

Status WriteInPlace(const std::wstring& path, const std::string& native,
                    const FileContent& content) {
    const int fd = ::open(native.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Failure(path, errno);
    }
    if (const int error = WriteAndClose(fd, content, false); error != 0) {
        return Failure(path, error);
    }
    return Status::Success();
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
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            return Failure(path, errno);
        }
        return WriteByRename(path, native, nullptr, content);
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
        return WriteByRename(path, native, &st, content);
    }
    return WriteInPlace(path, native, content);
}

} // namespace bitexa
