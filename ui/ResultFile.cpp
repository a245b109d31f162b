#include "ui/ResultFile.h"

#include "text/NativePath.h"
#include "text/Utf16.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace bitexa {
namespace {

WriteResult Failure(int error) {
    return {false, FromUtf8(std::strerror(error))};
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the name that is finally written, so that saving through a link
// replaces the linked file and not the link. A dangling link gives the name it points to.
bool ResolveLinks(std::string& path, int& error) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            error = errno;
            return false;
        }
        target.resize(static_cast<std::size_t>(n));
        path = (!target.empty() && target[0] == '/') ? target : DirectoryOf(path) + "/" + target;
    }
    error = ELOOP;
    return false;
}

bool WriteAll(int fd, const char* data, std::size_t size, int& error) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The byte-order mark, then every code unit low byte first, in blocks so a long text is not held
// twice in memory.
bool WriteUtf16Le(int fd, const std::wstring& text, int& error) {
    constexpr std::size_t blockChars = 32 * 1024;
    std::string bytes("\xFF\xFE", 2);
    for (std::size_t start = 0;; start += blockChars) {
        if (start < text.size()) {
            const std::wstring_view block =
                std::wstring_view(text).substr(start, std::min(blockChars, text.size() - start));
            for (char16_t unit : NarrowToUtf16(block)) {
                bytes.push_back(static_cast<char>(unit & 0xFF));
                bytes.push_back(static_cast<char>(unit >> 8));
            }
        }
        if (!WriteAll(fd, bytes.data(), bytes.size(), error)) {
            return false;
        }
        bytes.clear();
        if (start + blockChars >= text.size()) {
            return true;
        }
    }
}

WriteResult WriteInPlace(const std::string& path, const std::wstring& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return Failure(errno);
    }
    int error = 0;
    const bool written = WriteUtf16Le(fd, text, error);
    if (close(fd) != 0 && written) {
        return Failure(errno);
    }
    return written ? WriteResult{} : Failure(error);
}

WriteResult WriteByRename(const std::string& path, const std::wstring& text,
                          const struct stat* existing) {
    std::string temp = DirectoryOf(path) + "/.bitexa-save-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        return Failure(errno);
    }
    // A replaced file keeps its permissions; a new one gets the usual ones for the user's umask.
    mode_t mode;
    if (existing) {
        mode = existing->st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    int error = 0;
    bool ok = fchmod(fd, mode) == 0 || (error = errno, false);
    ok = ok && WriteUtf16Le(fd, text, error);
    // The data must be on disk before the name points at it, or a crash could leave an empty file
    // where the old one was.
    ok = ok && (fsync(fd) == 0 || (error = errno, false));
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    ok = ok && (rename(temp.c_str(), path.c_str()) == 0 || (error = errno, false));
    if (!ok) {
        unlink(temp.c_str());
        return Failure(error);
    }
    return {};
}

} // namespace

WriteResult WriteResultFile(const std::wstring& path, const std::wstring& text) {
    std::string native = PathToNative(path);
    if (native.empty()) {
        return Failure(ENOENT);
    }
    int error = 0;
    if (!ResolveLinks(native, error)) {
        return Failure(error);
    }
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            return Failure(errno);
        }
        return WriteByRename(native, text, nullptr);
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure(EISDIR);
    }
    if (S_ISREG(st.st_mode)) {
        // Only the owner of a write permission may replace the file's content, as with an
        // ordinary overwrite.
        if (access(native.c_str(), W_OK) != 0) {
            return Failure(errno);
        }
        return WriteByRename(native, text, &st);
    }
    // A device or FIFO is an output in its own right: write into it, never replace it.
    return WriteInPlace(native, text);
}

std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason) {
    return path + L" に保存できませんでした。\n" + reason;
}

} // namespace bitexa
